#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "laps/meet_swim.h"
#include "laps/swim_selection.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"
#include "store/competitor_search.h"
#include "store/meet_file_reader.h"
#include "store/meet_header.h"
#include "store/record_files.h"
#include "store/site_control.h"

namespace quendro {

// How an opening of a meet ended.
enum class MeetOpenOutcome {
    Opened,
    NoFolder,        // the meet's data folder is not there
    BadMeetCode,     // the meet code can name no folder on the server
    FileRefused,     // a meet file is missing or was refused (see file and problem)
    NoResults,       // no results file where the meet header says
    DownloadFailed,  // a file of the server's meet folder could not be downloaded
    Cancelled,       // the user stopped the downloads: nothing was taken
};

struct MeetOpening {
    MeetOpenOutcome outcome = MeetOpenOutcome::Opened;
    std::u16string file;  // the file or address concerned
    MeetFileProblem problem = MeetFileProblem::None;
    std::u16string word;  // what happened, in Japanese, for the status line or stderr
    bool ok() const { return outcome == MeetOpenOutcome::Opened; }
};

// A meet opened once, from a local data folder or from the publisher's meet
// folder: its header, its heat table as the swim index, its competitors. Every
// file came through the one reader, whole, before anything the session held
// was replaced. The window's confirm, quendro-export and quendro-publish ask it.
class MeetSession {
  public:
    MeetSession(FileSystem& files, InternetTransfer& inet);

    // The meet of a local data folder; its results file by the one rule
    // (the given file first, when there is one).
    MeetOpening openFolder(std::u16string_view dataFolder, const SiteControl& site,
                           const std::optional<std::u16string>& resultsFile);
    // The meet folder on the server: base address, season and meet code. The
    // three files are downloaded together and taken only when all are whole.
    MeetOpening openServer(std::u16string_view base, std::u16string_view season,
                           std::u16string_view meetCode);

    bool fromServer() const { return server_; }
    const MeetHeader& header() const { return header_; }
    // The bytes as read or downloaded: the header text, the heat table, the
    // competitor file.
    const std::string& headerBytes() const { return headerBytes_; }
    const std::string& heatBytes() const { return heatBytes_; }
    const std::string& competitorBytes() const { return competitors_.bytes(); }
    const std::u16string& dataFolder() const { return dataFolder_; }
    const std::u16string& headerPath() const { return headerPath_; }
    const std::u16string& heatsPath() const { return heatsPath_; }
    const std::u16string& resultsPath() const { return resultsPath_; }
    // The server's base address, season and meet code of a meet from the server.
    const std::u16string& base() const { return base_; }
    const std::u16string& season() const { return season_; }
    const std::u16string& meetCode() const { return meetCode_; }
    CompetitorSource competitorSource() const {
        return server_ ? CompetitorSource::Ind2 : CompetitorSource::Results;
    }

    // The swim index: entry 0 empty, then a line per occupied lane. Made at
    // the first question that needs it: a window that keeps its own asks none.
    const std::vector<std::u16string>& swimTable() const;
    std::int32_t heatCount() const { return heatCount_; }
    // The competitors whose number starts with the filter (everyone for a
    // filter that reads as no number), in file order.
    std::vector<std::int16_t> search(std::u16string_view filter) const;
    // Competitor k; an empty record past the file's count.
    CompetitorRecord competitor(std::int16_t ordinal) const;
    // The competitor's swims, as the swim list shows them.
    std::vector<SwimRow> swimsOf(std::int16_t ordinal) const;
    const SwimIndex& swimIndex() const;

    FileSystem& files() const { return files_; }
    InternetTransfer& inet() const { return inet_; }

  private:
    MeetOpening refused(MeetOpenOutcome outcome, std::u16string file, MeetFileProblem problem,
                        std::u16string word);
    void take(MeetHeader header, std::string header_bytes, std::string heats,
              std::string competitors);

    FileSystem& files_;
    InternetTransfer& inet_;
    bool server_ = false;
    MeetHeader header_;
    std::string headerBytes_, heatBytes_;
    CompetitorFileBytes competitors_{std::string(), CompetitorSource::Ind2};
    std::u16string dataFolder_, headerPath_, heatsPath_, resultsPath_;
    std::u16string base_, season_, meetCode_;
    std::int32_t heatCount_ = 0;
    mutable std::optional<std::vector<std::u16string>> swimTable_;
    mutable SwimIndex index_;
};

}  // namespace quendro
