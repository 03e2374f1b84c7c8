#include "store/meet_file_reader.h"

namespace quendro {

MeetFileProblem recordBytesProblem(std::string_view bytes, RecordFileKind kind) {
    if (bytes.empty()) return MeetFileProblem::Empty;
    switch (recordFileShape(bytes, kind)) {
        case RecordFileShape::Whole: return MeetFileProblem::None;
        case RecordFileShape::NegativeCount: return MeetFileProblem::NegativeCount;
        case RecordFileShape::CutShort: return MeetFileProblem::CutShort;
    }
    return MeetFileProblem::CutShort;
}

MeetFileRead readMeetFile(FileSystem& files, std::u16string_view folder,
                          std::u16string_view path, std::optional<RecordFileKind> kind) {
    MeetFileRead read;
    switch (files.readBytesInside(folder, path, read.bytes)) {
        case FileStatus::Ok: break;
        case FileStatus::NotFound:
        case FileStatus::PathNotFound: read.problem = MeetFileProblem::Missing; break;
        case FileStatus::BadName: read.problem = MeetFileProblem::NotRegular; break;
        case FileStatus::OutsideFolder: read.problem = MeetFileProblem::OutsideFolder; break;
        case FileStatus::AccessDenied:
        case FileStatus::IoError: read.problem = MeetFileProblem::Unreadable; break;
    }
    if (read.ok() && kind) read.problem = recordBytesProblem(read.bytes, *kind);
    if (!read.ok()) read.bytes.clear();
    return read;
}

std::u16string folderOf(std::u16string_view path) {
    size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, cut + 1));
}

std::u16string meetFileProblemWord(MeetFileProblem problem, std::u16string_view file) {
    std::u16string name = shownPath(file);
    switch (problem) {
        case MeetFileProblem::None: return {};
        case MeetFileProblem::Missing: return u"ファイルがありません: " + name;
        case MeetFileProblem::NotRegular: return u"普通のファイルではありません: " + name;
        case MeetFileProblem::OutsideFolder:
            return u"大会フォルダの外を指すリンクは読みません: " + name;
        case MeetFileProblem::Unreadable: return u"ファイルを読めません: " + name;
        case MeetFileProblem::Empty:
            return u"ファイルが空です（書き込み中か壊れています）: " + name;
        case MeetFileProblem::CutShort:
            return u"ファイルが壊れています（件数の分だけのレコードがありません）: " + name;
        case MeetFileProblem::NegativeCount:
            return u"ファイルが壊れています（件数が負の数です）: " + name;
    }
    return {};
}

std::u16string missingFolderWord(std::u16string_view folder) {
    return u"フォルダがありません: " + shownPath(std::u16string(folder) + u"\\");
}

}  // namespace quendro
