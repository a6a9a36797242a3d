#include "phone/command_set.h"

#include <array>
#include <charconv>

#include "phone/at_answer.h"

namespace pelorin::phone {

namespace {

using at::info;
using at::kOk;
using at::unquoted;
using at::valueOf;

constexpr std::array<const char*, 3> kCharsets = {"GSM", "IRA", "UCS2"};

}  // namespace

void CommandSet::reset() {
    errorMode_ = 0;
    registrationMode_ = 0;
    gprsRegistrationMode_ = 0;
    callerId_ = false;
    inbox_.reset();
    charset_ = "GSM";
    operatorFormat_ = 0;
    newMessageIndications_ = "0,0,0,0,0";
    flowControl_ = "2,2";
}

CommandSet::NewMessageIndications CommandSet::newMessageIndications() const {
    // The setting holds digits and commas only; an empty or missing value is 0.
    unsigned values[2] = {0, 0};
    std::string_view rest = newMessageIndications_;
    for (unsigned& value : values) {
        const std::size_t comma = rest.find(',');
        const std::string_view field = rest.substr(0, comma);
        if (std::from_chars(field.data(), field.data() + field.size(), value).ec != std::errc()) value = 0;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return {values[0], values[1]};
}

std::string CommandSet::error() const {
    // "operation not supported", code 4 of the ME error table.
    if (errorMode_ == 1) return "\r\n+CME ERROR: 4\r\n";
    if (errorMode_ == 2) return "\r\n+CME ERROR: operation not supported\r\n";
    return "\r\nERROR\r\n";
}

std::optional<std::string> CommandSet::answer(const std::string& command) {
    // Identification (27.007 and the V.25ter forms without the C).
    if (command == "+CGMI" || command == "+GMI") return info("Pelorin");
    if (command == "+CGMM" || command == "+GMM") return info("Pelorin simulated phone");
    if (command == "+CGMR" || command == "+GMR") return info("1.0");
    if (command == "+CGSN" || command == "+GSN") return info("490154203237518");
    if (command == "+CGMI=?" || command == "+CGMM=?" || command == "+CGMR=?" || command == "+CGSN=?") return kOk;

    if (command == "+CMEE?") return info("+CMEE: " + std::to_string(errorMode_));
    if (command == "+CMEE=?") return info("+CMEE: (0-2)");
    if (const auto value = valueOf(command, "+CMEE")) {
        if (*value != "0" && *value != "1" && *value != "2") return error();
        errorMode_ = (*value)[0] - '0';
        return kOk;
    }
    if (command == "+CPIN?") return info("+CPIN: READY");
    if (command == "+CSQ") return info("+CSQ: 20,99");
    if (command == "+CSQ=?") return info("+CSQ: (0-31,99),(0-7,99)");
    if (command == "+IFC?") return info("+IFC: " + flowControl_);
    if (command == "+IFC=?") return info("+IFC: (0-2),(0-2)");
    if (const auto value = valueOf(command, "+IFC")) {
        const bool valid = value->size() == 3 && (*value)[0] >= '0' && (*value)[0] <= '2' && (*value)[1] == ',' &&
                           (*value)[2] >= '0' && (*value)[2] <= '2';
        if (!valid) return error();
        flowControl_ = *value;
        return kOk;
    }

    if (command == "+CSCS?") return info("+CSCS: \"" + charset_ + "\"");
    if (command == "+CSCS=?") return info("+CSCS: (\"GSM\",\"IRA\",\"UCS2\")");
    if (const auto value = valueOf(command, "+CSCS")) {
        const std::string wanted = unquoted(*value);
        for (const char* charset : kCharsets) {
            if (wanted == charset) {
                charset_ = wanted;
                return kOk;
            }
        }
        return error();
    }
    if (auto reply = messageService(command)) return reply;
    if (auto reply = subscriber(command)) return reply;
    if (auto reply = registration(command, "+CREG", registrationMode_)) return reply;
    if (auto reply = registration(command, "+CGREG", gprsRegistrationMode_)) return reply;
    return network(command);
}

std::string CommandSet::imsi() const {
    // The test network 001-01 stands in when the phone is not registered.
    const std::string home = network_.empty() ? "00101" : network_;
    return home + std::string("0123456789").substr(0, 15 - home.size());
}

// The SIM, the radio and calls: what programs ask before they send.
std::optional<std::string> CommandSet::subscriber(const std::string& command) {
    if (command == "+CIMI") return info(imsi());
    if (command == "+CIMI=?" || command == "+CNUM=?" || command == "+CHUP=?" || command == "+CHUP") return kOk;
    if (command == "+CNUM") {
        if (ownNumber_.empty()) return kOk;
        const bool international = ownNumber_[0] == '+';
        return info("+CNUM: \"\",\"" + ownNumber_ + "\"," + (international ? "145" : "129"));
    }
    // Phone activity: always ready.
    if (command == "+CPAS") return info("+CPAS: 0");
    if (command == "+CPAS=?") return info("+CPAS: (0-5)");
    if (command == "+CFUN?") return info("+CFUN: 1");
    if (command == "+CFUN=?") return info("+CFUN: (1),(0)");
    if (command == "+CFUN=1" || command == "+CFUN=1,0") return kOk;
    if (command == "+CLIP?") return info("+CLIP: " + std::to_string(callerId_ ? 1 : 0) + ",1");
    if (command == "+CLIP=?") return info("+CLIP: (0,1)");
    if (command == "+CLIP=0" || command == "+CLIP=1") {
        callerId_ = command.back() == '1';
        return kOk;
    }
    if (command == "+CGATT?") return info("+CGATT: " + std::string(network_.empty() ? "0" : "1"));
    if (command == "+CGATT=?") return info("+CGATT: (0,1)");
    return std::nullopt;
}

// AT+CREG and AT+CGREG: the registration in the mode set; mode 2 adds the
// location area and the cell. Unsolicited result codes are not sent.
std::optional<std::string> CommandSet::registration(const std::string& command, const std::string& name, int& mode) {
    if (command == name + "=?") return info(name + ": (0-2)");
    if (command == name + "?") {
        std::string line = name + ": " + std::to_string(mode) + "," + (network_.empty() ? "0" : "1");
        if (mode == 2 && !network_.empty()) line += ",\"1A2B\",\"00C3D4E5\"";
        return info(line);
    }
    if (const auto value = valueOf(command, name)) {
        if (*value != "0" && *value != "1" && *value != "2") return error();
        mode = (*value)[0] - '0';
        return kOk;
    }
    return std::nullopt;
}

// 27.005: service, storage, indications and the service centre.
std::optional<std::string> CommandSet::messageService(const std::string& command) {
    if (command == "+CSCA?") return info("+CSCA: \"+491710760000\",145");
    if (command == "+CSMS?") return info("+CSMS: 0,1,1,1");
    if (command == "+CSMS=?") return info("+CSMS: (0)");
    if (const auto value = valueOf(command, "+CSMS")) {
        if (*value != "0") return error();
        return info("+CSMS: 1,1,1");
    }
    if (auto reply = inbox_.answer(command, error())) return reply;
    if (command == "+CNMI?") return info("+CNMI: " + newMessageIndications_);
    if (command == "+CNMI=?") return info("+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)");
    if (const auto value = valueOf(command, "+CNMI")) {
        if (value->empty() || value->size() > 16 || value->find_first_not_of("0123456789,") != std::string::npos)
            return error();
        newMessageIndications_ = *value;
        return kOk;
    }
    return std::nullopt;
}

// 27.007 operator selection: the network given at start, in the format
// AT+COPS=3,<format> chose. The phone has no operator names, so the
// alphanumeric formats give the codes as "MCC MNC", as phones do for a
// network they have no name for.
std::optional<std::string> CommandSet::network(const std::string& command) {
    const std::string spaced = network_.empty() ? "" : network_.substr(0, 3) + " " + network_.substr(3);
    if (command == "+COPS?") {
        if (network_.empty()) return info("+COPS: 0");
        const std::string name = operatorFormat_ == 2 ? network_ : spaced;
        return info("+COPS: 0," + std::to_string(operatorFormat_) + ",\"" + name + "\"");
    }
    if (command == "+COPS=?") {
        if (network_.empty()) return info("+COPS: ,,(0-4),(0-2)");
        return info("+COPS: (2,\"" + spaced + "\",\"" + spaced + "\",\"" + network_ + "\"),,(0-4),(0-2)");
    }
    if (const auto value = valueOf(command, "+COPS")) {
        if (*value == "0") return network_.empty() ? error() : kOk;
        if (value->size() == 3 && value->rfind("3,", 0) == 0 && (*value)[2] >= '0' && (*value)[2] <= '2') {
            operatorFormat_ = (*value)[2] - '0';
            return kOk;
        }
        return error();
    }
    return std::nullopt;
}

}  // namespace pelorin::phone
