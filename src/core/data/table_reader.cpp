#include "data/table_reader.h"

namespace pelorin {

bool TableReader::read(std::uint8_t& byte) {
    if (position_ >= bytes_.size()) return false;
    byte = bytes_[position_++];
    return true;
}

std::string readTableLine(TableReader& reader) {
    constexpr std::uint8_t kCarriageReturn = 0x0D;
    std::string line;
    std::uint8_t byte = 0;
    while (reader.read(byte) && byte != kCarriageReturn) {
        if (line.size() < kTableLineBufferSize - 1) line.push_back(static_cast<char>(byte));
    }
    // The byte after the CR is the LF; without it the line does not count.
    if (!reader.read(byte)) return {};
    return line;
}

void scanTableLines(std::span<const std::uint8_t> table, const std::function<void(std::string_view)>& process) {
    TableReader reader(table);
    for (std::string line = readTableLine(reader); !line.empty(); line = readTableLine(reader)) process(line);
}

std::string tableText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

}  // namespace pelorin
