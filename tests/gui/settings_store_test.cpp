// The remembered values in a real settings file, kept in the test's
// temporary home.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "app/qt_settings_store.h"
#include "document/document.h"
#include "settings/remembered_values.h"

namespace pelorin {
namespace {

TEST(QtSettingsStoreTest, ValuesRoundTripThroughTheFileInTheTemporaryHome) {
    {
        QtSettingsStore store;
        const QString configHome = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
        ASSERT_FALSE(configHome.isEmpty());
        EXPECT_EQ(QDir::cleanPath(store.fileName()),
                  QDir::cleanPath(configHome + "/Local AppWizard-Generated Applications/Pelorin.conf"));
        QFile::remove(store.fileName());
    }
    {
        // A first run: every value at its default.
        QtSettingsStore store;
        CPelorinDoc doc(store);
        EXPECT_EQ(doc.lastNumber, "+");
        EXPECT_EQ(doc.lastCountry, "000");
        EXPECT_EQ(doc.lastCode, "00");
        EXPECT_EQ(doc.lastReport, 1);
        EXPECT_EQ(doc.comPort, "COM3:");
        rememberOperatorLogoSend(doc, store, "+4917012345", "262", "07", 0);
        store.writeString(kSettingsSection, kComPortValue, "COM1:");
        store.writeString("Spare", "Number", "12x");
    }
    QtSettingsStore store;
    CPelorinDoc doc(store);
    EXPECT_EQ(doc.lastNumber, "+4917012345");
    EXPECT_EQ(doc.lastCountry, "262");
    EXPECT_EQ(doc.lastCode, "07");
    EXPECT_EQ(doc.lastReport, 0);
    EXPECT_EQ(doc.comPort, "COM1:");
    EXPECT_EQ(store.readInt("Spare", "Number", 5), 5);  // not a whole number
    EXPECT_EQ(store.readString("Spare", "Absent", "x"), "x");

    QFile file(store.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("[Last]\nCode=07\nCountry=262\nNumber=+4917012345\nReport=0\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("[Settings]\nCOMport=COM1:\n")) << text.toStdString();
    file.close();
    QFile::remove(store.fileName());
}

}  // namespace
}  // namespace pelorin
