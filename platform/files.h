#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quendro {

// How a file operation ended. A missing file is a condition of its own, because
// several procedures step over it and treat every other failure differently.
enum class FileStatus {
    Ok,
    NotFound,      // the file does not exist
    PathNotFound,  // a folder of the path does not exist
    BadName,       // the name cannot be used (empty, or names a folder, a pipe or a device)
    AccessDenied,  // the file or folder may not be read or written
    IoError,       // any other failure of the machine
    OutsideFolder, // the name leads out of the folder it was asked in (a link elsewhere)
};

// When a file was last written, and its size: two looks that see the same
// version saw the same file.
struct FileVersion {
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t size = 0;
    bool operator==(const FileVersion&) const = default;
};

// A file of fixed-length records opened for reading by record number.
class RecordFile {
  public:
    virtual ~RecordFile() = default;
    // The bytes of record n (numbered from 1). A record past the end of the file
    // comes back short or empty; the caller decides what missing bytes mean.
    virtual std::string record(std::int64_t number) = 0;
    // Records first to first + count - 1 (first from 1) as one piece, read at
    // once; short where the file ends.
    virtual std::string records(std::int64_t first, std::int64_t count);
};

// A file being written piece by piece. Its content takes the place of the file
// named at creation only when commit() succeeds; dropped without a commit, it
// leaves that file as it was.
class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // False once any write has failed; later writes are ignored.
    virtual bool write(std::string_view bytes) = 0;
    virtual FileStatus commit() = 0;
};

// What the program asks of the file system. A path holding a NUL names no file.
// Paths are in the program's own form,
// as the site control file and the meet header write them: "c:\quendro\temp\kijun.dat",
// "D:\meet\", or relative to the current folder ("..\ctl\dr_kyo.ctl").
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The whole content of a file.
    virtual FileStatus readBytes(std::u16string_view path, std::string& bytes) = 0;
    // The whole content of a file that lies inside the folder: read only when
    // the file it opens, links followed, is a regular file within that folder
    // (OutsideFolder when it leads elsewhere). A file system that has no links
    // reads it as readBytes does.
    virtual FileStatus readBytesInside(std::u16string_view folder, std::u16string_view path,
                                       std::string& bytes) {
        (void)folder;
        return readBytes(path, bytes);
    }
    // Creates the file or replaces its whole content.
    virtual FileStatus writeBytes(std::u16string_view path, std::string_view bytes) = 0;
    // Adds to the end of the file, creating it when it is missing.
    virtual FileStatus appendBytes(std::u16string_view path, std::string_view bytes) = 0;
    // Puts the file at from in the place of the file at to, whole. The file
    // system of the machine does it in one step; this one copies and deletes.
    virtual FileStatus moveFile(std::u16string_view from, std::u16string_view to);
    // Deletes a file; NotFound when there is none.
    virtual FileStatus deleteFile(std::u16string_view path) = 0;
    // Creates one folder; its parent must exist.
    virtual FileStatus makeFolder(std::u16string_view path) = 0;
    // The name, as it stands on disk, of the folder at the path; empty when there is none.
    virtual std::u16string folderName(std::u16string_view path) = 0;
    // True when the path names an existing folder.
    virtual bool folderExists(std::u16string_view path) = 0;

    // Opens a record file; a missing file gives NotFound and is not created.
    virtual std::unique_ptr<RecordFile> openRecords(std::u16string_view path, int recordLength,
                                                    FileStatus& status) = 0;
    // Closes every file that is still open; later reads of them give nothing.
    virtual void closeAll() = 0;

    // A new content for the file at path, written as it comes. This default
    // keeps the bytes and writes them whole at commit().
    virtual std::unique_ptr<OutputFile> createFile(std::u16string_view path);

    // While on, the listing of a folder read to match a name ignoring case is
    // remembered, so that the next name looked up there needs no new reading of
    // the folder. Turning it off forgets every listing. A report turns it on for
    // its own length only.
    virtual void rememberListings(bool on) { (void)on; }

    // Drive letters, lower case with a colon: "c:", "z:".
    virtual std::vector<std::u16string> drives() = 0;
    // Names of the folders inside a folder, sorted ignoring case.
    virtual std::vector<std::u16string> subfolders(std::u16string_view path) = 0;
    // The current folder in the program's form, without a closing "\" unless it
    // is the top folder of a drive.
    virtual std::u16string currentFolder() = 0;

    // Where a path of the program is on this machine ("/home/me/meet/kijun.dat");
    // empty when the file system cannot tell.
    virtual std::u16string whereOnMachine(std::u16string_view) { return {}; }
    // The version of a file; empty when there is no such file, or when this file
    // system cannot tell (the caller then compares the contents instead).
    virtual std::optional<FileVersion> fileVersion(std::u16string_view) { return std::nullopt; }
};

// A path in the one form every word shows it in, whatever separators it was
// built with: a host path (one that begins with "/") with "/" throughout, any
// other ("D:\meet\kekka") with "\" throughout; a separator doubled on the way
// (a drive's top folder "D:\" given its closing "\" once more) shown once. An
// address ("http://...") stands as it is.
std::u16string shownPath(std::u16string_view path);

// A path as the status line names it: the program's path in its one form and,
// in brackets, where it is on this machine, so that the user can find the file.
std::u16string pathForUser(FileSystem& files, std::u16string_view path);

// Remembers folder listings for as long as the object lives.
class ListingMemory {
  public:
    explicit ListingMemory(FileSystem& files) : files_(files) { files_.rememberListings(true); }
    ~ListingMemory() { files_.rememberListings(false); }
    ListingMemory(const ListingMemory&) = delete;
    ListingMemory& operator=(const ListingMemory&) = delete;

  private:
    FileSystem& files_;
};

// Text files are Shift-JIS on disk.
FileStatus readText(FileSystem& files, std::u16string_view path, std::u16string& text);
FileStatus writeText(FileSystem& files, std::u16string_view path, std::u16string_view text);

}  // namespace quendro
