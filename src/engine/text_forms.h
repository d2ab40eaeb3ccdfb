// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text forms of numbers, Booleans and dates, used wherever the program writes them.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace textforms {

// Up to 15 significant digits, no trailing zeros, exponent form (1.23456789012346E+15) when the
// decimal exponent is below -4 or at least 15; the locale's decimal separator; -0 is written 0.
QString generalReal(double value, const QLocale& locale = QLocale::system());

// The value rounded to single precision, then written like generalReal with up to 7 digits:
// 12345678 is written 1.234568E+07.
QString singleReal(double value, const QLocale& locale = QLocale::system());

QString wholeNumber(qint64 value);
QString boolean(bool value);  // "True" / "False"

// "###,###,##0.00": thousands grouped, two decimals, the locale's grouping and decimal marks.
QString elapsedSeconds(double seconds, const QLocale& locale = QLocale::system());

// The error-log timestamp "mm/dd/yyyy hh:mm:ss am/pm" with the locale's date and time separators.
QString logTimestamp(const QDateTime& when, const QLocale& locale = QLocale::system());

// The general date-time form of a file date: short date (the user's order, the year always with
// four digits), then the time with seconds; the date alone when the time is exactly midnight.
QString generalDateTime(const QDateTime& when, const QLocale& locale = QLocale::system());

}  // namespace textforms
