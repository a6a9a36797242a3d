#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/canvas.h"
#include "document/logo_kind.h"

namespace pelorin {

class SettingsStore;

// The one document of the program: the three canvases, each kept while the
// others are edited, so switching kinds never loses a drawing; the remembered
// send settings; and the country list with the operator table the send dialog
// picks networks from.
class CPelorinDoc {
public:
    // A first run: every remembered value at its default.
    CPelorinDoc();
    // Reads the remembered values from `store` (only while constructing).
    explicit CPelorinDoc(SettingsStore& store);

    Canvas operatorCanvas{sizeOf(LogoKind::Operator)};
    Canvas pictureCanvas{sizeOf(LogoKind::Picture)};
    Canvas largeOperatorCanvas{sizeOf(LogoKind::LargeOperator)};

    // Remembered values, kept in the settings store between runs.
    std::string lastNumber;
    std::string lastCountry;       // MCC text
    std::string lastCode;          // MNC text
    std::int32_t lastReport = 1;   // delivery report wanted: 1 yes, 0 no
    std::string comPort;           // serial device of the phone, such as "COM3:"
    std::int32_t fixedWaits = 0;   // 1: the phone dialogue keeps its fixed waits; 0: it goes on as the phone replies
    std::string smsCentre;         // set in a phone that has no SMS centre number ("+" and digits); empty: none
    std::int32_t slowWrites = 0;   // 1: writes go out in pieces of 18 bytes, 10 ms apart
    std::int32_t lineLog = 0;      // 1: each send keeps a log of the phone dialogue
    std::int32_t sendThrough = 0;  // kSendThroughPhone or kSendThroughCentre (settings/line_settings.h)
    std::string smscAddress;       // smpp:// or kannel://, for kSendThroughCentre; empty: none

    // The text the next picture message's send dialog starts with (the text
    // of a picture message read from a phone); not kept between runs.
    std::string nextPictureText;

    // The built-in tables: the country table is split into the two parallel
    // lists once; the operator table is scanned where it lies, on demand.
    std::span<const std::uint8_t> countryTable;
    std::span<const std::uint8_t> operatorTable;
    std::vector<std::string> countryNames;
    std::vector<std::string> countryCodes;

    Canvas& canvas(LogoKind kind);
    const Canvas& canvas(LogoKind kind) const;

private:
    void load(SettingsStore& store);
};

}  // namespace pelorin
