// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_cells.h"

#include <gtest/gtest.h>

namespace {

using namespace office::xlsx;

TEST(XlsxCells, TextIsANumberOnlyWhenTheNumberWritesBackAsTheSameText) {
    const struct {
        const char* text;
        const char* stored;  // nullptr: stays text
    } cases[] = {
        {"12", "12"},
        {"-3.5", "-3.5"},
        {"-0.25", "-0.25"},
        {"0", "0"},
        {"0.0015", "0.0015"},
        {"123456789012345", "123456789012345"},  // 15 significant digits are kept
        // Codes and tag numbers that a number would change:
        {"007", nullptr},
        {"1E3", nullptr},
        {"1E+07", nullptr},
        {"1.5e-3", nullptr},
        {"+4", nullptr},
        {" 7 ", nullptr},
        {".5", nullptr},
        {"5.", nullptr},
        {"2.50", nullptr},
        {"-0", nullptr},
        {"1234567890123456", nullptr},  // a 16th digit would be lost
        {"12345678901234567890", nullptr},
        {"", nullptr},
        {" ", nullptr},
        {"1,5", nullptr},
        {"1.2.3", nullptr},
        {"12a", nullptr},
        {"=1+2", nullptr},
        {"0x10", nullptr},
        {"inf", nullptr},
        {"nan", nullptr},
        {"1e999", nullptr},
        {"-", nullptr},
        {"1 000", nullptr},
        {"\xd9\xa3", nullptr},  // an Arabic-Indic digit is no plain digit
    };
    for (const auto& c : cases) {
        const auto stored = numberValue(QString::fromUtf8(c.text), QLatin1Char('.'));
        if (c.stored) {
            ASSERT_TRUE(stored.has_value()) << c.text;
            EXPECT_EQ(*stored, c.stored) << c.text;
        } else {
            EXPECT_FALSE(stored.has_value()) << c.text << " -> " << stored.value_or("");
        }
    }
    // Where the decimal character is a comma, a number is written with the comma only.
    EXPECT_EQ(numberValue(QStringLiteral("1,5"), QLatin1Char(',')).value_or("text"), "1.5");
    EXPECT_EQ(numberValue(QStringLiteral("-0,25"), QLatin1Char(',')).value_or("text"), "-0.25");
    EXPECT_EQ(numberValue(QStringLiteral("12"), QLatin1Char(',')).value_or("text"), "12");
    EXPECT_FALSE(numberValue(QStringLiteral("1.5"), QLatin1Char(',')).has_value());
    EXPECT_FALSE(numberValue(QStringLiteral("1.000,5"), QLatin1Char(',')).has_value());
    EXPECT_FALSE(numberValue(QStringLiteral("007"), QLatin1Char(',')).has_value());
}

TEST(XlsxCells, ReferencesConvertBothWays) {
    EXPECT_EQ(cellReference(1, 1), "A1");
    EXPECT_EQ(cellReference(3, 26), "Z3");
    EXPECT_EQ(cellReference(4, 27), "AA4");
    EXPECT_EQ(cellReference(kMaxRows, kMaxColumns), "XFD1048576");
    for (int column : {1, 26, 27, 52, 53, 702, 703, 16384}) {
        const auto parsed = parseReference(cellReference(9, column));
        ASSERT_TRUE(parsed) << column;
        EXPECT_EQ(parsed->column, column);
        EXPECT_EQ(parsed->row, 9);
    }
    EXPECT_EQ(parseReference("$b$7")->column, 2);
    for (const char* bad : {"", "A", "7", "A0", "XFE1", "A1048577", "A1B", "1A", "A-1",
                            "AAAAAAAAAAAAAAAAAAAAAAAAAAAA1", "A99999999999999999999"}) {
        EXPECT_FALSE(parseReference(bad)) << bad;
    }
}

TEST(XlsxCells, ControlCharactersAndEscapeLookalikesSurviveAsText) {
    EXPECT_EQ(escapedText(QStringLiteral("a\tb\nc")), "a\tb\nc");
    EXPECT_EQ(escapedText(QStringLiteral("a\rb")), "a_x000D_b");
    EXPECT_EQ(escapedText(QString(QChar(1))), "_x0001_");
    EXPECT_EQ(escapedText(QStringLiteral("_x0041_")), "_x005F_x0041_");
    EXPECT_EQ(escapedText(QStringLiteral("_x00G1_ _x")), "_x00G1_ _x");
    EXPECT_EQ(escapedText(QStringLiteral("\u00fc")), "\xc3\xbc");
}

}  // namespace
