#include "data/network_names.h"

#include <gtest/gtest.h>

#include "data/table_bytes.h"

namespace pelorin {
namespace {

NetworkNames look(const char* mcc, const char* mnc) {
    return lookUpNetwork(countryTableBytes(), operatorTableBytes(), mcc, mnc);
}

TEST(NetworkNamesTest, NamesComeFromTheBuiltInTables) {
    auto names = look("262", "02");
    EXPECT_EQ(names.country, "Germany");
    EXPECT_EQ(names.operatorName, "D2 Mannesmann Mobilfunk");

    // 310 is Papua New Guinea's code and the U.S.A.'s: the operator's block decides.
    names = look("310", "01");
    EXPECT_EQ(names.country, "Papua New Guinea");
    EXPECT_EQ(names.operatorName, "Pacific Mobile Comms");
    names = look("310", "26");
    EXPECT_EQ(names.country, "U.S.A.");
    EXPECT_EQ(names.operatorName, "Western Wireless Voicestream");
    names = look("634", "01");
    EXPECT_EQ(names.country, "Mozambique");
    EXPECT_EQ(names.operatorName, "Telecom de Mocambique");
    names = look("648", "03");  // the last row of both tables
    EXPECT_EQ(names.country, "Zimbabwe");
    EXPECT_EQ(names.operatorName, "Telecel");

    // A known country with an operator the table lacks, and nothing known.
    names = look("262", "99");
    EXPECT_EQ(names.country, "Germany");
    EXPECT_FALSE(names.operatorName);
    names = look("310", "260");
    EXPECT_EQ(names.country, "Papua New Guinea");
    EXPECT_FALSE(names.operatorName);
    names = look("999", "99");
    EXPECT_FALSE(names.country);
    EXPECT_FALSE(names.operatorName);
}

}  // namespace
}  // namespace pelorin
