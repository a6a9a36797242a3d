// pelorin-phone as an SMS centre, driven over TCP with SMPP PDUs put
// together here octet by octet.

#include "phone/smpp_centre.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "pdu_builder.h"
#include "phone/submit_pdu.h"
#include "support/loopback.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

using testing::Octets;
using testing::operator+;

Octets be32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Octets cText(const std::string& text) {
    Octets octets(text.begin(), text.end());
    octets.push_back(0);
    return octets;
}

Octets smpp(std::uint32_t id, std::uint32_t sequence, const Octets& body) {
    return be32(static_cast<std::uint32_t>(16 + body.size())) + be32(id) + be32(0) + be32(sequence) + body;
}

Octets bind(std::uint32_t id, const std::string& systemId, const std::string& password) {
    return smpp(id, 1, cText(systemId) + cText(password) + Octets{0, 0x34, 0, 0, 0});
}

// A group graphic to destination with a 72 x 14 picture: a diagonal.
Octets groupGraphicUserData() {
    return Octets{0x06} + testing::portHeader(0x1583) + Octets{0x30} +
           testing::otaBitmap(72, 14, testing::packBits(72, 14, [](unsigned x, unsigned y) { return x == y; }));
}

Octets submit(std::uint32_t sequence, std::uint8_t destinationTon, const std::string& destination,
              std::uint8_t registered, const Octets& userData) {
    return smpp(4, sequence,
                Octets{0, 0, 0, 0, destinationTon, 1} + cText(destination) + Octets{0x40, 0, 0, 0} +
                    cText("000001000000000R") +
                    Octets{registered, 0, 0xF5, 0, static_cast<std::uint8_t>(userData.size())} + userData);
}

std::uint32_t field(const Octets& pdu, std::size_t at) {
    return pdu.size() < at + 4 ? 0xFFFFFFFF
                               : (std::uint32_t{pdu[at]} << 24) | (std::uint32_t{pdu[at + 1]} << 16) |
                                     (std::uint32_t{pdu[at + 2]} << 8) | pdu[at + 3];
}
std::uint32_t commandId(const Octets& pdu) { return field(pdu, 4); }
std::uint32_t status(const Octets& pdu) { return field(pdu, 8); }
std::string bodyText(const Octets& pdu) {
    return pdu.size() > 16 ? std::string(pdu.begin() + 16, pdu.end() - 1) : std::string();
}

class Centre {
public:
    explicit Centre(std::vector<std::string> faults) : port_(pelorin::testing::freeLoopbackPort()) {
        std::vector<std::string> arguments{
            "--quiet", "--store", store_.path().string(), "--smpp", std::to_string(port_), "--smpp-account", "camp:pw"};
        arguments.insert(arguments.end(), faults.begin(), faults.end());
        phone_ = std::make_unique<pelorin::testing::PhoneProcess>(PELORIN_PHONE_PATH, arguments);
    }
    int connect() const { return pelorin::testing::connectLoopback(port_); }
    std::filesystem::path store() const { return store_.path(); }
    bool started() const { return phone_->started(); }

private:
    pelorin::testing::TemporaryFolder store_{"smpp-store"};
    std::uint16_t port_;
    std::unique_ptr<pelorin::testing::PhoneProcess> phone_;
};

// A bound transmitter or transceiver session; closes at the end.
struct Session {
    explicit Session(const Centre& centre, std::uint32_t bindId = 2) : fd(centre.connect()) {
        pelorin::testing::sendAll(fd, bind(bindId, "camp", "pw"));
        answer = pelorin::testing::readSmppPdu(fd, 5000);
    }
    ~Session() { ::close(fd); }
    Octets ask(const Octets& pdu) {
        pelorin::testing::sendAll(fd, pdu);
        return pelorin::testing::readSmppPdu(fd, 5000);
    }
    int fd;
    Octets answer;
};

