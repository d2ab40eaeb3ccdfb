// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_cells.h"

#include <gtest/gtest.h>

namespace {

using namespace office::xlsx;

TEST(XlsxCells, TextIsANumberOnlyWhenTheNumberWritesBackAsTheSameText) {
    // 15 significant digits are kept.
    for (const char* number : {"12", "-3.5", "-0.25", "0", "0.0015", "123456789012345"}) {
        EXPECT_EQ(numberValue(number, QLatin1Char('.')).value_or("text"), number);
    }
    // Codes and tag numbers that a number would change (an Arabic-Indic digit is no plain
    // digit), and texts that are no numbers.
    const char* const texts[] = {"007", "1E3",   "1E+07", "1.5e-3", "+4",      " 7 ",
                                 ".5",  "5.",    "2.50",  "-0",     "",        " ",
                                 "1,5", "1.2.3", "12a",   "=1+2",   "0x10",    "inf",
                                 "nan", "1e999", "-",     "1 000",  "\xd9\xa3"};
    for (const char* text : texts) {
        const auto stored = numberValue(QString::fromUtf8(text), QLatin1Char('.'));
        EXPECT_FALSE(stored.has_value()) << text << " -> " << stored.value_or("");
    }
    // A 16th digit would be lost.
    EXPECT_FALSE(numberValue("1234567890123456", QLatin1Char('.')).has_value());
    EXPECT_FALSE(numberValue("12345678901234567890", QLatin1Char('.')).has_value());
    // Where the decimal character is a comma, a number is written with the comma only.
    const std::pair<const char*, const char*> comma[] = {{"1,5", "1.5"},      {"-0,25", "-0.25"},
                                                         {"12", "12"},        {"1.5", "text"},
                                                         {"1.000,5", "text"}, {"007", "text"}};
    for (const auto& [text, stored] : comma) {
        EXPECT_EQ(numberValue(text, QLatin1Char(',')).value_or("text"), stored) << text;
    }
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
