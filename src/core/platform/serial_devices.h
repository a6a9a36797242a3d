#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin {

// The serial devices attached to this computer that a phone is likely to be
// on: /dev/ttyUSB*, /dev/ttyACM* and the stable links in /dev/serial/by-id,
// each group sorted by name. `devRoot` stands in for "/dev" in tests.
std::vector<std::string> listSerialDevices(const std::filesystem::path& devRoot = "/dev");

}  // namespace pelorin
