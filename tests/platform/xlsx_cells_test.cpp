#include "platform/office/xlsx_cells.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::office::xlsx;

TEST(XlsxCells, TypedInTextIsANumberOnlyWhenItIsAPlainNumber) {
    const struct {
        const char* text;
        const char* stored;  // nullptr: stays text
    } cases[] = {
        {"12", "12"},
        {"-3.5", "-3.5"},
        {"+4", "4"},
        {"1E+07", "10000000"},
        {"1.5e-3", "0.0015"},
        {" 7 ", "7"},
        {".5", "0.5"},
        {"5.", "5"},
        {"007", "7"},
        {"0", "0"},
        {"-0", "0"},
        {"12345678901234567890", "1.23456789012346e+19"},  // 15 significant digits
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
        {"1e-999", nullptr},
        {"E5", nullptr},
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
    // Where the decimal character is a comma, both it and the point are decimal points.
    EXPECT_EQ(numberValue(QStringLiteral("1,5"), QLatin1Char(',')).value_or("text"), "1.5");
    EXPECT_EQ(numberValue(QStringLiteral("1.5"), QLatin1Char(',')).value_or("text"), "1.5");
    EXPECT_FALSE(numberValue(QStringLiteral("1.000,5"), QLatin1Char(',')).has_value());
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
