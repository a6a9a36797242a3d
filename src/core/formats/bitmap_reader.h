#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/file_system.h"
#include "document/user_messages.h"

namespace pelorin {

// A loaded bitmap as plain pixels for drawing at 1:1: rows from the top,
// three bytes a pixel (red, green, blue).
struct BitmapImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Loads an uncompressed Windows bitmap file (40-byte information header) into
// memory. The information header is kept together with a 256-entry colour
// table in which only entry 0 keeps the file's colour and every other entry is
// light grey, which is how logos are shown: index 0 is the ink.
//
// Every size and offset in the file is checked against the file itself before
// anything is read, so a damaged or hostile file can never make the reader (or
// anyone using its pixels) go outside the loaded bytes.
class BitmapReader {
public:
    static constexpr std::size_t kFileHeaderSize = 14;
    static constexpr std::size_t kInfoHeaderSize = 40;
    static constexpr std::size_t kColourTableSize = 1024;
    static constexpr std::size_t kInfoSize = kInfoHeaderSize + kColourTableSize;
    // Logos are tiny; pixel data beyond this are not a logo and are refused
    // rather than read into memory.
    static constexpr std::size_t kMaxBitsSize = 1024 * 1024;
    static constexpr std::uint8_t kLightGrey = 0xDC;

    // Returns true when the file was read. On failure it has shown one of
    // "Failed to open file %s for reading.", "Error:Unexpected file type, not
    // a DIB", "Error:OS2 PM BMP Format not supported" or "Unsupported bitmap
    // format", and holds nothing.
    bool load(FileSystem& files, UserMessages& messages, const std::string& path);
    // The same without a message box: nothing when the file was read, else the
    // text load would show and whether it names the file.
    struct Failure {
        std::string text;
        bool namesPath = false;
    };
    std::optional<Failure> read(FileSystem& files, const std::string& path);

    bool loaded() const { return loaded_; }
    // The information header followed by the prepared colour table (1064
    // bytes); empty until a load succeeds.
    const std::vector<std::uint8_t>& info() const { return info_; }
    // The pixel bytes as stored in the file; at least rows() * stride() bytes.
    const std::vector<std::uint8_t>& bits() const { return bits_; }
    std::size_t bitsSize() const { return bits_.size(); }

    int width() const;
    // As stored: negative for rows stored from the top down.
    int height() const;
    int bitsPerPixel() const;
    int rows() const;
    bool topDown() const { return height() < 0; }
    // Bytes of one stored row, padded to a multiple of 4.
    std::size_t stride() const;

    // The colour-table index of pixel x of stored row r (rows counted in
    // storage order) of an image of at most 8 bits per pixel.
    std::uint8_t indexAt(int x, int storedRow) const;

    // The image as it is drawn: indexed pixels through the prepared colour
    // table, deeper ones with their own colours. Empty when nothing is loaded.
    BitmapImage image() const;

private:
    void release();
    std::optional<Failure> fail(std::string text, bool namesPath = false);

    std::vector<std::uint8_t> info_;
    std::vector<std::uint8_t> bits_;
    bool loaded_ = false;
};

}  // namespace pelorin
