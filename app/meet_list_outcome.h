#pragma once

#include <string>
#include <string_view>

#include "app/outcomes.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"

namespace quendro {

// What a download of the season's list "list.txt" is to the window, by how the
// transfer ended and what its bytes hold.
MeetListOutcome meetListOutcomeOf(const Download& fetched);

// The status line's words for an outcome ("" for a listed season), naming the
// list's address as shown (no password): for a failed download also its kind,
// for a list that the working folder would not take how it refused.
std::u16string meetListWord(MeetListOutcome outcome, std::u16string_view listUrl,
                            const Download& fetched, FileStatus written = FileStatus::Ok);

}  // namespace quendro
