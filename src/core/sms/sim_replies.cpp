#include "sms/sim_replies.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "sms/phone_errors.h"

namespace pelorin {

namespace {

constexpr std::size_t kMaxPinState = 16;
constexpr std::size_t kMaxCentre = 24;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The value after prefix on the first whole line that begins with it.
std::optional<std::string_view> firstLineValue(std::string_view text, std::string_view prefix) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        const std::string_view line = trimmed(text.substr(start, i - start));
        start = i + 1;
        if (line.starts_with(prefix)) return trimmed(line.substr(prefix.size()));
    }
    return std::nullopt;
}

}  // namespace

SimCondition simCondition(const std::optional<PhoneErrorReply>& error) {
    if (!error) return SimCondition::None;
    const bool cms = error->family == PhoneErrorReply::Family::Cms;
    std::optional<int> code = error->code;
    if (!code) code = cms ? cmsErrorCode(error->text) : cmeErrorCode(error->text);
    if (!code) return SimCondition::None;
    if (cms) {
        switch (*code) {
            case 311:
                return SimCondition::PinRequired;
            case 312:
                return SimCondition::PukRequired;
            case 314:
                return SimCondition::Busy;
            case 330:
                return SimCondition::NoCentre;
            case 500:
                return SimCondition::Unknown;
            default:
                return SimCondition::None;
        }
    }
    switch (*code) {
        case 11:
            return SimCondition::PinRequired;
        case 12:
            return SimCondition::PukRequired;
        case 14:
            return SimCondition::Busy;
        case 16:
            return SimCondition::WrongPin;
        default:
            return SimCondition::None;
    }
}

std::optional<std::string> findPinState(std::string_view received) {
    const auto value = firstLineValue(received, "+CPIN:");
    if (!value) return std::nullopt;
    return std::string(value->substr(0, kMaxPinState));
}

std::optional<std::string> findCentreNumber(std::string_view received) {
    auto value = firstLineValue(received, "+CSCA:");
    if (!value) return std::nullopt;
    std::string_view number = *value;
    if (number.starts_with('"')) {
        number.remove_prefix(1);
        number = number.substr(0, number.find('"'));
    } else {
        number = trimmed(number.substr(0, number.find(',')));
    }
    return std::string(number.substr(0, kMaxCentre));
}

bool IsValidPin(std::string_view pin) {
    return pin.size() >= 4 && pin.size() <= 8 && std::all_of(pin.begin(), pin.end(), isDigit);
}

bool IsValidSmsCentre(std::string_view number) {
    if (number.starts_with('+')) number.remove_prefix(1);
    return number.size() >= 3 && number.size() <= 20 && std::all_of(number.begin(), number.end(), isDigit);
}

void wipeSecret(std::string& text) {
    if (!text.empty()) ::explicit_bzero(text.data(), text.size());
    text.clear();
}

FixedPinSource::FixedPinSource(std::optional<std::string> pin, std::string howToGive)
    : pin_(std::move(pin)), howToGive_(std::move(howToGive)) {}

FixedPinSource::~FixedPinSource() { refused(); }

std::optional<std::string> FixedPinSource::pin() { return pin_; }

void FixedPinSource::refused() {
    if (pin_) wipeSecret(*pin_);
    pin_.reset();
}

}  // namespace pelorin
