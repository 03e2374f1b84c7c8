#pragma once

#include <string>
#include <string_view>

namespace quendro {

// Addresses on the publisher's web server, joined from the base address in
// txtTaikai (ending in "/"), the season and the meet code: no separator is
// added or removed. Season, meet code and heat number stand as they are when
// they hold only letters, digits and "-._~" (as every good one does); any other
// character is percent-encoded (as UTF-8), so that no text from a file or the
// keyboard can change the shape of the address.

// The base address as typed, made whole as the programs take it: "http://"
// in front when it names no scheme, and a closing "/" when it has none
// ("127.0.0.1:8808/swim" is "http://127.0.0.1:8808/swim/"); an address that
// has both, and an empty text, stand as they are.
std::u16string baseAddress(std::u16string_view typed);
// A text as one segment of a URL path.
std::u16string urlPathSegment(std::u16string_view text);

// base (made whole) + season + "/": the season folder.
std::u16string seasonFolderUrl(std::u16string_view base, std::u16string_view season);
// The season's meet list, "list.txt" in the season folder.
std::u16string meetListUrl(std::u16string_view base, std::u16string_view season);
// Where the upload sends the meet list back: "list.dat" in the season folder.
std::u16string meetListUploadUrl(std::u16string_view base, std::u16string_view season);
// base + season + "/" + meet code + "/": the meet folder.
std::u16string meetFolderUrl(std::u16string_view base, std::u16string_view season,
                             std::u16string_view meetCode);
// The lap file of a heat: "lap/r" + heat number + ".txt" in the meet folder.
// Empty, an address that fetches nothing, when the meet code is no meet's name.
std::u16string lapFileUrl(std::u16string_view base, std::u16string_view season,
                          std::u16string_view meetCode, std::u16string_view heatNumber);

}  // namespace quendro
