// Feeds arbitrary bytes to every reader of what an SMS centre or an SMPP
// client sends: as a stream of PDUs (headers whose command_length lies,
// bodies shorter than their fields) to the core's readers, each deliver_sm's
// text to the receipt reader; the same bodies to the simulated centre's
// submit_sm reader and on to its SMS-SUBMIT decoder; and the whole input as
// a send journal and as an SMS-centre address.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "phone/smpp_centre.h"
#include "phone/submit_pdu.h"
#include "smsc/send_journal.h"
#include "smsc/smpp_pdu.h"
#include "smsc/smsc_address.h"
#include "smsc/smsc_send_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin;
    std::span<const std::uint8_t> rest(data, size);
    while (const auto header = smsc::readHeader(rest)) {
        if (header->length > rest.size()) break;
        const auto body = rest.subspan(smsc::kHeaderSize, header->length - smsc::kHeaderSize);
        (void)smsc::readRespId(body);
        if (const auto deliver = smsc::readDeliverSm(body)) {
            const auto receipt =
                smsc::readReceiptText(std::string(deliver->shortMessage.begin(), deliver->shortMessage.end()));
            (void)smsc::receiptWord(deliver->messageState, receipt ? receipt->stat : "");
        }
        if (const auto submit = phone::readCentreSubmit(body)) {
            if (const auto tpdu = phone::submitTpdu(submit.value())) (void)phone::decodeSubmit(tpdu.value());
        }
        (void)smsc::statusText(header->status);
        rest = rest.subspan(header->length);
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)smsc::readReceiptText(text);
    std::string error;
    (void)smsc::readJournal(text, "job", error);
    (void)smsc::readJournal("pelorin-journal 1 job\n" + text, "job", error);
    (void)smsc::parseSmscAddress(text, error);
    // The editor's stored centre address, as either kind.
    (void)smsc::parseSmscRoute(text, error);
    (void)smsc::parseSmscRoute("kannel://" + text, error);
    (void)smsc::parseSmscRoute("smpp://" + text, error);
    return 0;
}
