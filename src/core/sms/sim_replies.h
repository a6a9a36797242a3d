#pragma once

// What a phone's errors and answers say about its SIM: the PIN it wants,
// whether it is busy, and the SMS centre number it holds; and the source of
// the PIN a send job may give it.

#include <optional>
#include <string>
#include <string_view>

#include "sms/at_reply.h"

namespace pelorin {

// The conditions of the SIM that the dialogue deals with.
enum class SimCondition {
    None,         // no such error
    PinRequired,  // +CME ERROR: 11, +CMS ERROR: 311
    PukRequired,  // +CME ERROR: 12, +CMS ERROR: 312
    WrongPin,     // +CME ERROR: 16
    Busy,         // +CME ERROR: 14, +CMS ERROR: 314
    NoCentre,     // +CMS ERROR: 330
    Unknown,      // +CMS ERROR: 500
};

// The condition an error names, by its number or by the text of the verbose
// form.
SimCondition simCondition(const std::optional<PhoneErrorReply>& error);

// What "+CPIN: ..." says: "READY", "SIM PIN", "SIM PUK" and the like (at most
// 16 characters), from the first whole line of that form.
std::optional<std::string> findPinState(std::string_view received);

// The number of the first whole "+CSCA: "number",type" line, without its
// quotes (at most 24 characters; empty when the phone has none).
std::optional<std::string> findCentreNumber(std::string_view received);

// 4 to 8 digits.
bool IsValidPin(std::string_view pin);
// "+" (optional) and 3 to 20 digits.
bool IsValidSmsCentre(std::string_view number);

// Where a send job gets the SIM's PIN when the phone asks for it. The PIN is
// asked for at most once a job, and one that the SIM refused is never given
// again.
class PinSource {
public:
    virtual ~PinSource() = default;
    // The PIN, or nothing when the user gave none.
    virtual std::optional<std::string> pin() = 0;
    // The SIM refused the PIN last given.
    virtual void refused() = 0;
    // One sentence for the user on how to give the PIN, when none was given.
    virtual std::string howToGive() const = 0;
};

// A PIN read once and kept in memory for one run (the command line's
// PELORIN_PIN or PIN file); cleared when refused or destroyed.
class FixedPinSource final : public PinSource {
public:
    FixedPinSource(std::optional<std::string> pin, std::string howToGive);
    ~FixedPinSource() override;
    FixedPinSource(const FixedPinSource&) = delete;
    FixedPinSource& operator=(const FixedPinSource&) = delete;

    std::optional<std::string> pin() override;
    void refused() override;
    std::string howToGive() const override { return howToGive_; }

private:
    std::optional<std::string> pin_;
    std::string howToGive_;
};

// Overwrites the characters of a string that held a PIN.
void wipeSecret(std::string& text);

}  // namespace pelorin
