#include "sms/phone_errors.h"

#include <algorithm>
#include <span>

#include "util/text.h"

namespace pelorin {

namespace {

// 3GPP TS 27.005, 3.2.5. Codes 0 to 127 are the RP cause values of
// TS 24.011 (E.2), 128 to 255 the TP failure causes of TS 23.040 (9.2.3.22),
// 300 and up the ME and network errors of 27.005 itself.
constexpr PhoneErrorCode kCmsErrors[] = {
    {1, "unassigned (unallocated) number"},
    {8, "operator determined barring"},
    {10, "call barred"},
    {21, "short message transfer rejected"},
    {27, "destination out of service"},
    {28, "unidentified subscriber"},
    {29, "facility rejected"},
    {30, "unknown subscriber"},
    {38, "network out of order"},
    {41, "temporary failure"},
    {42, "congestion"},
    {47, "resources unavailable, unspecified"},
    {50, "requested facility not subscribed"},
    {69, "requested facility not implemented"},
    {81, "invalid short message transfer reference value"},
    {95, "invalid message, unspecified"},
    {96, "invalid mandatory information"},
    {97, "message type non-existent or not implemented"},
    {98, "message not compatible with short message protocol state"},
    {99, "information element non-existent or not implemented"},
    {111, "protocol error, unspecified"},
    {127, "interworking, unspecified"},
    {128, "telematic interworking not supported"},
    {129, "short message type 0 not supported"},
    {130, "cannot replace short message"},
    {143, "unspecified TP-PID error"},
    {144, "data coding scheme (alphabet) not supported"},
    {145, "message class not supported"},
    {159, "unspecified TP-DCS error"},
    {160, "command cannot be actioned"},
    {161, "command unsupported"},
    {175, "unspecified TP-Command error"},
    {176, "TPDU not supported"},
    {192, "SC busy"},
    {193, "no SC subscription"},
    {194, "SC system failure"},
    {195, "invalid SME address"},
    {196, "destination SME barred"},
    {197, "SM rejected-duplicate SM"},
    {198, "TP-VPF not supported"},
    {199, "TP-VP not supported"},
    {208, "SIM SMS storage full"},
    {209, "no SMS storage capability in SIM"},
    {210, "error in MS"},
    {211, "memory capacity exceeded"},
    {212, "SIM application toolkit busy"},
    {213, "SIM data download error"},
    {255, "unspecified error cause"},
    {300, "ME failure"},
    {301, "SMS service of ME reserved"},
    {302, "operation not allowed"},
    {303, "operation not supported"},
    {304, "invalid PDU mode parameter"},
    {305, "invalid text mode parameter"},
    {310, "(U)SIM not inserted"},
    {311, "(U)SIM PIN required"},
    {312, "PH-(U)SIM PIN required"},
    {313, "(U)SIM failure"},
    {314, "(U)SIM busy"},
    {315, "(U)SIM wrong"},
    {316, "(U)SIM PUK required"},
    {317, "(U)SIM PIN2 required"},
    {318, "(U)SIM PUK2 required"},
    {320, "memory failure"},
    {321, "invalid memory index"},
    {322, "memory full"},
    {330, "SMSC address unknown"},
    {331, "no network service"},
    {332, "network timeout"},
    {340, "no +CNMA acknowledgement expected"},
    {500, "unknown error"},
};

// 3GPP TS 27.007, 9.2: general errors (9.2.1) and GPRS-related errors (9.2.2).
constexpr PhoneErrorCode kCmeErrors[] = {
    {0, "phone failure"},
    {1, "no connection to phone"},
    {2, "phone-adaptor link reserved"},
    {3, "operation not allowed"},
    {4, "operation not supported"},
    {5, "PH-SIM PIN required"},
    {6, "PH-FSIM PIN required"},
    {7, "PH-FSIM PUK required"},
    {10, "SIM not inserted"},
    {11, "SIM PIN required"},
    {12, "SIM PUK required"},
    {13, "SIM failure"},
    {14, "SIM busy"},
    {15, "SIM wrong"},
    {16, "incorrect password"},
    {17, "SIM PIN2 required"},
    {18, "SIM PUK2 required"},
    {20, "memory full"},
    {21, "invalid index"},
    {22, "not found"},
    {23, "memory failure"},
    {24, "text string too long"},
    {25, "invalid characters in text string"},
    {26, "dial string too long"},
    {27, "invalid characters in dial string"},
    {30, "no network service"},
    {31, "network timeout"},
    {32, "network not allowed - emergency calls only"},
    {40, "network personalization PIN required"},
    {41, "network personalization PUK required"},
    {42, "network subset personalization PIN required"},
    {43, "network subset personalization PUK required"},
    {44, "service provider personalization PIN required"},
    {45, "service provider personalization PUK required"},
    {46, "corporate personalization PIN required"},
    {47, "corporate personalization PUK required"},
    {48, "hidden key required"},
    {49, "EAP method not supported"},
    {50, "incorrect parameters"},
    {100, "unknown"},
    {103, "illegal MS"},
    {106, "illegal ME"},
    {107, "GPRS services not allowed"},
    {111, "PLMN not allowed"},
    {112, "location area not allowed"},
    {113, "roaming not allowed in this location area"},
    {132, "service option not supported"},
    {133, "requested service option not subscribed"},
    {134, "service option temporarily out of order"},
    {148, "unspecified GPRS error"},
    {149, "PDP authentication failure"},
    {150, "invalid mobile class"},
};

const char* meaningIn(std::span<const PhoneErrorCode> table, int code) {
    const auto found =
        std::find_if(table.begin(), table.end(), [code](const PhoneErrorCode& entry) { return entry.code == code; });
    return found == table.end() ? nullptr : found->meaning;
}

// Lower case, without "(U)", runs of blanks as one space: "(U)SIM PIN
// required" and "SIM  pin required" compare equal.
std::string comparable(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "(U)" || text.substr(i, 3) == "(u)") {
            i += 2;
            continue;
        }
        char c = text[i];
        if (c == '\t') c = ' ';
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::optional<int> codeIn(std::span<const PhoneErrorCode> table, std::string_view meaning) {
    const std::string wanted = comparable(meaning);
    if (wanted.empty()) return std::nullopt;
    for (const auto& entry : table)
        if (comparable(entry.meaning) == wanted) return entry.code;
    return std::nullopt;
}

}  // namespace

const char* cmsErrorMeaning(int code) { return meaningIn(kCmsErrors, code); }
const char* cmeErrorMeaning(int code) { return meaningIn(kCmeErrors, code); }
std::optional<int> cmsErrorCode(std::string_view meaning) { return codeIn(kCmsErrors, meaning); }
std::optional<int> cmeErrorCode(std::string_view meaning) { return codeIn(kCmeErrors, meaning); }

std::string describePhoneError(const PhoneErrorReply& reply) {
    const bool cms = reply.family == PhoneErrorReply::Family::Cms;
    const std::string answer = std::string("The phone answered ") + (cms ? "+CMS ERROR: " : "+CME ERROR: ");
    const std::string source = cms ? "3GPP TS 27.005" : "3GPP TS 27.007";
    const std::string text = escapedForDisplay(reply.text);

    if (reply.code) {
        const int code = *reply.code;
        if (const char* meaning = cms ? cmsErrorMeaning(code) : cmeErrorMeaning(code))
            return answer + std::to_string(code) + ": " + meaning + " (" + source + ")";
        if (cms && code >= 512)
            return answer + std::to_string(code) + ": an error of the phone's maker (" + source +
                   " leaves codes from 512 to them)";
        return answer + std::to_string(code) + ": a code that " + source + " does not define";
    }
    if (const auto code = cms ? cmsErrorCode(text) : cmeErrorCode(text))
        return answer + text + " (code " + std::to_string(*code) + " of " + source + ")";
    return answer + text + " (not a text of " + source + ")";
}

}  // namespace pelorin
