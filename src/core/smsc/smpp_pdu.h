#pragma once

// SMPP 3.4 protocol data units as octets: the ones an ESME sends, and
// readers for what an SMS centre sends back. Every reader checks each field
// against the octets present and never reads past them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::smsc {

namespace command {
inline constexpr std::uint32_t kGenericNack = 0x80000000;
inline constexpr std::uint32_t kBindTransmitter = 0x00000002;
inline constexpr std::uint32_t kBindTransmitterResp = 0x80000002;
inline constexpr std::uint32_t kBindTransceiver = 0x00000009;
inline constexpr std::uint32_t kBindTransceiverResp = 0x80000009;
inline constexpr std::uint32_t kSubmitSm = 0x00000004;
inline constexpr std::uint32_t kSubmitSmResp = 0x80000004;
inline constexpr std::uint32_t kDeliverSm = 0x00000005;
inline constexpr std::uint32_t kDeliverSmResp = 0x80000005;
inline constexpr std::uint32_t kUnbind = 0x00000006;
inline constexpr std::uint32_t kUnbindResp = 0x80000006;
inline constexpr std::uint32_t kEnquireLink = 0x00000015;
inline constexpr std::uint32_t kEnquireLinkResp = 0x80000015;
}  // namespace command

inline constexpr std::uint32_t kStatusOk = 0x00;
inline constexpr std::uint32_t kStatusMessageQueueFull = 0x14;
inline constexpr std::uint32_t kStatusThrottled = 0x58;

// Field sizes of SMPP 3.4, without the terminating zero.
inline constexpr std::size_t kMaxSystemId = 15;
inline constexpr std::size_t kMaxPassword = 8;
inline constexpr std::size_t kMaxSystemType = 12;
inline constexpr std::size_t kMaxAddress = 20;
inline constexpr std::size_t kMaxShortMessage = 140;
inline constexpr std::size_t kHeaderSize = 16;

// The octets a short message takes on the air once the centre has it: its
// own size, but for the default alphabet (data coding 0: the header's octets,
// then one character an octet) the header and the characters packed seven
// bits each behind it. At most kMaxShortMessage.
std::size_t airOctets(const std::vector<std::uint8_t>& shortMessage, std::uint8_t dataCoding);

// The largest PDU read from a centre; a longer command_length is refused.
inline constexpr std::uint32_t kMaxPduSize = 64 * 1024;

struct Header {
    std::uint32_t length = 0;
    std::uint32_t id = 0;
    std::uint32_t status = 0;
    std::uint32_t sequence = 0;
};

struct Address {
    std::uint8_t ton = 0;
    std::uint8_t npi = 0;
    std::string digits;
};

// An address with its type of number: "+digits" international (1/1),
// digits national (0/1), anything else alphanumeric (5/0). Empty stays 0/0.
Address sourceAddress(std::string_view text);

struct BindFields {
    bool transceiver = false;
    std::string systemId;
    std::string password;
    std::string systemType;
};

struct SubmitFields {
    Address source;
    Address destination;
    bool registeredDelivery = false;
    std::uint8_t dataCoding = 0xF5;
    std::vector<std::uint8_t> shortMessage;
};

std::vector<std::uint8_t> encodeBind(const BindFields& bind, std::uint32_t sequence);
// esm_class 0x40 (user data header), protocol_id 0, priority 0, delivery now,
// validity 24 hours relative ("000001000000000R"), registered_delivery 1 when
// asked, replace 0, sm_default_msg_id 0.
std::vector<std::uint8_t> encodeSubmit(const SubmitFields& submit, std::uint32_t sequence);
// A PDU with no body (enquire_link, unbind, their responses, generic_nack,
// deliver_sm_resp takes an empty message_id).
std::vector<std::uint8_t> encodeHeaderOnly(std::uint32_t id, std::uint32_t status, std::uint32_t sequence);
std::vector<std::uint8_t> encodeDeliverSmResp(std::uint32_t sequence);

// The header at the front of data, when 16 octets are there; command_length
// below 16 or above kMaxPduSize is refused (nothing returned, why set).
std::optional<Header> readHeader(std::span<const std::uint8_t> data, std::string* why = nullptr);

// The message_id of a submit_sm_resp or bind response body (system_id);
// nothing when the body holds no terminated string. An empty body (allowed
// with an error status) reads as "".
std::optional<std::string> readRespId(std::span<const std::uint8_t> body);

struct DeliverSm {
    Address source;
    Address destination;
    std::uint8_t esmClass = 0;
    std::vector<std::uint8_t> shortMessage;
    std::optional<std::string> receiptedMessageId;  // TLV 0x001E
    std::optional<std::uint8_t> messageState;       // TLV 0x0427
    bool isReceipt() const { return (esmClass & 0x3C) == 0x04; }
};

std::optional<DeliverSm> readDeliverSm(std::span<const std::uint8_t> body, std::string* why = nullptr);

struct ReceiptText {
    std::string id;
    std::string stat;  // DELIVRD, UNDELIV, EXPIRED, ...
};

// The "id:... sub:... dlvrd:... submit date:... done date:... stat:... err:..."
// text of a receipt; nothing without an id: field.
std::optional<ReceiptText> readReceiptText(std::string_view text);

// The receipt's state as one word for the output: delivered, undeliverable,
// expired, deleted, rejected, accepted, enroute, unknown.
std::string receiptWord(std::optional<std::uint8_t> state, std::string_view stat);

// "ESME_RINVDSTADR: invalid destination address"; an unlisted status as
// "status 0x000000NN".
std::string statusText(std::uint32_t status);

}  // namespace pelorin::smsc
