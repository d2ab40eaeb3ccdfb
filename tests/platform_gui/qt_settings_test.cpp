// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_settings.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include "platform/scratch_folder.h"

namespace {

// Values read back as the text they were, written by the program or by hand.
TEST(QtSettings, RoundTripsTextValuesThroughAnIniFile) {
    ScratchFolder dir;
    const QString ini = dir.writeFile("Quillon.ini", "[Hand]\nDelimiter=,\nList=a,b\nNumber=42\n");
    const QStringList values = {
        ",",   "a, b",    " padded ", "",     "C:\\Dir1\\file???.dwg", "x=y;z",
        "@at", "Größe €", "1",        "true", "line\r\nbreak"};
    {
        platform::QtSettings settings(ini);
        for (int i = 0; i < values.size(); ++i)
            settings.set("Options", QStringLiteral("Key%1").arg(i), values[i]);
        settings.set("FSpec", "Spec1", "/data/*.dwg");
        EXPECT_EQ(settings.get("Options", "Key1"), "a, b");  // readable before it is written
    }
    const QByteArray text = ScratchFolder::readFile(ini);
    EXPECT_TRUE(text.contains("[Options]")) << text.toStdString();
    EXPECT_TRUE(text.contains("[FSpec]\nSpec1=/data/*.dwg")) << text.toStdString();

    platform::QtSettings settings(ini);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(settings.get("Options", QStringLiteral("Key%1").arg(i)), values[i]) << i;
    EXPECT_EQ(settings.get("Options", "Missing", "fallback"), "fallback");
    EXPECT_EQ(settings.get("Nowhere", "Key0"), "");
    // An unquoted comma makes QSettings see a list; it still reads back as the text it was.
    EXPECT_EQ(settings.get("Hand", "Delimiter"), ",");
    EXPECT_EQ(settings.get("Hand", "List"), "a,b");
    EXPECT_EQ(settings.get("Hand", "Number"), "42");

    settings.remove("Options", "Key0");
    EXPECT_EQ(settings.get("Options", "Key0", "gone"), "gone");
    EXPECT_EQ(settings.get("Options", "Key1"), "a, b");
    settings.remove("Options");
    EXPECT_EQ(settings.get("Options", "Key1", "gone"), "gone");
    EXPECT_EQ(settings.get("FSpec", "Spec1"), "/data/*.dwg");
    EXPECT_TRUE(settings.sync());
    EXPECT_FALSE(ScratchFolder::readFile(ini).contains("[Options]"));
}

TEST(QtSettings, TheUsersFileStaysAwayFromTheRealOneInTests) {
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    platform::QtSettings settings;
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_TRUE(settings.fileName().startsWith(configFolder)) << settings.fileName().toStdString();
    EXPECT_TRUE(settings.fileName().endsWith("Quillon/Quillon.ini"))
        << settings.fileName().toStdString();
    EXPECT_TRUE(configFolder.contains("qttest")) << configFolder.toStdString();
}

}  // namespace
