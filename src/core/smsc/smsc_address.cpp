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

std::optional<CentreUrl> splitCentreUrl(std::string_view url, const CentreUrlTexts& texts, std::string& error) {
    if (url.substr(0, texts.scheme.size()) != texts.scheme) {
        error = texts.wrongScheme;
        return std::nullopt;
    }
    url.remove_prefix(texts.scheme.size());
    std::string_view query;
    if (const auto mark = url.find('?'); mark != std::string_view::npos) {
        query = url.substr(mark + 1);
        url = url.substr(0, mark);
    }
    const auto at = url.rfind('@');
    if (at == std::string_view::npos || at == 0) {
        error = texts.noUser;
        return std::nullopt;
    }
    CentreUrl split;
    const std::string_view user = url.substr(0, at);
    if (user.find(':') != std::string_view::npos) {
        error = std::string(texts.address) +
                " must not hold the password (other users can read a command line); give it in "
                "PELORIN_SMSC_PASSWORD or --password-file FILE";
        return std::nullopt;
    }
    split.user = std::string(user);
    split.hostPort = url.substr(at + 1);
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const auto equals = pair.find('=');
        split.settings.emplace_back(
            pair.substr(0, equals),
            std::string(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1)));
    }
    return split;
}

std::optional<std::uint16_t> readPort(std::string_view digits) {
    unsigned long port = 0;
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + static_cast<unsigned long>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

std::optional<SmscAddress> parseSmscAddress(std::string_view url, std::string& error) {
    const auto split = splitCentreUrl(
        url,
        {"smpp://", "the SMS centre address must be smpp://SYSTEM_ID@HOST[:PORT]",
         "the SMS centre address needs the system id: smpp://SYSTEM_ID@HOST[:PORT]", "the SMS centre address"},
        error);
    if (!split) return std::nullopt;
    SmscAddress address;
    address.systemId = split->user;
    std::string_view hostPort = split->hostPort;
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
        const auto port = readPort(hostPort.substr(1));
        if (!port) {
            error = "the SMS centre port must be a number from 1 to 65535";
            return std::nullopt;
        }
        address.port = *port;
    }
    if (address.host.empty()) {
        error = "the SMS centre address needs a host: smpp://SYSTEM_ID@HOST[:PORT]";
        return std::nullopt;
    }
    for (const auto& [key, value] : split->settings) {
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
