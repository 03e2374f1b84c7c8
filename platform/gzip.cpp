#include "platform/gzip.h"

#include <zlib.h>

#include <algorithm>

namespace quendro {
namespace {

// zlib counts in unsigned int: larger inputs go through in pieces of this size.
constexpr std::size_t kPiece = std::size_t{1} << 30;

}  // namespace

std::string gzipBytes(std::string_view bytes, GzipEffort effort) {
    z_stream stream{};
    const int level = effort == GzipEffort::Most ? 9 : 6;
    // 15 bits of window, plus 16: a gzip header and trailer instead of zlib's.
    if (deflateInit2(&stream, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        return {};
    std::string out(deflateBound(&stream, static_cast<uLong>(std::min(bytes.size(), kPiece))) + 64,
                    '\0');
    std::size_t used = 0;
    std::size_t taken = 0;
    int result = Z_OK;
    do {
        std::size_t piece = std::min(bytes.size() - taken, kPiece);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + taken));
        stream.avail_in = static_cast<uInt>(piece);
        taken += piece;
        int flush = taken == bytes.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            if (used == out.size()) out.resize(out.size() * 2);
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + used);
            std::size_t room = std::min(out.size() - used, kPiece);
            stream.avail_out = static_cast<uInt>(room);
            result = deflate(&stream, flush);
            used += room - stream.avail_out;
        } while (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    } while (taken < bytes.size());
    deflateEnd(&stream);
    out.resize(used);
    return out;
}

std::optional<std::string> gunzipBytes(std::string_view gzip, std::size_t maxBytes) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) return std::nullopt;
    std::string out;
    std::size_t taken = 0;
    char buffer[1 << 14];
    bool whole = false;
    while (true) {
        if (stream.avail_in == 0 && taken < gzip.size()) {
            std::size_t piece = std::min(gzip.size() - taken, kPiece);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gzip.data() + taken));
            stream.avail_in = static_cast<uInt>(piece);
            taken += piece;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        int result = inflate(&stream, Z_NO_FLUSH);
        std::size_t made = sizeof buffer - stream.avail_out;
        if (out.size() + made > maxBytes) break;
        out.append(buffer, made);
        if (result == Z_STREAM_END) {
            // Another member may follow; the end of the bytes ends the file.
            if (stream.avail_in == 0 && taken == gzip.size()) {
                whole = true;
                break;
            }
            if (inflateReset(&stream) != Z_OK) break;
            continue;
        }
        if (result != Z_OK && !(result == Z_BUF_ERROR && made > 0)) break;
        if (made == 0 && stream.avail_in == 0 && taken == gzip.size()) break;  // cut short
    }
    inflateEnd(&stream);
    if (!whole) return std::nullopt;
    return out;
}

}  // namespace quendro
