#include "support/gzip.h"

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

}  // namespace pelorin::testing
