#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/http_client.h"
#include "store/season_list.h"

namespace quendro {

// What became of a meet's entry in the season's list.txt.
enum class SeasonEntry {
    Added,          // sent, and read back with the entry and every earlier one in it
    AlreadyListed,  // an entry of the list had the code already: nothing sent
    Unreadable,     // the list could not be read (no answer, an error status)
    CutShort,       // the list did not come whole: nothing sent
    Unstated,       // the server did not say where the list ends: nothing sent
    TooLarge,       // the list is past the bounds of a season's list: nothing sent
    NotListable,    // the meet code is not one a list can hold: nothing read or sent
    Refused,        // the server did not take the list
    Lost,           // other publishers' lists kept replacing it, try after try
    EarlierLost,    // the list read back kept lacking entries it held before, try after try
};

struct SeasonEntryResult {
    SeasonEntry outcome = SeasonEntry::Unreadable;
    int uploads = 0;     // lists sent
    std::string detail;  // the status or libcurl's words, for a failure
};

// How long the read-back waits and how often it tries.
struct SeasonEntryPacing {
    std::chrono::milliseconds settleLeast{150};  // after an upload, before the read-back
    std::chrono::milliseconds settleMost{450};
    int uploadsAtMost = 10;
};

// Adds the meet to the list at listUrl unless an entry has its code. Several
// publishers may add to one list at once, and the server keeps the last list
// sent: after its upload a publisher waits a short random while, reads the list
// back, and while its entry, or an entry of the list it added to, is missing,
// puts them in the list as it is now and sends it again. A list is rewritten
// only from a body whose end the server stated.
SeasonEntryResult putMeetInSeasonList(const HttpClient& http, const std::string& listUrl,
                                      std::u16string_view meetCode,
                                      std::u16string_view abbreviation,
                                      const SeasonEntryPacing& pacing = {});

// An entry of a season file that several publishers write: whether the file
// holds it as it should be, and the file with it put in (or Whole is not
// returned: the file is left as it is).
struct SeasonFileEntry {
    std::function<bool(const std::string& file)> holds;
    std::function<SeasonListShape(const std::string& file, std::string& withEntry)> put;
    // The file read back (now) with every entry of before that it lacks put
    // back; now itself when it lacks none. Empty: entries are not checked.
    std::function<std::string(const std::string& before, const std::string& now)> keep;
};

// The same read-back and retry for any season file: the file at url (a 404
// starts it empty) gets the entry unless it holds it already.
SeasonEntryResult putEntryInSeasonFile(const HttpClient& http, const std::string& url,
                                       const SeasonFileEntry& entry,
                                       const SeasonEntryPacing& pacing = {});

}  // namespace quendro
