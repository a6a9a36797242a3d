#pragma once

// A folder for pictures and pelorin-cli to run on them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin::testing {

class CliPicturesFixture : public ::testing::Test {
protected:
    explicit CliPicturesFixture(const std::string& prefix) : folder(prefix) {}

    std::string path(const std::string& name) const { return folder.file(name); }
    static ProcessResult run(const std::vector<std::string>& arguments) {
        return runProcess(PELORIN_CLI_PATH, arguments);
    }
    // The rows "show" prints after its first line.
    static std::string rowsShown(const std::string& file) {
        const std::string out = run({"show", file}).out;
        return out.substr(out.find('\n') + 1);
    }

    TemporaryFolder folder;
};

}  // namespace pelorin::testing
