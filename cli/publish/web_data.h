#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/publish/meet_folder.h"
#include "cli/publish/meet_source.h"
#include "platform/files.h"
#include "reports/web_data.h"
#include "reports/web_program.h"

namespace quendro {

// The web data (docs/web-data.md) of the meet's files as they were sent: the
// heats whose lap file changed, and when the heat table, the competitors or
// the header changed, the meet's files and every heat.
class WebData {
  public:
    WebData(FileSystem& files, const MeetSource& source, std::u16string season)
        : files_(files), source_(source), season_(std::move(season)) {}

    // What a meet file sent (or found unchanged) means for the web data.
    void note(const MeetFileOnServer& file, const std::string& bytes, bool changed);

    // The files due, by their paths below the meet's web/ folder: the heats'
    // files and the meet's other files (program.json among them), now.json
    // apart (it speaks of the heats, so it goes after them; made every time,
    // sent when its bytes changed), and meet.json apart (a browser reads it
    // first, so it goes last; empty when not due).
    struct Due {
        std::vector<std::pair<std::string, std::string>> files;
        std::string nowJson;
        std::string meetJson;
    };
    Due due();
    // The files of due() went: the heats' files, then meet.json.
    void heatsSent() { heatsStale_.clear(); }
    void meetSent() { meetStale_ = false; }

    // The meet as last made; null before its heat table and results were whole.
    const WebMeet* meet() const { return meet_.get(); }
    // True when the server holds the web data of what was sent.
    bool whole() const { return !meetStale_ && heatsStale_.empty(); }

  private:
    // A damaged heat table or results file is held back, as its file is.
    bool rebuild();

    FileSystem& files_;
    const MeetSource& source_;
    std::u16string season_;
    std::unique_ptr<WebMeet> meet_;
    bool meetStale_ = true;
    std::map<std::u16string, std::string> lapBytes_;  // each heat's lap file as sent
    std::set<std::u16string> heatsStale_;
    std::vector<ProgramHeat> program_;
    std::string programId_;
    std::map<std::u16string, HeatActivity> activity_;  // of each heat's file as made
    std::size_t meetJsonDigest_ = 0;
    std::string meetUpdated_;
};

}  // namespace quendro
