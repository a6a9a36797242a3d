// The operator-logo dialog's network choice without windows: which country and
// operator are selected and what the two code fields hold after each step.

#include "data/network_choice.h"

#include <gtest/gtest.h>

#include <utility>

#include "document/document.h"

namespace pelorin {
namespace {

std::vector<std::string> names(const NetworkChoice& choice) {
    std::vector<std::string> out;
    for (const auto& entry : choice.operators()) out.push_back(entry.name);
    return out;
}

TEST(NetworkChoiceTest, OpeningKeepsTheRememberedOperatorCodeEvenWhenNoOperatorHasIt) {
    const CPelorinDoc doc;
    NetworkChoice choice(doc);
    choice.countryCode = "262";
    choice.operatorCode = "99";
    choice.open();
    ASSERT_TRUE(choice.countrySelection());
    EXPECT_EQ(choice.countryName(*choice.countrySelection()), "Germany");
    EXPECT_EQ(names(choice), (std::vector<std::string>{"D1 DeTe Mobil", "D2 Mannesmann Mobilfunk", "E-Plus Mobilfunk",
                                                       "Viag Interkom"}));
    EXPECT_FALSE(choice.operatorSelection());
    EXPECT_EQ(choice.operatorCode, "99");

    choice.operatorCode = "03";
    choice.syncFromOperatorCode();
    EXPECT_EQ(choice.operatorSelection(), 2u);
}

TEST(NetworkChoiceTest, SharedCountryCodesFindTheFirstCountryAndScanBothBlocks) {
    const CPelorinDoc doc;
    NetworkChoice choice(doc);
    choice.countryCode = "634";
    choice.operatorCode = "77";
    choice.syncFromCountryCode();
    EXPECT_EQ(choice.countryName(*choice.countrySelection()), "Mozambique");
    EXPECT_EQ(names(choice), (std::vector<std::string>{"Telecom de Mocambique", "Mobile Telephone Company"}));
    EXPECT_EQ(choice.operatorSelection(), 0u);
    EXPECT_EQ(choice.operatorCode, "01");

    // Picking the second country with the same code keeps it selected.
    std::size_t sudan = 0;
    while (choice.countryName(sudan) != "Sudan") ++sudan;
    choice.onCountryPicked(sudan);
    EXPECT_EQ(choice.countrySelection(), sudan);
    EXPECT_EQ(choice.countryCode, "634");
    choice.operatorCode = "01";
    choice.syncFromOperatorCode();
    EXPECT_EQ(choice.operatorSelection(), 0u);

    // A shorter code forgets the country and its operators, not the operator code.
    choice.countryCode = "63";
    choice.syncFromCountryCode();
    EXPECT_FALSE(choice.countrySelection());
    EXPECT_TRUE(choice.operators().empty());
    EXPECT_EQ(choice.operatorCode, "01");
}

TEST(NetworkChoiceTest, CodesMustBeThreeAndTwoDigits) {
    EXPECT_FALSE(checkNetworkCodes("262", "02"));
    EXPECT_FALSE(checkNetworkCodes("000", "00"));
    // Letters, and characters of several bytes, are refused like a wrong length.
    const std::pair<const char*, const char*> countryFaults[] = {
        {"abc", "02"}, {"26x", "02"}, {"\xC3\xA4\xC3\xB6\xC3\xBC", "02"}, {" 262", "02"}, {"2620", "02"}};
    for (const auto& [country, code] : countryFaults)
        EXPECT_EQ(checkNetworkCodes(country, code)->field, NetworkCodeProblem::Field::CountryCode) << country;
    for (const char* code : {"xy", "0x",
                             "\xE2\x82\xAC"
                             "1",
                             "002"})
        EXPECT_EQ(checkNetworkCodes("262", code)->field, NetworkCodeProblem::Field::OperatorCode) << code;
    const auto country = checkNetworkCodes("26", "2");
    ASSERT_TRUE(country);
    EXPECT_EQ(country->field, NetworkCodeProblem::Field::CountryCode);
    EXPECT_EQ(country->message, "Please type 3-digits number in Country code");
    const auto operatorCode = checkNetworkCodes("262", "\xC3\xA4\xC3\xA4\xC3\xA4");
    ASSERT_TRUE(operatorCode);
    EXPECT_EQ(operatorCode->field, NetworkCodeProblem::Field::OperatorCode);
    EXPECT_EQ(operatorCode->message, "Please type 2-digits number in Operator code");
}

TEST(NetworkChoiceTest, MncPacksFirstCharacterIntoTheLowestByte) {
    EXPECT_EQ(packMnc("02"), 0x3230u);
    EXPECT_EQ(packMnc("91"), 0x3139u);
    EXPECT_EQ(packMnc("7"), 0x37u);
    EXPECT_EQ(packMnc(""), 0u);
    EXPECT_EQ(packMnc("123"), 0u);
}

}  // namespace
}  // namespace pelorin
