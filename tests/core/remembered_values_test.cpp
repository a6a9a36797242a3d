#include "settings/remembered_values.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data/country_table.h"
#include "document/document.h"
#include "settings/memory_settings_store.h"
#include "settings/port_choice.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;

// Keeps its values in memory and logs every access. A write also logs the
// document's remembered values as they stand at that moment, so a test can see
// which members were already updated when each value went out.
class RecordingStore : public SettingsStore {
public:
    std::vector<std::string> log;
    const CPelorinDoc* watched = nullptr;

    std::string readString(std::string_view section, std::string_view name, std::string_view defaultValue) override {
        log.push_back("read " + key(section, name));
        return values.readString(section, name, defaultValue);
    }
    std::int32_t readInt(std::string_view section, std::string_view name, std::int32_t defaultValue) override {
        log.push_back("read " + key(section, name));
        return values.readInt(section, name, defaultValue);
    }
    void writeString(std::string_view section, std::string_view name, std::string_view value) override {
        log.push_back("write " + key(section, name) + "=" + std::string(value) + snapshot());
        values.writeString(section, name, value);
    }
    void writeInt(std::string_view section, std::string_view name, std::int32_t value) override {
        log.push_back("write " + key(section, name) + "=" + std::to_string(value) + snapshot());
        values.writeInt(section, name, value);
    }

    MemorySettingsStore values;

private:
    static std::string key(std::string_view section, std::string_view name) {
        return std::string(section) + "/" + std::string(name);
    }
    std::string snapshot() const {
        if (watched == nullptr) return {};
        return " [" + watched->lastNumber + " " + watched->lastCountry + " " + watched->lastCode + " " +
               std::to_string(watched->lastReport) + " " + watched->comPort + "]";
    }
};

TEST(RememberedValuesTest, FirstRunGivesTheDefaultsReadInOrder) {
    RecordingStore store;
    const CPelorinDoc doc(store);
    EXPECT_THAT(store.log, ElementsAre("read Last/Number", "read Last/Country", "read Last/Code", "read Last/Report",
                                       "read Settings/COMport", "read Settings/FixedWaits"));
    EXPECT_TRUE(store.values.values().empty());  // reading writes nothing back

    const CPelorinDoc withoutStore;
    for (const CPelorinDoc* d : {&doc, &withoutStore}) {
        EXPECT_EQ(d->lastNumber, "+");
        EXPECT_EQ(d->lastCountry, "000");
        EXPECT_EQ(d->lastCode, "00");
        EXPECT_EQ(d->lastReport, 1);
        EXPECT_EQ(d->comPort, "COM3:");
        EXPECT_EQ(d->fixedWaits, 0);
        EXPECT_EQ(d->countryCodes.size(), 116u);
    }
    EXPECT_EQ(settingsPortSelection(doc.comPort), 2u);
}

TEST(RememberedValuesTest, StoredValuesAreReadBackAsTheyStand) {
    MemorySettingsStore store;
    store.writeString("Last", "Number", " +4917 ");
    store.writeString("Last", "Country", "262");
    store.writeString("Last", "Code", "");
    store.writeInt("Last", "Report", 0);
    store.writeString("Settings", "COMport", "");
    const CPelorinDoc doc(store);
    EXPECT_EQ(doc.lastNumber, " +4917 ");
    EXPECT_EQ(doc.lastCountry, "262");
    EXPECT_EQ(doc.lastCode, "");
    EXPECT_EQ(doc.lastReport, 0);
    EXPECT_EQ(doc.comPort, "");
    EXPECT_FALSE(settingsPortSelection(doc.comPort).has_value());
}

TEST(RememberedValuesTest, UnreadableReportFallsBackToItsDefault) {
    for (const char* text : {"", "yes", "1 ", "99999999999", "0x1"}) {
        MemorySettingsStore store;
        store.writeString("Last", "Report", text);
        EXPECT_EQ(CPelorinDoc(store).lastReport, 1) << text;
    }
    MemorySettingsStore store;
    store.writeString("Last", "Report", "-7");
    EXPECT_EQ(CPelorinDoc(store).lastReport, -7);
}

TEST(RememberedValuesTest, OperatorLogoSendWritesFourValuesEachAfterItsMember) {
    RecordingStore store;
    CPelorinDoc doc(store);
    store.log.clear();
    store.watched = &doc;

    rememberOperatorLogoSend(doc, store, "+491701234567", "262", "02", 0);
    EXPECT_THAT(store.log, ElementsAre("write Last/Number=+491701234567 [+491701234567 000 00 1 COM3:]",
                                       "write Last/Country=262 [+491701234567 262 00 1 COM3:]",
                                       "write Last/Code=02 [+491701234567 262 02 1 COM3:]",
                                       "write Last/Report=0 [+491701234567 262 02 0 COM3:]"));

    const CPelorinDoc nextRun(store.values);
    EXPECT_EQ(nextRun.lastNumber, "+491701234567");
    EXPECT_EQ(nextRun.lastCountry, "262");
    EXPECT_EQ(nextRun.lastCode, "02");
    EXPECT_EQ(nextRun.lastReport, 0);
}

TEST(RememberedValuesTest, OtherSendsWriteOnlyNumberAndReport) {
    RecordingStore store;
    CPelorinDoc doc(store);
    rememberOperatorLogoSend(doc, store, "+1", "310", "01", 1);
    store.log.clear();
    store.watched = &doc;

    rememberSend(doc, store, "+447700900123", 0);
    EXPECT_THAT(store.log, ElementsAre("write Last/Number=+447700900123 [+447700900123 310 01 1 COM3:]",
                                       "write Last/Report=0 [+447700900123 310 01 0 COM3:]"));
    EXPECT_EQ(store.values.find("Last", "Country"), "310");
    EXPECT_EQ(store.values.find("Last", "Code"), "01");
}

TEST(PortChoiceTest, FourthCharacterPicksTheListItem) {
    EXPECT_EQ(settingsPortSelection("COM1:"), 0u);
    EXPECT_EQ(settingsPortSelection("COM2:"), 1u);
    EXPECT_EQ(settingsPortSelection("COM3:"), 2u);
    EXPECT_EQ(settingsPortSelection("COM4:"), 3u);
    EXPECT_EQ(settingsPortSelection("COM4"), 3u);
    for (const char* other :
         {"COM7:", "COM0:", "COM5:", "COM:", "COM", "CO", "", "COM12:", "COM10:", "/dev/ttyS0", "COM\xC3\xA9"}) {
        EXPECT_FALSE(settingsPortSelection(other).has_value()) << other;
    }
}

TEST(PortChoiceTest, ConfirmedItemIsStoredWithAColonAndNoSelectionKeepsThePort) {
    RecordingStore store;
    store.values.writeString("Settings", "COMport", "COM7:");
    CPelorinDoc doc(store);
    ASSERT_EQ(doc.comPort, "COM7:");
    EXPECT_FALSE(settingsPortSelection(doc.comPort).has_value());
    store.log.clear();

    rememberComPort(doc, store, "");
    EXPECT_EQ(doc.comPort, "COM7:");
    EXPECT_TRUE(store.log.empty());

    rememberComPort(doc, store, kSettingsPortNames[0]);
    EXPECT_EQ(doc.comPort, "COM1:");
    EXPECT_THAT(store.log, ElementsAre("write Settings/COMport=COM1:"));

    const CPelorinDoc nextRun(store.values);
    EXPECT_EQ(nextRun.comPort, "COM1:");
    EXPECT_EQ(settingsPortSelection(nextRun.comPort), 0u);
}

}  // namespace
}  // namespace pelorin