TEST(SmppCentreTest, SubmitDecodesAsThePduWould) {
    CentreSubmit submit;
    submit.destinationTon = 1;
    submit.destination = "4917*#";
    submit.esmClass = 0x40;
    submit.registeredDelivery = 1;
    submit.dataCoding = 0xF5;
    submit.shortMessage = groupGraphicUserData();
    const auto tpdu = submitTpdu(submit);
    ASSERT_TRUE(tpdu);
    EXPECT_EQ(Octets(tpdu->begin(), tpdu->begin() + 11),
              (Octets{0x71, 0x00, 0x06, 0x91, 0x94, 0x71, 0xBA, 0x00, 0xF5, 0xA7, 138}));
    const auto message = decodeSubmit(tpdu.value());
    ASSERT_TRUE(message) << message.error();
    EXPECT_EQ(message->number, "+4917*#");
    EXPECT_EQ(message->destinationPort, 0x1583);
    EXPECT_TRUE(message->statusReportRequested());
    EXPECT_EQ(message->userData, submit.shortMessage);

    submit.destination = "49a";
    EXPECT_FALSE(submitTpdu(submit));
    const Octets body = Octets{0, 0, 0} + cText("") + Octets{1, 1} + cText("4917") +
                        Octets{0x40, 0, 0, 0, 0, 0, 0, 0xF5, 0, 3, 1, 2, 3};
    ASSERT_TRUE(readCentreSubmit(body));
    for (std::size_t size = 0; size < body.size(); ++size) EXPECT_FALSE(readCentreSubmit(std::span(body).first(size)));
}

// The default alphabet comes one character an octet; the PDU carries the
// characters packed seven bits each behind the header (after fill bits to
// the next septet) and counts septets.
TEST(SmppCentreTest, DefaultAlphabetIsPackedBehindItsHeader) {
    struct Case {
        std::uint8_t esmClass, dataCoding;
        Octets shortMessage, userData;  // userData from its TP-UDL on
    };
    const std::vector<Case> cases = {
        // "Hi" behind a 6-octet header: 7 septets for the header, 2 characters.
        {0x40,
         0x00,
         {0x05, 0x00, 0x03, 0x01, 0x02, 0x01, 'H', 'i'},
         {9, 0x05, 0x00, 0x03, 0x01, 0x02, 0x01, 0x90, 0x69}},
        // No header: "Hi" packed from the first bit.
        {0x00, 0x00, {'H', 'i'}, {2, 0xC8, 0x34}},
        // The F0 group is the default alphabet too; 8-bit data goes as it comes.
        {0x00, 0xF1, {'H', 'i'}, {2, 0xC8, 0x34}},
        {0x40, 0xF5, {0x02, 0x70, 0x00, 'H', 'i'}, {5, 0x02, 0x70, 0x00, 'H', 'i'}},
    };
    for (const Case& test : cases) {
        CentreSubmit submit;
        submit.destination = "4917";
        submit.esmClass = test.esmClass;
        submit.dataCoding = test.dataCoding;
        submit.shortMessage = test.shortMessage;
        const auto tpdu = submitTpdu(submit);
        ASSERT_TRUE(tpdu);
        // First octet, reference, 2 of address, 2 digits, PID, DCS, validity.
        EXPECT_EQ(Octets(tpdu->begin() + 9, tpdu->end()), test.userData) << int(test.dataCoding);
    }
}

