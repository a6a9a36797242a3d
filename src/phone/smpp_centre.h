#pragma once

// The simulated phone as an SMS centre: an SMPP 3.4 server on TCP that takes
// binds from one account, turns each submit_sm into the SMS-SUBMIT it stands
// for and hands it to the same decoding and store as a PDU typed at the
// modem. Its own reading of SMPP, written from the protocol's layout.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "phone/result.h"
#include "phone/submit_pdu.h"

namespace pelorin::phone {

struct CentreOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 2775;
    std::string systemId;
    std::string password;
    unsigned throttleEvery = 0;                    // every Nth submit answered ESME_RTHROTTLED
    unsigned dropAfter = 0;                        // close a connection after its Nth submit, unanswered
    std::map<std::string, std::uint32_t> failFor;  // destination (as sent) -> status
    std::chrono::milliseconds receiptDelay{0};
};

// "ESME_RINVDSTADR", "0x0B" or "11" as a command status.
Result<std::uint32_t> parseCommandStatus(const std::string& text);

// What a submit_sm body holds, field by field; refused when a field runs
// past the body.
struct CentreSubmit {
    std::uint8_t sourceTon = 0, sourceNpi = 0;
    std::string source;
    std::uint8_t destinationTon = 0, destinationNpi = 0;
    std::string destination;
    std::uint8_t esmClass = 0;
    std::uint8_t protocolId = 0;
    std::string validity;
    std::uint8_t registeredDelivery = 0;
    std::uint8_t dataCoding = 0;
    std::vector<std::uint8_t> shortMessage;
};
Result<CentreSubmit> readCentreSubmit(std::span<const std::uint8_t> body);

// The submit's user data as a PDU carries it, with its length (TP-UDL) in
// length: the default alphabet packed seven bits a character behind the
// header, other codings as they come.
std::vector<std::uint8_t> airUserData(const CentreSubmit& submit, std::size_t& length);

// The SMS-SUBMIT TPDU a submit stands for: user data header flag from
// esm_class, status report from registered_delivery, relative validity of 24
// hours, the destination with its type of number.
Result<std::vector<std::uint8_t>> submitTpdu(const CentreSubmit& submit);

class SmppCentre {
public:
    // Called on the centre's thread for each part; false when the store failed.
    using Deliver = std::function<bool(const SubmitMessage&)>;

    explicit SmppCentre(CentreOptions options);
    ~SmppCentre();
    SmppCentre(const SmppCentre&) = delete;
    SmppCentre& operator=(const SmppCentre&) = delete;

    // Listens and starts serving on its own thread.
    Result<std::uint16_t> start(Deliver deliver);
    void stop();

private:
    void serve();

    CentreOptions options_;
    Deliver deliver_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace pelorin::phone
