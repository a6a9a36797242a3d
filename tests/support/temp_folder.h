#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelorin::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& prefix = "pelorin-test");
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of a file in the folder, as text.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A whole file as bytes (empty when it cannot be read).
std::string readFileText(const std::filesystem::path& path);
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pelorin::testing
