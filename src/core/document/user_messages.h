#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Failures are told to the user, never passed upwards: the editor shows each
// text in a modal box with one OK button.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void showMessage(const std::string& text) = 0;
};

// The fixed texts of the file commands and imports.
namespace message {
inline constexpr std::string_view kFailedToOpenForReading = "Failed to open file %s for reading.";
inline constexpr std::string_view kFailedToOpenForWriting = "Failed to open file %s for writing.";
inline constexpr std::string_view kNotARegularFile =
    "Cannot save as %s: it is not a regular file (a device, a pipe, a socket or a folder), so it was left as it is.";
inline constexpr std::string_view kUnsupportedFileFormat = "Unsupported file format";
inline constexpr std::string_view kNotADib = "Error:Unexpected file type, not a DIB";
inline constexpr std::string_view kOs2Bitmap = "Error:OS2 PM BMP Format not supported";
inline constexpr std::string_view kUnsupportedBitmap = "Unsupported bitmap format";

// Puts the path in place of the first "%s" of the text.
std::string withPath(std::string_view text, const std::string& path);
}  // namespace message

}  // namespace pelorin
