#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "phone/modem.h"
#include "phone/smpp_centre.h"

namespace pelorin::phone {

struct ProgramArguments {
    PhoneOptions phone;
    std::optional<std::filesystem::path> link;
    std::optional<std::filesystem::path> store;
    std::optional<std::filesystem::path> transcript;
    std::optional<CentreOptions> smpp;  // --smpp: also an SMS centre
    bool exitOnStdinEof = false;
    bool inboxFromStdin = false;
    bool quiet = false;
    bool help = false;
};

extern const char* const kHelpText;

// Parses the command line; on a mistake returns nothing and says why.
std::optional<ProgramArguments> parseArguments(int argc, char** argv, std::string& why);

}  // namespace pelorin::phone
