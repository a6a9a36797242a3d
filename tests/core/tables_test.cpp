#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/country_table.h"
#include "data/operator_table.h"
#include "data/table_bytes.h"
#include "data/table_reader.h"
#include "document/document.h"
#include "support/sha256.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<std::string> linesOf(std::string_view table) {
    std::vector<std::string> lines;
    scanTableLines(bytesOf(table), [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> namesOf(const std::vector<OperatorEntry>& operators) {
    std::vector<std::string> names;
    for (const auto& entry : operators) names.push_back(entry.name);
    return names;
}

std::vector<std::string> mncsOf(const std::vector<OperatorEntry>& operators) {
    std::vector<std::string> mncs;
    for (const auto& entry : operators) mncs.push_back(entry.mnc);
    return mncs;
}

TEST(BuiltInTablesTest, BytesAreExact) {
    ASSERT_EQ(countryTableBytes().size(), 1521u);
    ASSERT_EQ(operatorTableBytes().size(), 5753u);
    EXPECT_EQ(testing::sha256Hex(countryTableBytes()),
              "41aedf66741d431d3398df999b948926ffb1922bfffca8bcb545c6bae51affd0");
    EXPECT_EQ(testing::sha256Hex(operatorTableBytes()),
              "a2821e89da8f4722a6e5b40451e142951ba20ef58aaba6c49d5cfada8d95ab71");
}

TEST(BuiltInTablesTest, DocumentLoadsAllCountriesInTableOrder) {
    CPelorinDoc doc;
    ASSERT_EQ(doc.countryCodes.size(), 116u);
    ASSERT_EQ(doc.countryNames.size(), 116u);
    EXPECT_EQ(doc.countryCodes.front(), "276");
    EXPECT_EQ(doc.countryNames.front(), "Albania");
    EXPECT_EQ(doc.countryCodes.back(), "648");
    EXPECT_EQ(doc.countryNames.back(), "Zimbabwe");
    EXPECT_EQ(doc.countryNames[20], "Cote d'Ivoire");
    EXPECT_EQ(doc.operatorTable.data(), operatorTableBytes().data());  // a reference, not a copy
    EXPECT_EQ(doc.operatorTable.size(), kOperatorTableSize);
}

TEST(BuiltInTablesTest, OperatorScanCoversEveryBlockOfACode) {
    const auto table = operatorTableBytes();
    EXPECT_THAT(mncsOf(scanOperators(table, "404")),
                ElementsAre("07", "10", "11", "12", "14", "15", "20", "21", "27", "30", "31", "40", "41", "42"));
    EXPECT_EQ(scanOperators(table, "404")[1].name, "Bharti Cellular Telecom Airtel");

    const auto usa = scanOperators(table, "310");
    ASSERT_EQ(usa.size(), 10u);
    EXPECT_EQ(usa[0], (OperatorEntry{"Pacific Mobile Comms", "01"}));
    EXPECT_EQ(usa[1], (OperatorEntry{"APC Sprint Spectrum", "02"}));
    EXPECT_EQ(usa[9], (OperatorEntry{"Iowa Wireless Services", "77"}));

    EXPECT_THAT(scanOperators(table, "634"), ElementsAre(OperatorEntry{"Telecom de Mocambique", "01"},
                                                         OperatorEntry{"Mobile Telephone Company", "01"}));
    EXPECT_THAT(namesOf(scanOperators(table, "262")),
                ElementsAre("D1 DeTe Mobil", "D2 Mannesmann Mobilfunk", "E-Plus Mobilfunk", "Viag Interkom"));
    EXPECT_THAT(namesOf(scanOperators(table, "294")), ElementsAre("Macedonian Tel. MobiMak "));
    EXPECT_THAT(namesOf(scanOperators(table, "648")), ElementsAre("NET*ONE", "Telecel"));

    EXPECT_TRUE(scanOperators(table, "000").empty());
    EXPECT_TRUE(scanOperators(table, "31").empty());
    EXPECT_TRUE(scanOperators(table, "3100").empty());
    EXPECT_TRUE(scanOperators(table, "").empty());
}

TEST(BuiltInTablesTest, LookupsTakeTheFirstMatch) {
    CPelorinDoc doc;
    const auto png = findCountryByCode(doc.countryCodes, "310");
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(doc.countryNames[*png], "Papua New Guinea");
    const auto mozambique = findCountryByCode(doc.countryCodes, "634");
    ASSERT_TRUE(mozambique.has_value());
    EXPECT_EQ(doc.countryNames[*mozambique], "Mozambique");
    EXPECT_EQ(findCountryByCode(doc.countryCodes, "648"), 115u);
    EXPECT_FALSE(findCountryByCode(doc.countryCodes, "999").has_value());
    EXPECT_FALSE(findCountryByCode(doc.countryCodes, "31").has_value());
    EXPECT_FALSE(findCountryByCode(doc.countryCodes, "2760").has_value());

    const auto sudanAndMozambique = scanOperators(doc.operatorTable, "634");
    EXPECT_EQ(findOperatorByCode(sudanAndMozambique, "01"), 0u);
    const auto germany = scanOperators(doc.operatorTable, "262");
    EXPECT_EQ(findOperatorByCode(germany, "02"), 1u);
    EXPECT_FALSE(findOperatorByCode(germany, "99").has_value());
    EXPECT_FALSE(findOperatorByCode(germany, "0").has_value());
    EXPECT_FALSE(findOperatorByCode(germany, "020").has_value());
}

TEST(TableLineTest, LinesNeedTheirCrLfAndAnEmptyLineEndsTheScan) {
    EXPECT_THAT(linesOf("276Albania\r\n603Algeria\r\n"), ElementsAre("276Albania", "603Algeria"));
    // A last line without CR LF, or whose CR is the very last byte, is lost.
    EXPECT_THAT(linesOf("276Albania\r\n603Algeria"), ElementsAre("276Albania"));
    EXPECT_THAT(linesOf("276Albania\r\n603Algeria\r"), ElementsAre("276Albania"));
    // Only the one byte after the CR is dropped, whatever it is.
    EXPECT_THAT(linesOf("276Albania\rX603Algeria\r\n"), ElementsAre("276Albania", "603Algeria"));
    EXPECT_THAT(linesOf("276Albania\r\n\r\n603Algeria\r\n"), ElementsAre("276Albania"));
    EXPECT_THAT(linesOf("\r\n276Albania\r\n"), ElementsAre());
    EXPECT_THAT(linesOf(""), ElementsAre());
}

TEST(TableLineTest, ReaderReturnsEmptyOnceExhausted) {
    const std::string_view table = "276Albania\r\n";
    TableReader reader(bytesOf(table));
    EXPECT_EQ(readTableLine(reader), "276Albania");
    EXPECT_EQ(readTableLine(reader), "");
    EXPECT_EQ(readTableLine(reader), "");
}

TEST(TableLineTest, OverlongLineIsCutAndTheNextLineStillFollows) {
    const std::string longLine(3000, 'a');
    const std::string table = "276Albania\r\n" + longLine + "\r\n603Algeria\r\n";
    const auto lines = linesOf(table);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], std::string(kTableLineBufferSize - 1, 'a'));
    EXPECT_EQ(lines[2], "603Algeria");
}

TEST(TableLineTest, ShortLinesGiveShortFields) {
    std::vector<std::string> codes;
    std::vector<std::string> names;
    loadCountries(bytesOf("31\r\n310\r\n3\r\n"), codes, names);
    EXPECT_THAT(codes, ElementsAre("31", "310", "3"));
    EXPECT_THAT(names, ElementsAre("", "", ""));

    EXPECT_THAT(scanOperators(bytesOf("310\r\n3101\r\n31001\r\n31\r\n"), "310"),
                ElementsAre(OperatorEntry{"", ""}, OperatorEntry{"", "1"}, OperatorEntry{"", "01"}));
    EXPECT_THAT(scanOperators(bytesOf("31\r\n"), "31"), ElementsAre(OperatorEntry{"", ""}));
}

TEST(TableLineTest, BytesBeyondAsciiBecomeOneCharacterEach) {
    std::vector<std::string> codes;
    std::vector<std::string> names;
    loadCountries(bytesOf("\xE9\xE8X\xFCZ\r\n"), codes, names);
    EXPECT_THAT(codes, ElementsAre("\xC3\xA9\xC3\xA8X"));
    EXPECT_THAT(names, ElementsAre("\xC3\xBCZ"));
}

}  // namespace
}  // namespace pelorin
