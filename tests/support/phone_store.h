#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pelorin::testing {

// What pelorin-phone keeps in its store folder, read back for checks.

// One line of log.txt: its tab-separated key=value fields.
std::map<std::string, std::string> phoneLogFields(const std::string& line);

// Every line of log.txt in `store`, oldest first, as fields.
std::vector<std::map<std::string, std::string>> readPhoneLog(const std::filesystem::path& store);

// The rows of the picture stored for a log entry's "file" field (with or
// without its ".plr"): '#' for a set pixel, '.' for a clear one.
std::vector<std::string> readPhonePicture(const std::filesystem::path& store, std::string file);

// Where stored rows differ from a picture of width x height whose pixels
// isSet tells; empty when they are the same.
std::string pictureMismatch(const std::vector<std::string>& rows, int width, int height,
                            const std::function<bool(int x, int y)>& isSet);

}  // namespace pelorin::testing
