#include "platform/serial_devices.h"

#include <algorithm>
#include <system_error>

namespace pelorin {

namespace {

// Entries of `folder` whose names start with `prefix`, sorted; a missing or
// unreadable folder gives none.
std::vector<std::string> entriesStartingWith(const std::filesystem::path& folder, std::string_view prefix) {
    std::vector<std::string> found;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::vector<std::string> listSerialDevices(const std::filesystem::path& devRoot) {
    std::vector<std::string> devices;
    for (auto group : {entriesStartingWith(devRoot, "ttyUSB"), entriesStartingWith(devRoot, "ttyACM"),
                       entriesStartingWith(devRoot / "serial" / "by-id", "")})
        devices.insert(devices.end(), group.begin(), group.end());
    return devices;
}

}  // namespace pelorin
