#include "smsc/smsc_address.h"

#include <cstdlib>
#include <fstream>

#include "smsc/smpp_pdu.h"

namespace pelorin::smsc {

namespace {

bool tooLong(std::string_view what, const std::string& value, std::size_t max, std::string& error) {
    if (value.size() <= max) return false;
    error = std::string(what) + " \"" + value + "\" has " + std::to_string(value.size()) +
            " characters; SMPP 3.4 allows at most " + std::to_string(max);
    return true;
}

}  // namespace

std::optional<SmscAddress> parseSmscAddress(std::string_view url, std::string& error) {
    constexpr std::string_view kScheme = "smpp://";
    if (url.substr(0, kScheme.size()) != kScheme) {
        error = "the SMS centre address must be smpp://SYSTEM_ID@HOST[:PORT]";
        return std::nullopt;
    }
    url.remove_prefix(kScheme.size());
    std::string_view query;
    if (const auto mark = url.find('?'); mark != std::string_view::npos) {
        query = url.substr(mark + 1);
        url = url.substr(0, mark);
    }
    const auto at = url.rfind('@');
    if (at == std::string_view::npos || at == 0) {
        error = "the SMS centre address needs the system id: smpp://SYSTEM_ID@HOST[:PORT]";
        return std::nullopt;
    }
    SmscAddress address;
    const std::string_view user = url.substr(0, at);
    if (user.find(':') != std::string_view::npos) {
        error =
            "the SMS centre address must not hold the password (other users can read a command line); give it in "
            "PELORIN_SMSC_PASSWORD or --password-file FILE";
        return std::nullopt;
    }
    address.systemId = std::string(user);
    std::string_view hostPort = url.substr(at + 1);
    if (!hostPort.empty() && hostPort.front() == '[') {
        const auto close = hostPort.find(']');
        if (close == std::string_view::npos) {
            error = "the SMS centre address has an unclosed [ in its host";
            return std::nullopt;
        }
        address.host = std::string(hostPort.substr(1, close - 1));
        hostPort.remove_prefix(close + 1);
        if (!hostPort.empty() && hostPort.front() != ':') {
            error = "the SMS centre address has text after its host";
            return std::nullopt;
        }
    } else {
        const auto colon = hostPort.find(':');
        address.host = std::string(hostPort.substr(0, colon));
        hostPort = colon == std::string_view::npos ? std::string_view() : hostPort.substr(colon);
    }
    if (!hostPort.empty()) {
        const std::string_view digits = hostPort.substr(1);
        unsigned long port = 0;
        bool ok = !digits.empty() && digits.size() <= 5;
        for (char c : digits) {
            ok = ok && c >= '0' && c <= '9';
            port = port * 10 + static_cast<unsigned long>(c - '0');
        }
        if (!ok || port == 0 || port > 65535) {
            error = "the SMS centre port must be a number from 1 to 65535";
            return std::nullopt;
        }
        address.port = static_cast<std::uint16_t>(port);
    }
    if (address.host.empty()) {
        error = "the SMS centre address needs a host: smpp://SYSTEM_ID@HOST[:PORT]";
        return std::nullopt;
    }
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const auto equals = pair.find('=');
        const std::string_view key = pair.substr(0, equals);
        const std::string value(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
        if (key == "system-type") {
            address.systemType = value;
        } else if (key == "source") {
            address.source = value;
        } else {
            error = "the SMS centre address has an unknown setting \"" + std::string(key) +
                    "\" (system-type and source are known)";
            return std::nullopt;
        }
    }
    if (tooLong("the system id", address.systemId, kMaxSystemId, error) ||
        tooLong("the system type", address.systemType, kMaxSystemType, error) ||
        tooLong("the source address", address.source, kMaxAddress, error))
        return std::nullopt;
    return address;
}

std::optional<std::string> readSmscPassword(const std::string& passwordFile, std::string& error, bool smppLimit) {
    std::string password;
    if (!passwordFile.empty()) {
        std::ifstream in(passwordFile);
        if (!in) {
            error = "cannot read the password file " + passwordFile;
            return std::nullopt;
        }
        std::getline(in, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
    } else if (const char* fromEnvironment = std::getenv("PELORIN_SMSC_PASSWORD")) {
        password = fromEnvironment;
    }
    if (smppLimit && password.size() > kMaxPassword) {
        error = "the SMS centre password has " + std::to_string(password.size()) +
                " characters; SMPP 3.4 allows at most 8 (a longer one is dropped by some centres without an answer)";
        return std::nullopt;
    }
    return password;
}

}  // namespace pelorin::smsc
