#pragma once

// The address of an SMS centre as the user gives it:
//   smpp://SYSTEM_ID@HOST[:PORT][?system-type=T&source=S]   (port 2775 by default)
// The password never appears in it: it is read from the environment or a
// file (readSmscPassword), since a command line is visible to other users.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin::smsc {

struct SmscAddress {
    std::string systemId;
    std::string host;
    std::uint16_t port = 2775;
    std::string systemType;
    std::string source;  // empty: no source address
};

// An SMS centre's address taken apart: SCHEME USER@HOST[:PORT][?KEY=VALUE&...].
struct CentreUrl {
    std::string user;
    std::string_view hostPort;  // everything between "@" and "?", within the url given
    std::vector<std::pair<std::string_view, std::string>> settings;  // in the order given
};

// What a kind of address says when it cannot be split.
struct CentreUrlTexts {
    std::string_view scheme;   // such as "smpp://"
    std::string wrongScheme;   // the scheme is missing
    std::string noUser;        // nothing before the "@"
    std::string_view address;  // "the SMS centre address", as the password refusal names it
};

// Splits url; a user with a ":" (a password) is refused. Nothing returned and
// error set when it cannot be split.
std::optional<CentreUrl> splitCentreUrl(std::string_view url, const CentreUrlTexts& texts, std::string& error);

// A port of 1 to 65535 written in decimal digits.
std::optional<std::uint16_t> readPort(std::string_view digits);

// Checks every field against SMPP 3.4's sizes; nothing returned and error
// set when the address cannot be used.
std::optional<SmscAddress> parseSmscAddress(std::string_view url, std::string& error);

// The password from PELORIN_SMSC_PASSWORD, or from passwordFile when one is
// named (its first line); nothing and error set when it cannot be read or is
// longer than SMPP 3.4's 8 characters (unless smppLimit is false: a Kannel
// password has no such limit).
std::optional<std::string> readSmscPassword(const std::string& passwordFile, std::string& error, bool smppLimit = true);

}  // namespace pelorin::smsc
