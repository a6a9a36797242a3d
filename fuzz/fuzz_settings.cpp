// Feeds arbitrary stored settings (as another tool or a damaged settings file
// could leave them) to the document's reading of its remembered values, the
// port choice and its labels, the recent files' list, the operator-logo dialog's network choice and a send job built
// from them: nothing may read outside its text, and the encoding must stay
// well-formed whatever the number holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/network_choice.h"
#include "document/document.h"
#include "fuzz_texts.h"
#include "settings/memory_settings_store.h"
#include "settings/port_choice.h"
#include "settings/port_list.h"
#include "settings/recent_files.h"
#include "sms/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Six texts separated by zero bytes: Number, Country, Code, Report,
    // COMport, then a picture text.
    const std::vector<std::string> texts = pelorin::fuzz::splitTexts(data, size, 6);

    pelorin::MemorySettingsStore store;
    store.writeString("Last", "Number", texts[0]);
    store.writeString("Last", "Country", texts[1]);
    store.writeString("Last", "Code", texts[2]);
    store.writeString("Last", "Report", texts[3]);
    store.writeString("Settings", "COMport", texts[4]);
    pelorin::CPelorinDoc doc(store);

    if (const auto selection = pelorin::settingsPortSelection(doc.comPort)) {
        if (*selection >= pelorin::kSettingsPortNames.size()) __builtin_trap();
    }
    const auto items = pelorin::settingsPortItems({"/dev/ttyUSB0", texts[5]});
    for (const auto& item : items) (void)pelorin::settingsPortItemLabel(item);

    // File > Open Recent's list from stored names: at most eight, no repeats,
    // none empty.
    store.writeString("Recent", "File1", texts[4]);
    store.writeString("Recent", "File2", texts[5]);
    store.writeString("Recent", "File3", texts[4]);
    const auto recent = pelorin::readRecentFiles(store);
    if (recent.size() > pelorin::kRecentFileLimit) __builtin_trap();
    for (const auto& path : recent) {
        if (path.empty()) __builtin_trap();
        (void)pelorin::documentWindowTitle(pelorin::fileNameOf(path), true, "Pelorin");
        (void)pelorin::folderOf(path);
    }
    if (const auto selection = pelorin::settingsPortItemSelection(items, doc.comPort)) {
        if (*selection >= items.size()) __builtin_trap();
    }

    // The operator-logo dialog opens with the stored codes: its lists must
    // stay within the tables and its selections within its lists.
    pelorin::NetworkChoice choice(doc);
    choice.countryCode = doc.lastCountry;
    choice.operatorCode = doc.lastCode;
    choice.open();
    if (choice.countrySelection() && *choice.countrySelection() >= choice.countryCount()) __builtin_trap();
    if (choice.operatorSelection() && *choice.operatorSelection() >= choice.operators().size()) __builtin_trap();
    (void)pelorin::checkNetworkCodes(doc.lastCountry, doc.lastCode);

    // The send dialogs read the stored number as typed: what they accept is
    // one the address field carries.
    const pelorin::NormalizedNumber normalized = pelorin::NormalizeNumber(doc.lastNumber);
    if (normalized.ok() != pelorin::IsDialableNumber(normalized.number)) __builtin_trap();

    pelorin::SendJob job;
    job.Number = doc.lastNumber;
    job.CountryCode = doc.lastCountry;
    job.OperatorCode = doc.lastCode;
    job.DeliveryReport = doc.lastReport != 0;
    job.Text = texts[5];
    job.Document = &doc;
    for (int kind = 1; kind <= 5; ++kind) {
        job.Kind = static_cast<pelorin::SendJobKind>(kind);
        // Every character of the number takes one octet position, so the
        // text stays two characters an octet and the AT+CMGS count matches.
        for (const auto& part : pelorin::BuildSendParts(job)) {
            if (part.pdu.size() % 2 != 0 || part.length != static_cast<int>(part.pdu.size() / 2) - 1) __builtin_trap();
        }
    }
    return 0;
}
