#include "smsc/smpp_pdu.h"

#include <algorithm>
#include <cstdio>

namespace pelorin::smsc {

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putString(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void putAddress(std::vector<std::uint8_t>& out, const Address& address) {
    out.push_back(address.ton);
    out.push_back(address.npi);
    putString(out, address.digits);
}

// The header in front of body, with command_length filled in.
std::vector<std::uint8_t> withHeader(std::uint32_t id, std::uint32_t status, std::uint32_t sequence,
                                     const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + body.size());
    put32(out, static_cast<std::uint32_t>(kHeaderSize + body.size()));
    put32(out, id);
    put32(out, status);
    put32(out, sequence);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::uint32_t get32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Reads fields front to back; any read past the end marks it failed.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
    bool ok() const { return ok_; }
    std::size_t left() const { return data_.size() - at_; }

    std::uint8_t octet() {
        if (at_ >= data_.size()) return fail<std::uint8_t>();
        return data_[at_++];
    }
    std::uint16_t u16() {
        const std::uint16_t high = octet();
        return static_cast<std::uint16_t>((high << 8) | octet());
    }
    // A C-octet string of at most max characters before its zero.
    std::string cString(std::size_t max) {
        const std::size_t end = std::min(data_.size(), at_ + max + 1);
        for (std::size_t i = at_; i < end; ++i) {
            if (data_[i] == 0) {
                std::string text(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                                 data_.begin() + static_cast<std::ptrdiff_t>(i));
                at_ = i + 1;
                return text;
            }
        }
        return fail<std::string>();
    }
    std::span<const std::uint8_t> octets(std::size_t count) {
        if (count > left()) return fail<std::span<const std::uint8_t>>();
        auto part = data_.subspan(at_, count);
        at_ += count;
        return part;
    }

private:
    template <typename T>
    T fail() {
        ok_ = false;
        at_ = data_.size();
        return T{};
    }
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

struct StatusName {
    std::uint32_t status;
    const char* name;
    const char* meaning;
};

constexpr StatusName kStatusNames[] = {
    {0x00, "ESME_ROK", "no error"},
    {0x01, "ESME_RINVMSGLEN", "message length is invalid"},
    {0x02, "ESME_RINVCMDLEN", "command length is invalid"},
    {0x03, "ESME_RINVCMDID", "invalid command id"},
    {0x04, "ESME_RINVBNDSTS", "incorrect bind status for the command"},
    {0x05, "ESME_RALYBND", "already bound"},
    {0x06, "ESME_RINVPRTFLG", "invalid priority flag"},
    {0x07, "ESME_RINVREGDLVFLG", "invalid registered delivery flag"},
    {0x08, "ESME_RSYSERR", "system error"},
    {0x0A, "ESME_RINVSRCADR", "invalid source address"},
    {0x0B, "ESME_RINVDSTADR", "invalid destination address"},
    {0x0C, "ESME_RINVMSGID", "message id is invalid"},
    {0x0D, "ESME_RBINDFAIL", "bind failed"},
    {0x0E, "ESME_RINVPASWD", "invalid password"},
    {0x0F, "ESME_RINVSYSID", "invalid system id"},
    {0x11, "ESME_RCANCELFAIL", "cancel failed"},
    {0x13, "ESME_RREPLACEFAIL", "replace failed"},
    {0x14, "ESME_RMSGQFUL", "message queue full"},
    {0x15, "ESME_RINVSERTYP", "invalid service type"},
    {0x33, "ESME_RINVNUMDESTS", "invalid number of destinations"},
    {0x34, "ESME_RINVDLNAME", "invalid distribution list name"},
    {0x40, "ESME_RINVDESTFLAG", "destination flag is invalid"},
    {0x42, "ESME_RINVSUBREP", "invalid submit with replace request"},
    {0x43, "ESME_RINVESMCLASS", "invalid esm_class field data"},
    {0x44, "ESME_RCNTSUBDL", "cannot submit to distribution list"},
    {0x45, "ESME_RSUBMITFAIL", "submit failed"},
    {0x48, "ESME_RINVSRCTON", "invalid source address type of number"},
    {0x49, "ESME_RINVSRCNPI", "invalid source address numbering plan"},
    {0x50, "ESME_RINVDSTTON", "invalid destination address type of number"},
    {0x51, "ESME_RINVDSTNPI", "invalid destination address numbering plan"},
    {0x53, "ESME_RINVSYSTYP", "invalid system_type field"},
    {0x54, "ESME_RINVREPFLAG", "invalid replace_if_present flag"},
    {0x55, "ESME_RINVNUMMSGS", "invalid number of messages"},
    {0x58, "ESME_RTHROTTLED", "throttling error: the account's message limits are exceeded"},
    {0x61, "ESME_RINVSCHED", "invalid scheduled delivery time"},
    {0x62, "ESME_RINVEXPIRY", "invalid validity period"},
    {0x63, "ESME_RINVDFTMSGID", "predefined message invalid or not found"},
    {0x64, "ESME_RX_T_APPN", "receiver temporary application error"},
    {0x65, "ESME_RX_P_APPN", "receiver permanent application error"},
    {0x66, "ESME_RX_R_APPN", "receiver reject message error"},
    {0x67, "ESME_RQUERYFAIL", "query_sm request failed"},
    {0xC0, "ESME_RINVOPTPARSTREAM", "error in the optional part of the PDU body"},
    {0xC1, "ESME_ROPTPARNOTALLWD", "optional parameter not allowed"},
    {0xC2, "ESME_RINVPARLEN", "invalid parameter length"},
    {0xC3, "ESME_RMISSINGOPTPARAM", "expected optional parameter missing"},
    {0xC4, "ESME_RINVOPTPARAMVAL", "invalid optional parameter value"},
    {0xFE, "ESME_RDELIVERYFAILURE", "delivery failure"},
    {0xFF, "ESME_RUNKNOWNERR", "unknown error"},
};

}  // namespace

Address sourceAddress(std::string_view text) {
    if (text.empty()) return {};
    const bool plus = text.front() == '+';
    const std::string_view digits = plus ? text.substr(1) : text;
    const bool allDigits =
        !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (allDigits) return {static_cast<std::uint8_t>(plus ? 1 : 0), 1, std::string(digits)};
    return {5, 0, std::string(text)};
}

std::vector<std::uint8_t> encodeBind(const BindFields& bind, std::uint32_t sequence) {
    std::vector<std::uint8_t> body;
    putString(body, bind.systemId);
    putString(body, bind.password);
    putString(body, bind.systemType);
    body.push_back(0x34);  // interface version
    body.push_back(0);     // addr_ton
    body.push_back(0);     // addr_npi
    body.push_back(0);     // address_range: empty
    return withHeader(bind.transceiver ? command::kBindTransceiver : command::kBindTransmitter, 0, sequence, body);
}

std::vector<std::uint8_t> encodeSubmit(const SubmitFields& submit, std::uint32_t sequence) {
    std::vector<std::uint8_t> body;
    body.reserve(64 + submit.shortMessage.size());
    body.push_back(0);  // service_type: empty
    putAddress(body, submit.source);
    putAddress(body, submit.destination);
    body.push_back(0x40);  // esm_class: default mode, user data header indicator
    body.push_back(0);     // protocol_id
    body.push_back(0);     // priority_flag
    body.push_back(0);     // schedule_delivery_time: now
    putString(body, "000001000000000R");
    body.push_back(submit.registeredDelivery ? 1 : 0);
    body.push_back(0);  // replace_if_present_flag
    body.push_back(submit.dataCoding);
    body.push_back(0);  // sm_default_msg_id
    body.push_back(static_cast<std::uint8_t>(submit.shortMessage.size()));
    body.insert(body.end(), submit.shortMessage.begin(), submit.shortMessage.end());
    return withHeader(command::kSubmitSm, 0, sequence, body);
}

std::vector<std::uint8_t> encodeHeaderOnly(std::uint32_t id, std::uint32_t status, std::uint32_t sequence) {
    return withHeader(id, status, sequence, {});
}

std::vector<std::uint8_t> encodeDeliverSmResp(std::uint32_t sequence) {
    return withHeader(command::kDeliverSmResp, 0, sequence, {0});
}

std::optional<Header> readHeader(std::span<const std::uint8_t> data, std::string* why) {
    if (data.size() < kHeaderSize) {
        if (why) *why = "a PDU header needs 16 octets";
        return std::nullopt;
    }
    Header header{get32(data.data()), get32(data.data() + 4), get32(data.data() + 8), get32(data.data() + 12)};
    if (header.length < kHeaderSize || header.length > kMaxPduSize) {
        if (why) *why = "command_length " + std::to_string(header.length) + " is out of range";
        return std::nullopt;
    }
    return header;
}

std::optional<std::string> readRespId(std::span<const std::uint8_t> body) {
    if (body.empty()) return std::string();
    Reader reader(body);
    std::string id = reader.cString(64);
    if (!reader.ok()) return std::nullopt;
    return id;
}

std::optional<DeliverSm> readDeliverSm(std::span<const std::uint8_t> body, std::string* why) {
    Reader reader(body);
    DeliverSm deliver;
    reader.cString(5);  // service_type
    deliver.source.ton = reader.octet();
    deliver.source.npi = reader.octet();
    deliver.source.digits = reader.cString(kMaxAddress);
    deliver.destination.ton = reader.octet();
    deliver.destination.npi = reader.octet();
    deliver.destination.digits = reader.cString(kMaxAddress);
    deliver.esmClass = reader.octet();
    reader.octet();      // protocol_id
    reader.octet();      // priority_flag
    reader.cString(16);  // schedule_delivery_time
    reader.cString(16);  // validity_period
    reader.octet();      // registered_delivery
    reader.octet();      // replace_if_present_flag
    reader.octet();      // data_coding
    reader.octet();      // sm_default_msg_id
    const std::size_t length = reader.octet();
    const auto message = reader.octets(length);
    deliver.shortMessage.assign(message.begin(), message.end());
    if (!reader.ok()) {
        if (why) *why = "deliver_sm body is shorter than its fields";
        return std::nullopt;
    }
    while (reader.left() > 0) {
        const std::uint16_t tag = reader.u16();
        const std::uint16_t size = reader.u16();
        const auto value = reader.octets(size);
        if (!reader.ok()) {
            if (why) *why = "deliver_sm parameter runs past the PDU";
            return std::nullopt;
        }
        if (tag == 0x001E) {
            std::string id(value.begin(), value.end());
            if (const auto zero = id.find('\0'); zero != std::string::npos) id.resize(zero);
            deliver.receiptedMessageId = id;
        } else if (tag == 0x0427 && size == 1) {
            deliver.messageState = value[0];
        }
    }
    return deliver;
}

std::optional<ReceiptText> readReceiptText(std::string_view text) {
    auto field = [&](std::string_view key) -> std::optional<std::string> {
        std::size_t at = 0;
        while ((at = text.find(key, at)) != std::string_view::npos) {
            if (at == 0 || text[at - 1] == ' ') {
                const std::size_t start = at + key.size();
                const std::size_t end = text.find(' ', start);
                return std::string(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
            }
            at += key.size();
        }
        return std::nullopt;
    };
    auto id = field("id:");
    if (!id) return std::nullopt;
    return ReceiptText{*id, field("stat:").value_or("")};
}

std::string receiptWord(std::optional<std::uint8_t> state, std::string_view stat) {
    static constexpr std::pair<std::uint8_t, std::string_view> kStates[] = {
        {1, "ENROUTE"}, {2, "DELIVRD"}, {3, "EXPIRED"}, {4, "DELETED"},
        {5, "UNDELIV"}, {6, "ACCEPTD"}, {7, "UNKNOWN"}, {8, "REJECTD"}};
    static constexpr std::string_view kWords[] = {"enroute",       "delivered", "expired", "deleted",
                                                  "undeliverable", "accepted",  "unknown", "rejected"};
    for (std::size_t i = 0; i < std::size(kStates); ++i)
        if ((state && *state == kStates[i].first) || (!state && stat == kStates[i].second))
            return std::string(kWords[i]);
    return "unknown";
}

std::string statusText(std::uint32_t status) {
    for (const auto& entry : kStatusNames)
        if (entry.status == status) return std::string(entry.name) + ": " + entry.meaning;
    char text[32];
    std::snprintf(text, sizeof text, "status 0x%08X", static_cast<unsigned>(status));
    return text;
}

std::size_t airOctets(const std::vector<std::uint8_t>& shortMessage, std::uint8_t dataCoding) {
    if (dataCoding != 0x00 || shortMessage.empty()) return shortMessage.size();
    const std::size_t header = std::min<std::size_t>(shortMessage.size(), std::size_t{shortMessage[0]} + 1);
    const std::size_t septets = (header * 8 + 6) / 7 + shortMessage.size() - header;
    return (septets * 7 + 7) / 8;
}

}  // namespace pelorin::smsc
