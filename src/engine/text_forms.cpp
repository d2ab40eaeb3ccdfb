// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text_forms.h"

#include <cmath>
#include <cstdio>

namespace textforms {
namespace {

// printf's %G with `digits` significant digits gives the exponent thresholds we want (exponent
// below -4 or at least `digits`) and drops trailing zeros; only the separator is localised.
QString realForm(double value, int digits, const QLocale& locale) {
    if (value == 0.0 || std::isnan(value)) {
        return std::isnan(value) ? QStringLiteral("NaN") : QStringLiteral("0");
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    QString text = QString::fromLatin1(buffer);
    if (text == QLatin1String("-0")) return QStringLiteral("0");
    const QString decimal = locale.decimalPoint();
    if (decimal != QLatin1String(".")) text.replace(QLatin1Char('.'), decimal);
    return text;
}

// The first character of a date or time format that is not part of a field: the separator.
QString separatorOf(const QString& format, const QString& fallback) {
    for (const QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) return QString(c);
    }
    return fallback;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The short date format with the year widened to four digits: records outlive the century
// they were made in, and "12/7/26" reads differently in every country. Quoted literal text in
// the format is left alone.
QString fourDigitYear(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString widened;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (quoted || c != QLatin1Char('y')) {
            widened += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i + run < format.size() && format[i + run] == QLatin1Char('y')) ++run;
        widened += run >= 4 ? QString(run, QLatin1Char('y')) : QStringLiteral("yyyy");
        i += run;
    }
    return widened;
}

}  // namespace

QString generalReal(double value, const QLocale& locale) {
    return realForm(value, 15, locale);
}

QString singleReal(double value, const QLocale& locale) {
    return realForm(static_cast<double>(static_cast<float>(value)), 7, locale);
}

QString wholeNumber(qint64 value) {
    return QString::number(value);
}

QString boolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString elapsedSeconds(double seconds, const QLocale& locale) {
    const QString fixed = QString::number(std::abs(seconds), 'f', 2);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    const QString whole = fixed.left(point);
    const QString group = locale.groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += group;
        grouped += whole[i];
    }
    const QString sign =
        (seconds < 0 && fixed != QLatin1String("0.00")) ? QStringLiteral("-") : QString();
    return sign + grouped + locale.decimalPoint() + fixed.mid(point + 1);
}

QString logTimestamp(const QDateTime& when, const QLocale& locale) {
    const QString dateSep = separatorOf(locale.dateFormat(QLocale::ShortFormat), "/");
    const QString timeSep = separatorOf(locale.timeFormat(QLocale::ShortFormat), ":");
    const QDate d = when.date();
    const QTime t = when.time();
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return twoDigits(d.month()) + dateSep + twoDigits(d.day()) + dateSep +
           QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + QLatin1Char(' ') +
           twoDigits(hour12) + timeSep + twoDigits(t.minute()) + timeSep + twoDigits(t.second()) +
           (t.hour() < 12 ? QStringLiteral(" am") : QStringLiteral(" pm"));
}

QString generalDateTime(const QDateTime& when, const QLocale& locale) {
    const QString date = locale.toString(when.date(), fourDigitYear(locale));
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0) return date;
    // The long time format may carry a time zone; a file date is local time, so leave it out.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return date + QLatin1Char(' ') + locale.toString(time, timeFormat.trimmed());
}

}  // namespace textforms
