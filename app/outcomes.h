#pragma once

namespace quendro {

// How the window's procedures ended, for the programs that open a meet through
// the window model and for tests: they test these values, never the words of
// the status line, which are for the user.

enum class ImportOutcome {
    NotRun,    // no import since the window was made
    Imported,  // the meet's header and heat table were read
    Missing,   // the folder lacks the header or the heat table: an empty meet
    NoFolder,  // the chosen folder is not there at all: an empty meet
    NoResults, // the heats are read, but the results file is not there: no competitors
    Damaged,   // a meet file is no file of a meet (empty, cut short, a pipe, a link
               // out of the folder): nothing was taken, the last meet stays
    Refused,   // the meet code is no meet's name: nothing was fetched
    Failed,    // a download or the working folder failed: the last meet stays
    Cancelled, // the user stopped the downloads: the last meet and its files stay
};

enum class MeetListOutcome {
    NotRun,
    Listed,     // the season's list, naming at least one meet
    NoListYet,  // the season's list names no meet yet (an empty list)
    NoServer,   // no server answered: refused, no such host, no answer in time
    NoFolder,   // the server has no such folder: the list's address is not found (404)
    NotAList,   // the server answered with something else: a page, bytes of no text
    TooLarge,   // past the bounds of a season: neither kept nor listed
    Failed,     // any other failure of the download (an error status, a cut, a certificate)
    Unsaved,    // the working folder would not take the list
};

enum class WriteOutcome {
    NotRun,
    Written,  // the file is in place, whole
    Refused,  // its name would not be a name in the chosen folder: nothing written
    Failed,   // the file could not be written: nothing of it is left
    Cancelled,  // the user stopped a download of it: the file is as it was
};

enum class UploadOutcome {
    NotRun,
    Sent,           // the server took the list with the meet in it
    AlreadyListed,  // the season's list names the meet already: nothing sent
    Refused,        // the meet code, or the list as it came, cannot be sent
    Failed,         // the list could not be read, or the server did not take it
    NotKept,        // sent, but read back it lacks the meet or an entry it held before
};

}  // namespace quendro
