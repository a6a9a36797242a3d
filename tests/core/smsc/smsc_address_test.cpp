#include "smsc/smsc_address.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "support/temp_folder.h"

namespace pelorin::smsc {
namespace {

TEST(SmscAddressTest, AcceptedAddresses) {
    struct Case {
        const char* url;
        const char* systemId;
        const char* host;
        std::uint16_t port;
        const char* systemType;
        const char* source;
    };
    for (const Case& c :
         {Case{"smpp://esme@127.0.0.1", "esme", "127.0.0.1", 2775, "", ""},
          Case{"smpp://camp@msc.local:2776", "camp", "msc.local", 2776, "", ""},
          Case{"smpp://a@[::1]:9000?source=+4917", "a", "::1", 9000, "", "+4917"},
          Case{"smpp://fifteenchars123@h?system-type=VMA&source=Logo", "fifteenchars123", "h", 2775, "VMA", "Logo"}}) {
        std::string error;
        const auto address = parseSmscAddress(c.url, error);
        ASSERT_TRUE(address) << c.url << ": " << error;
        EXPECT_EQ(address->systemId, c.systemId);
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->systemType, c.systemType);
        EXPECT_EQ(address->source, c.source);
    }
}

TEST(SmscAddressTest, RefusedAddressesSayWhy) {
    struct Case {
        const char* url;
        const char* error;
    };
    for (const Case& c : {
             Case{"http://esme@h", "the SMS centre address must be smpp://SYSTEM_ID@HOST[:PORT]"},
             Case{"smpp://h", "the SMS centre address needs the system id: smpp://SYSTEM_ID@HOST[:PORT]"},
             Case{"smpp://esme:secret@h",
                  "the SMS centre address must not hold the password (other users can read a command line); give "
                  "it in PELORIN_SMSC_PASSWORD or --password-file FILE"},
             Case{"smpp://esme@", "the SMS centre address needs a host: smpp://SYSTEM_ID@HOST[:PORT]"},
             Case{"smpp://esme@h:0", "the SMS centre port must be a number from 1 to 65535"},
             Case{"smpp://esme@h:65536", "the SMS centre port must be a number from 1 to 65535"},
             Case{"smpp://esme@h:2x", "the SMS centre port must be a number from 1 to 65535"},
             Case{"smpp://sixteencharacters@h",
                  "the system id \"sixteencharacters\" has 17 characters; SMPP 3.4 allows at most 15"},
             Case{"smpp://e@h?system-type=thirteenchars",
                  "the system type \"thirteenchars\" has 13 characters; SMPP 3.4 allows at most 12"},
             Case{"smpp://e@h?from=1",
                  "the SMS centre address has an unknown setting \"from\" (system-type and "
                  "source are known)"},
         }) {
        std::string error;
        EXPECT_FALSE(parseSmscAddress(c.url, error)) << c.url;
        EXPECT_EQ(error, c.error) << c.url;
    }
}

TEST(SmscAddressTest, PasswordFromEnvironmentOrFileAtMostEightCharacters) {
    testing::TemporaryFolder folder("smsc-password");
    const std::string file = (folder.path() / "password").string();
    std::ofstream(file) << "filepw\nsecond line\n";
    ::setenv("PELORIN_SMSC_PASSWORD", "envpw", 1);
    std::string error;
    EXPECT_EQ(readSmscPassword("", error), "envpw");
    EXPECT_EQ(readSmscPassword(file, error), "filepw");
    ::setenv("PELORIN_SMSC_PASSWORD", "ninechars", 1);
    EXPECT_EQ(readSmscPassword("", error), std::nullopt);
    EXPECT_EQ(error,
              "the SMS centre password has 9 characters; SMPP 3.4 allows at most 8 (a longer one is dropped by some "
              "centres without an answer)");
    ::unsetenv("PELORIN_SMSC_PASSWORD");
    EXPECT_EQ(readSmscPassword("", error), "");
    EXPECT_EQ(readSmscPassword((folder.path() / "missing").string(), error), std::nullopt);
}

}  // namespace
}  // namespace pelorin::smsc