TEST(SmppCentreTest, BindsOnlyTheAccountAndStoresWhatIsSubmitted) {
    Centre centre({});
    ASSERT_TRUE(centre.started());
    {
        const int fd = centre.connect();
        pelorin::testing::sendAll(fd, bind(2, "camp", "wrong"));
        const Octets answer = pelorin::testing::readSmppPdu(fd, 5000);
        EXPECT_EQ(commandId(answer), 0x80000002u);
        EXPECT_EQ(status(answer), 0x0Eu);  // ESME_RINVPASWD
        pelorin::testing::sendAll(fd, bind(2, "other", "pw"));
        EXPECT_EQ(status(pelorin::testing::readSmppPdu(fd, 5000)), 0x0Fu);  // ESME_RINVSYSID
        ::close(fd);
    }
    Session session(centre);
    EXPECT_EQ(commandId(session.answer), 0x80000002u);
    EXPECT_EQ(status(session.answer), 0u);
    const Octets first = session.ask(submit(2, 1, "4917", 0, groupGraphicUserData()));
    const Octets second = session.ask(submit(3, 0, "0170", 0, groupGraphicUserData()));
    EXPECT_EQ(commandId(first), 0x80000004u);
    EXPECT_EQ(status(first), 0u);
    EXPECT_NE(bodyText(first), bodyText(second));  // unique message ids
    EXPECT_EQ(commandId(session.ask(smpp(0x15, 4, {}))), 0x80000015u);

    const auto log = pelorin::testing::readPhoneLog(centre.store());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].at("kind"), "group-graphic");
    EXPECT_EQ(log[0].at("number"), "+4917");
    EXPECT_EQ(log[1].at("number"), "0170");
    EXPECT_EQ(pelorin::testing::readPhonePicture(centre.store(), log[0].at("file"))[3],
              std::string(3, '.') + "#" + std::string(68, '.'));
}

TEST(SmppCentreTest, FaultSwitches) {
    Centre centre({"--smpp-throttle-every", "3", "--smpp-drop-after", "5", "--smpp-fail", "666=ESME_RINVDSTADR",
                   "--smpp-fail", "667=0x45", "--smpp-receipt-delay", "300"});
    ASSERT_TRUE(centre.started());
    {
        Session session(centre);
        EXPECT_EQ(status(session.ask(submit(2, 0, "1", 0, groupGraphicUserData()))), 0u);
        EXPECT_EQ(status(session.ask(submit(3, 0, "666", 0, groupGraphicUserData()))), 0x0Bu);
        EXPECT_EQ(status(session.ask(submit(4, 0, "2", 0, groupGraphicUserData()))), 0x58u);  // the third
        EXPECT_EQ(status(session.ask(submit(5, 0, "667", 0, groupGraphicUserData()))), 0x45u);
        // The fifth submit of the connection: no answer, the line closed.
        pelorin::testing::sendAll(session.fd, submit(6, 0, "3", 0, groupGraphicUserData()));
        EXPECT_TRUE(pelorin::testing::readSmppPdu(session.fd, 5000).empty());
    }
    {
        // A transceiver asking for a report gets its receipt after the delay.
        Session session(centre, 9);
        EXPECT_EQ(commandId(session.answer), 0x80000009u);
        const auto sent = std::chrono::steady_clock::now();
        const Octets accepted = session.ask(submit(2, 1, "4", 1, groupGraphicUserData()));
        ASSERT_EQ(status(accepted), 0u);
        const Octets receipt = pelorin::testing::readSmppPdu(session.fd, 5000);
        EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
        ASSERT_EQ(commandId(receipt), 0x00000005u);
        const std::string text(receipt.begin(), receipt.end());
        EXPECT_NE(text.find("id:" + bodyText(accepted) + " "), std::string::npos);
        EXPECT_NE(text.find("stat:DELIVRD"), std::string::npos);
    }
    const auto log = pelorin::testing::readPhoneLog(centre.store());
    ASSERT_EQ(log.size(), 2u);  // "1" and "4": nothing refused, throttled or dropped was stored
    EXPECT_EQ(log[0].at("number"), "1");
    EXPECT_EQ(log[1].at("number"), "+4");
    EXPECT_EQ(log[1].at("report"), "1");
}

TEST(SmppCentreTest, OptionsAreChecked) {
    EXPECT_FALSE(parseCommandStatus("ESME_RNOSUCH"));
    EXPECT_EQ(parseCommandStatus("ESME_RTHROTTLED").value(), 0x58u);
    EXPECT_EQ(parseCommandStatus("11").value(), 11u);
    EXPECT_FALSE(parseCommandStatus("0"));
}

}  // namespace
}  // namespace pelorin::phone
