// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_forms.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/qt_printers.h"

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(TextForms, GeneralRealKeepsFifteenDigitsAndSwitchesToExponentAtTheEdges) {
    EXPECT_EQ(textforms::generalReal(1.0, kUs), "1");
    EXPECT_EQ(textforms::generalReal(0.5, kUs), "0.5");
    EXPECT_EQ(textforms::generalReal(-2.25, kUs), "-2.25");
    EXPECT_EQ(textforms::generalReal(0.1 + 0.2, kUs), "0.3");
    EXPECT_EQ(textforms::generalReal(3.14159265358979, kUs), "3.14159265358979");
    EXPECT_EQ(textforms::generalReal(123456789012345.0, kUs), "123456789012345");
    EXPECT_EQ(textforms::generalReal(1e15, kUs), "1E+15");
    EXPECT_EQ(textforms::generalReal(0.0001, kUs), "0.0001");
    EXPECT_EQ(textforms::generalReal(0.00001, kUs), "1E-05");
    EXPECT_EQ(textforms::generalReal(-1.5e-7, kUs), "-1.5E-07");
    EXPECT_EQ(textforms::generalReal(1e100, kUs), "1E+100");
}

TEST(TextForms, NegativeZeroIsWrittenZero) {
    EXPECT_EQ(textforms::generalReal(-0.0, kUs), "0");
    EXPECT_EQ(textforms::singleReal(-0.0, kUs), "0");
    // A value that rounds to zero in single precision carries no sign either.
    EXPECT_EQ(textforms::singleReal(-1e-60, kUs), "0");
}

TEST(TextForms, SingleRealRoundsToSinglePrecisionFirst) {
    EXPECT_EQ(textforms::singleReal(12345678.0, kUs), "1.234568E+07");
    EXPECT_EQ(textforms::singleReal(1234567.0, kUs), "1234567");
    EXPECT_EQ(textforms::singleReal(1000000.4, kUs), "1000000");
    EXPECT_EQ(textforms::singleReal(0.1, kUs), "0.1");
    EXPECT_EQ(textforms::singleReal(3256.5, kUs), "3256.5");
    EXPECT_EQ(textforms::singleReal(-1843.5, kUs), "-1843.5");
    EXPECT_EQ(textforms::singleReal(1.0 / 3.0, kUs), "0.3333333");
    EXPECT_EQ(textforms::singleReal(0.00001, kUs), "1E-05");
}

TEST(TextForms, RealsUseTheLocaleDecimalSeparator) {
    EXPECT_EQ(textforms::generalReal(-2.25, kGerman), "-2,25");
    EXPECT_EQ(textforms::singleReal(12345678.0, kGerman), "1,234568E+07");
    EXPECT_EQ(textforms::generalReal(1234.0, kGerman), "1234");  // never grouped
}

TEST(TextForms, WholeNumbersAndBooleans) {
    EXPECT_EQ(textforms::wholeNumber(-1), "-1");
    EXPECT_EQ(textforms::wholeNumber(2130567352), "2130567352");
    EXPECT_EQ(textforms::boolean(true), "True");
    EXPECT_EQ(textforms::boolean(false), "False");
}

TEST(TextForms, ElapsedSecondsAreGroupedWithTwoDecimals) {
    EXPECT_EQ(textforms::elapsedSeconds(1234.5, kUs), "1,234.50");
    EXPECT_EQ(textforms::elapsedSeconds(1234.5, kGerman), "1.234,50");
    EXPECT_EQ(textforms::elapsedSeconds(0.004, kUs), "0.00");
    EXPECT_EQ(textforms::elapsedSeconds(0.125, kUs), "0.13");
    EXPECT_EQ(textforms::elapsedSeconds(999.999, kUs), "1,000.00");
    EXPECT_EQ(textforms::elapsedSeconds(123456789.0, kUs), "123,456,789.00");
}

TEST(TextForms, LogTimestampIsTwelveHourWithLowerCaseMarker) {
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(textforms::logTimestamp(afternoon, kUs), "03/05/2024 02:07:09 pm");
    const QDateTime midnight(QDate(2024, 12, 25), QTime(0, 0, 1));
    EXPECT_EQ(textforms::logTimestamp(midnight, kUs), "12/25/2024 12:00:01 am");
    const QDateTime noon(QDate(2024, 12, 25), QTime(12, 30, 0));
    EXPECT_EQ(textforms::logTimestamp(noon, kUs), "12/25/2024 12:30:00 pm");
    // The locale's own separators, in the fixed month-day-year order.
    EXPECT_EQ(textforms::logTimestamp(afternoon, kGerman), "03.05.2024 02:07:09 pm");
}

TEST(TextForms, GeneralDateTimeShowsDateAndTimeWithSeconds) {
    const QString text =
        textforms::generalDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), kUs);
    EXPECT_TRUE(text.startsWith("3/5/2024 ")) << text.toStdString();
    EXPECT_TRUE(text.contains("2:07:09")) << text.toStdString();
    EXPECT_EQ(textforms::generalDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 0)), kUs),
              "3/5/2024");
}

// Exported records are read long after, and elsewhere: a two-digit year is ambiguous, so the
// year always has four digits, in the order and with the separators the user is used to.
struct DateCase {
    QLocale::Language language;
    QLocale::Territory territory;
    const char* date;  // 5 March 2024
};

class GeneralDateTimeYear : public ::testing::TestWithParam<DateCase> {};

TEST_P(GeneralDateTimeYear, HasFourDigitsInTheUsersOrder) {
    const QLocale locale(GetParam().language, GetParam().territory);
    const QString date = QString::fromUtf8(GetParam().date);
    EXPECT_EQ(textforms::generalDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 0)), locale), date);
    const QString withTime =
        textforms::generalDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), locale);
    EXPECT_TRUE(withTime.startsWith(date + " ")) << withTime.toStdString();
    EXPECT_TRUE(withTime.contains("07") && withTime.contains("09")) << withTime.toStdString();
    EXPECT_EQ(textforms::generalDateTime(QDateTime(QDate(1999, 12, 31), QTime(0, 0)), locale)
                  .count("1999"),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, GeneralDateTimeYear,
    ::testing::Values(DateCase{QLocale::English, QLocale::UnitedStates, "3/5/2024"},
                      DateCase{QLocale::German, QLocale::Germany, "05.03.2024"},
                      DateCase{QLocale::English, QLocale::UnitedKingdom, "05/03/2024"},
                      DateCase{QLocale::Japanese, QLocale::Japan, "2024/03/05"}));

}  // namespace
