#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pelorin {

// A byte stream over one table held in memory, read one byte at a time. It
// never reads past the span it was opened over.
class TableReader {
public:
    explicit TableReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Gives the next byte, or false once the data is used up.
    bool read(std::uint8_t& byte);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Size of the line buffer; a line keeps at most kTableLineBufferSize - 1 bytes.
inline constexpr std::size_t kTableLineBufferSize = 1024;

// Reads the next line: bytes up to a CR or the end of the data, after which one
// more byte (normally the LF) is read and dropped. The line is returned only if
// that extra byte existed, so a last line without CR LF, or one whose CR is the
// very last byte, comes back empty. Bytes past the buffer's capacity are read
// and dropped, so an overlong line is cut short but the next line still starts
// after its CR LF. The result holds one char per table byte, unconverted.
std::string readTableLine(TableReader& reader);

// Reads lines from the start of a table and hands each to `process` until the
// first empty line, which ends the scan (as does the end of the data).
void scanTableLines(std::span<const std::uint8_t> table, const std::function<void(std::string_view)>& process);

// Turns table bytes into program text: each byte is one character (ASCII as it
// is, bytes above 0x7F taken as Latin-1), encoded as UTF-8.
std::string tableText(std::string_view bytes);

}  // namespace pelorin
