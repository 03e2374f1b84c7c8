#pragma once

#include <string>
#include <string_view>

#include "store/meet_header.h"

namespace quendro {

// The poster at the pool's entrance: the meet, and the viewer's address on the
// venue's network that a phone's camera reads from its QR code.
struct PosterText {
    std::u16string heading;   // 競技会のラップタイム
    std::u16string meetName;  // field 4 of the header
    std::u16string when;      // 2026/07/18 〜 2026/07/19 (one day once)
    std::u16string venue;     // field 8
    std::string address;      // the meet's page in the viewer, as the QR code holds it
    std::u16string guide;     // what to do with it
};

enum class PosterProblem {
    None,
    BadAddress,   // not an http or https address of a server
    BadMeetCode,  // the header's meet code can name no meet on the server
    BadSeason,    // not four digits
};

struct PosterPlan {
    PosterProblem problem = PosterProblem::None;
    PosterText text;
};

// The poster of a meet: the viewer's address (made whole as the programs take
// a base address) followed by "#/" season "/" meet code, the meet's own page.
PosterPlan planPoster(const MeetHeader& header, std::u16string_view viewer,
                      std::u16string_view season);

// The words for a problem, for standard error.
std::u16string posterProblemWord(PosterProblem problem, std::u16string_view given);

}  // namespace quendro
