#include "smsc/kannel_client.h"

#include <gtest/gtest.h>

namespace pelorin::smsc {
namespace {

TEST(KannelClientTest, Addresses) {
    struct Case {
        const char* url;
        const char* user;  // nullptr: refused, error names what
        const char* host;
        std::uint16_t port;
        const char* smsc;
        const char* from;
    };
    for (const Case& c : {
             Case{"kannel://pelorin@127.0.0.1", "pelorin", "127.0.0.1", 13013, "", ""},
             Case{"kannel://u@gw.local:14000?smsc=camp&from=Logos", "u", "gw.local", 14000, "camp", "Logos"},
             Case{"kannel://u@[::1]:80?from=+4917", "u", "[::1]", 80, "", "+4917"},
             Case{"kannel://u:secret@gw", nullptr, "password", 0, "", ""},
             Case{"kannel://gw", nullptr, "user", 0, "", ""},
             Case{"kannel://u@", nullptr, "host", 0, "", ""},
             Case{"kannel://u@gw:0", nullptr, "port", 0, "", ""},
             Case{"kannel://u@gw:65536", nullptr, "port", 0, "", ""},
             Case{"kannel://u@gw:80x", nullptr, "port", 0, "", ""},
             Case{"kannel://u@gw?dlr-url=x", nullptr, "dlr-url", 0, "", ""},
             Case{"smpp://u@gw", nullptr, "kannel://", 0, "", ""},
         }) {
        std::string error;
        const auto address = parseKannelAddress(c.url, error);
        if (c.user == nullptr) {
            EXPECT_FALSE(address) << c.url;
            EXPECT_NE(error.find(c.host), std::string::npos) << c.url << ": " << error;
            continue;
        }
        ASSERT_TRUE(address) << c.url << ": " << error;
        EXPECT_EQ(address->user, c.user);
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->smsc, c.smsc);
        EXPECT_EQ(address->from, c.from);
    }
}

TEST(KannelClientTest, SendsmsRequestCarriesEveryOctet) {
    KannelAddress address;
    address.user = "pe lorin";
    address.smsc = "camp";
    address.from = "+49 30";
    SubmitFields part;
    part.destination = {1, 1, "4917"};
    part.shortMessage = {0x06, 0x05, 0x04, 0x15, 0x82, 0x00, 0x00, 0x30, 0x41, 0xFF};
    EXPECT_EQ(sendsmsTarget(address, "p&w=", part),
              "/cgi-bin/sendsms?username=pe%20lorin&password=p%26w%3D&smsc=camp&from=%2B49%2030&to=%2B4917"
              "&udh=%06%05%04%15%82%00%00&text=%30%41%FF&coding=1&mclass=1&alt-dcs=1&validity=1440");

    // A national number, a report asked, no route or sender: dlr-mask, no smsc or from.
    part.destination = {0, 1, "0170"};
    part.registeredDelivery = true;
    part.shortMessage = {0x00};
    EXPECT_EQ(sendsmsTarget(KannelAddress{"u", "h", 13013, "", ""}, "", part),
              "/cgi-bin/sendsms?username=u&password=&to=0170&udh=%00&text=&coding=1&mclass=1&alt-dcs=1&validity=1440"
              "&dlr-mask=3");
}

// The data of each coding: 8-bit data (logos, ringtones, picture messages)
// as octets with class 1, an EMS picture's default-alphabet codes as UTF-8
// text, its UCS-2 text as octets; the header as octets every time.
TEST(KannelClientTest, SendsmsRequestForEachCoding) {
    const KannelAddress address{"u", "h", 13013, "", ""};
    constexpr const char* kFront = "/cgi-bin/sendsms?username=u&password=pw&to=%2B4917&udh=";
    struct Case {
        std::uint8_t dataCoding;
        std::vector<std::uint8_t> userData;
        bool report;
        const char* query;  // behind kFront
    };
    for (const Case& c : {
             // A ringtone's port header and data: as before, whatever the octets are.
             Case{0xF5,
                  {0x06, 0x05, 0x04, 0x15, 0x81, 0x00, 0x00, 0x02, 0x4A, 0x3A, 0x1B, 0x65},
                  false,
                  "%06%05%04%15%81%00%00&text=%02%4A%3A%1B%65&coding=1&mclass=1&alt-dcs=1&validity=1440"},
             // "H@_ ü€[" in GSM codes, escapes to the extension table included.
             Case{0x00,
                  {0x05, 0x11, 0x03, 0x00, 0x01, 0x80, 0x48, 0x00, 0x11, 0x20, 0x7E, 0x1B, 0x65, 0x1B, 0x3C},
                  false,
                  "%05%11%03%00%01%80&text=H%40_%20%C3%BC%E2%82%AC%5B&coding=0&charset=UTF-8&validity=1440"},
             // A header with no text behind it, the report asked.
             Case{0x00,
                  {0x03, 0x13, 0x01, 0x02},
                  true,
                  "%03%13%01%02&text=&coding=0&charset=UTF-8&validity=1440&dlr-mask=3"},
             // "Aé€" in UCS-2: the octets, not read as text.
             Case{0x08,
                  {0x05, 0x11, 0x03, 0x00, 0x01, 0x80, 0x00, 0x41, 0x00, 0xE9, 0x20, 0xAC},
                  true,
                  "%05%11%03%00%01%80&text=%00%41%00%E9%20%AC&coding=2&charset=UTF-16BE&validity=1440&dlr-mask=3"},
         }) {
        SubmitFields part;
        part.destination = {1, 1, "4917"};
        part.dataCoding = c.dataCoding;
        part.shortMessage = c.userData;
        part.registeredDelivery = c.report;
        EXPECT_EQ(sendsmsTarget(address, "pw", part), std::string(kFront) + c.query) << int{c.dataCoding};
    }
}

TEST(KannelClientTest, Replies) {
    struct Case {
        const char* body;
        bool accepted;
        bool queued;
        const char* text;
    };
    for (const Case& c : {
             Case{"0: Accepted for delivery", true, false, "0: Accepted for delivery"},
             Case{"0: Accepted for delivery\n", true, false, "0: Accepted for delivery"},
             Case{"3: Queued for later delivery", true, true, "3: Queued for later delivery"},
             Case{"Authorization failed for sendsms", false, false, "Authorization failed for sendsms"},
             Case{"Sender missing and no global set, rejected", false, false,
                  "Sender missing and no global set, rejected"},
             Case{"0: Accepted", false, false, "0: Accepted"},
             Case{"4: Accepted for delivery", false, false, "4: Accepted for delivery"},
             Case{"", false, false, "an empty answer"},
             Case{"bad\tbyte\x7f", false, false, "bad byte "},
         }) {
        const auto reply = readSendsmsReply(c.body);
        EXPECT_EQ(reply.accepted, c.accepted) << c.body;
        EXPECT_EQ(reply.queued, c.queued) << c.body;
        EXPECT_EQ(reply.text, c.text) << c.body;
    }
    EXPECT_EQ(readSendsmsReply(std::string(500, 'x')).text.size(), 200u);
}

}  // namespace
}  // namespace pelorin::smsc
