#pragma once

#include <string>
#include <string_view>

#include "store/competitor_search.h"

namespace quendro {

// Finding a competitor by name. Names are typed as they come to mind: in
// hiragana where the file has katakana, in half-width kana or full-width
// letters, with or without the blank between family and given name. Both the
// name and the filter are brought to one form before the comparison.

// The form compared: half-width katakana become full-width (ｶﾞ is ガ), hiragana
// become katakana, full-width letters, digits and signs become ASCII, letters
// lower case, and every blank (half-width, full-width, tab) goes.
std::u16string nameKey(std::u16string_view text);

// A filter searches names when it holds no digit (half- or full-width) and
// something other than blanks; any other filter keeps the number rule.
bool isNameFilter(std::u16string_view filter);

// True when the name holds the filter, both in their compared form.
bool nameMatches(std::u16string_view name, std::u16string_view filter);

// The competitors whose name holds the filter, in file order, listed as the
// number search lists them.
SearchResult searchCompetitorsByName(const CompetitorTable& table, std::u16string_view filter);
// The same over the file read in one go: only the name field of each record is
// decoded, the whole record of a competitor that matches.
SearchResult searchCompetitorsByName(const CompetitorFileBytes& file, std::u16string_view filter);

// The search of the number box, for the window and the programs alike: a
// filter without digits looks for a name; one with digits keeps the number rule.
SearchResult findCompetitors(const CompetitorFileBytes& file, std::u16string_view filter);

}  // namespace quendro
