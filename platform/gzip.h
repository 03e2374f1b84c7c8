#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quendro {

// How hard the bytes are packed: zlib's level 6, or its level 9 (about three
// times the time, for a file many download whole and that seldom changes).
enum class GzipEffort { Usual, Most };

// The bytes as a gzip file (RFC 1952) of one member, with no name and no time
// in its header, so that the same bytes always give the same file: a server
// that stores uploads compressed keeps NAME.gz and serves NAME from it.
std::string gzipBytes(std::string_view bytes, GzipEffort effort = GzipEffort::Usual);

// The bytes inside a gzip file of one or more members; nothing when it is no
// whole gzip file or would unpack past maxBytes.
std::optional<std::string> gunzipBytes(std::string_view gzip, std::size_t maxBytes);

}  // namespace quendro
