#include "support/compressed.h"

#include <zlib.h>

#include <stdexcept>

namespace pelorin::testing {

std::vector<std::uint8_t> gzipped(const std::string& head, const std::string& body, int repeats,
                                  const std::string& tail) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> chunk(1 << 16);
    const auto feed = [&](const std::string& text, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        stream.avail_in = static_cast<uInt>(text.size());
        do {
            stream.next_out = chunk.data();
            stream.avail_out = static_cast<uInt>(chunk.size());
            deflate(&stream, flush);
            out.insert(out.end(), chunk.begin(), chunk.end() - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    feed(head, Z_NO_FLUSH);
    for (int i = 0; i < repeats; ++i) feed(body, Z_NO_FLUSH);
    feed(tail, Z_FINISH);
    deflateEnd(&stream);
    return out;
}

std::vector<std::uint8_t> hugePngStart() {
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const auto chunk = [&png](std::vector<std::uint8_t> body) {
        const auto put32 = [&png](uLong value) {
            for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(value >> shift));
        };
        put32(body.size() - 4);
        png.insert(png.end(), body.begin(), body.end());
        put32(crc32(0, body.data(), static_cast<uInt>(body.size())));
    };
    chunk({'I', 'H', 'D', 'R', 0, 0, 0x4e, 0x20, 0, 0, 0x4e, 0x20, 8, 0, 0, 0, 0});
    std::vector<std::uint8_t> rows(20001 * 4), packed(compressBound(static_cast<uLong>(rows.size())));
    uLongf length = static_cast<uLongf>(packed.size());
    compress(packed.data(), &length, rows.data(), static_cast<uLong>(rows.size()));
    packed.resize(length);
    packed.insert(packed.begin(), {'I', 'D', 'A', 'T'});
    chunk(packed);
    return png;
}

}  // namespace pelorin::testing
