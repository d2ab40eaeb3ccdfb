// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_forms.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

// Fifteen digits in general form, seven after rounding to single precision; the exponent form
// at the edges; no sign on a zero, not even on one that single precision rounds to.
TEST(TextForms, RealsInGeneralAndSinglePrecision) {
    QStringList general, single;
    for (double value : {1.0, 0.5, -2.25, 0.1 + 0.2, 3.14159265358979, 123456789012345.0, 1e15,
                         0.0001, 0.00001, -1.5e-7, 1e100, -0.0})
        general << textforms::generalReal(value, kUs);
    EXPECT_EQ(general,
              QStringList({"1", "0.5", "-2.25", "0.3", "3.14159265358979", "123456789012345",
                           "1E+15", "0.0001", "1E-05", "-1.5E-07", "1E+100", "0"}));
    for (double value :
         {12345678.0, 1234567.0, 1000000.4, 0.1, 3256.5, -1843.5, 1.0 / 3.0, 0.00001, -0.0, -1e-60})
        single << textforms::singleReal(value, kUs);
    EXPECT_EQ(single, QStringList({"1.234568E+07", "1234567", "1000000", "0.1", "3256.5", "-1843.5",
                                   "0.3333333", "1E-05", "0", "0"}));
    // The locale's decimal separator, never grouped.
    EXPECT_EQ(textforms::generalReal(-2.25, kGerman), "-2,25");
    EXPECT_EQ(textforms::singleReal(12345678.0, kGerman), "1,234568E+07");
    EXPECT_EQ(textforms::generalReal(1234.0, kGerman), "1234");
}

TEST(TextForms, WholeNumbersBooleansAndElapsedSeconds) {
    EXPECT_EQ(textforms::wholeNumber(-1), "-1");
    EXPECT_EQ(textforms::wholeNumber(2130567352), "2130567352");
    EXPECT_EQ(textforms::boolean(true), "True");
    EXPECT_EQ(textforms::boolean(false), "False");
    // Grouped, with two decimals.
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

// Exported records are read long after, and elsewhere: a two-digit year is ambiguous, so the
// year always has four digits, in the order and with the separators the user is used to. The
// time follows with its seconds, unless it is midnight.
TEST(TextForms, GeneralDateTimeHasAFourDigitYearInTheUsersOrder) {
    const struct {
        QLocale locale;
        const char* date;  // 5 March 2024
        const char* time;  // 14:07:09
    } cases[] = {
        {kUs, "3/5/2024", "2:07:09"},
        {kGerman, "05.03.2024", "14:07:09"},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "05/03/2024", "14:07:09"},
        {QLocale(QLocale::Japanese, QLocale::Japan), "2024/03/05", "14時07分09秒"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        const QDate day(2024, 3, 5);
        EXPECT_EQ(textforms::generalDateTime(QDateTime(day, QTime(0, 0)), c.locale), c.date);
        const QString withTime =
            textforms::generalDateTime(QDateTime(day, QTime(14, 7, 9)), c.locale);
        EXPECT_TRUE(withTime.startsWith(QString(c.date) + " ")) << withTime.toStdString();
        EXPECT_TRUE(withTime.contains(c.time)) << withTime.toStdString();
        EXPECT_EQ(textforms::generalDateTime(QDateTime(QDate(1999, 12, 31), QTime(0, 0)), c.locale)
                      .count("1999"),
                  1);
    }
}

}  // namespace
