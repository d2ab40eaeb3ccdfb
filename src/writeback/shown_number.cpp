// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/shown_number.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <vector>

#include "engine/text_forms.h"

namespace writeback {
namespace {

constexpr int kShortDate = 14;
constexpr int kShortDateTime = 22;
constexpr double kLastSerialDay = 2958465;  // 31 December 9999

QString builtInCode(int id) {
    switch (id) {
        case 0:
        case 49:  // Text: a number in a text cell shows as in General
            return QStringLiteral("General");
        case 1:
            return QStringLiteral("0");
        case 2:
            return QStringLiteral("0.00");
        case 3:
            return QStringLiteral("#,##0");
        case 4:
            return QStringLiteral("#,##0.00");
        case 9:
            return QStringLiteral("0%");
        case 10:
            return QStringLiteral("0.00%");
        case 15:
            return QStringLiteral("d-mmm-yy");
        case 16:
            return QStringLiteral("d-mmm");
        case 17:
            return QStringLiteral("mmm-yy");
        case 18:
            return QStringLiteral("h:mm AM/PM");
        case 19:
            return QStringLiteral("h:mm:ss AM/PM");
        case 20:
            return QStringLiteral("h:mm");
        case 21:
            return QStringLiteral("h:mm:ss");
        case 45:
            return QStringLiteral("mm:ss");
        default:
            return QString();
    }
}

std::optional<QString> fixedNumber(double value, const QString& code, const QLocale& locale) {
    static const QRegularExpression fixed(QStringLiteral("^(#,##0|0)(?:\\.(0+))?(%?)$"));
    const QRegularExpressionMatch match = fixed.match(code);
    if (!match.hasMatch()) return std::nullopt;
    QLocale shown = locale;
    shown.setNumberOptions(match.captured(1).startsWith(u'#') ? QLocale::DefaultNumberOptions
                                                              : QLocale::OmitGroupSeparator);
    const bool percent = !match.captured(3).isEmpty();
    const QString text = shown.toString(percent ? value * 100 : value, 'f',
                                        static_cast<int>(match.captured(2).size()));
    return percent ? text + locale.percent() : text;
}

struct Token {
    enum class Kind { Literal, Year, Month, Day, Hour, Minute, Second, AmPm } kind;
    qsizetype length = 0;
    QString text;  // a literal's text; AM/PM or A/P as written
};

bool isColour(QStringView name) {
    static const QRegularExpression colour(
        QStringLiteral("^(black|blue|cyan|green|magenta|red|white|yellow|color[0-9]+)$"),
        QRegularExpression::CaseInsensitiveOption);
    return colour.match(name).hasMatch();
}

// The fields and literal text of a date or time code; nothing when it holds anything else
// (digit placeholders, fractions of seconds, elapsed time, sections, currency, padding).
std::optional<std::vector<Token>> dateTokens(const QString& code) {
    std::vector<Token> tokens;
    auto literal = [&](QStringView text) {
        if (tokens.empty() || tokens.back().kind != Token::Kind::Literal) {
            tokens.push_back({Token::Kind::Literal, 0, QString()});
        }
        tokens.back().text += text;
    };
    bool hasField = false;
    for (qsizetype i = 0; i < code.size();) {
        const QChar c = code[i];
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            if (end < 0) return std::nullopt;
            literal(QStringView(code).sliced(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == u'\\') {
            if (i + 1 >= code.size()) return std::nullopt;
            literal(QStringView(code).sliced(i + 1, 1));
            i += 2;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0) return std::nullopt;
            const QStringView inside = QStringView(code).sliced(i + 1, end - i - 1);
            // A locale tag ([$-409]) or a colour changes no character; anything else does.
            if (!inside.startsWith(u"$-") && !isColour(inside)) return std::nullopt;
            i = end + 1;
        } else if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'h' ||
                   lower == u's') {
            qsizetype run = 1;
            while (i + run < code.size() && code[i + run].toLower() == lower) ++run;
            const Token::Kind kind = lower == u'y'   ? Token::Kind::Year
                                     : lower == u'm' ? Token::Kind::Month
                                     : lower == u'd' ? Token::Kind::Day
                                     : lower == u'h' ? Token::Kind::Hour
                                                     : Token::Kind::Second;
            tokens.push_back({kind, run, QString()});
            hasField = true;
            i += run;
        } else if (QStringView(code).sliced(i).startsWith(u"AM/PM", Qt::CaseInsensitive)) {
            tokens.push_back({Token::Kind::AmPm, 5, code.mid(i, 5)});
            i += 5;
        } else if (QStringView(code).sliced(i).startsWith(u"A/P", Qt::CaseInsensitive)) {
            tokens.push_back({Token::Kind::AmPm, 3, code.mid(i, 3)});
            i += 3;
        } else if (c.isLetterOrNumber() || QStringView(u"#?_*@;%").contains(c)) {
            return std::nullopt;
        } else {
            literal(QStringView(code).sliced(i, 1));
            ++i;
        }
    }
    if (!hasField) return std::nullopt;
    // "m" is the month, unless it follows an hour or comes before a second: then the minute.
    auto fieldNear = [&](std::size_t from, int step) {
        for (auto j = static_cast<std::ptrdiff_t>(from) + step;
             j >= 0 && j < static_cast<std::ptrdiff_t>(tokens.size()); j += step) {
            if (tokens[static_cast<std::size_t>(j)].kind != Token::Kind::Literal) {
                return tokens[static_cast<std::size_t>(j)].kind;
            }
        }
        return Token::Kind::Literal;
    };
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        Token& token = tokens[t];
        if (token.kind != Token::Kind::Month || token.length > 2) continue;
        if (fieldNear(t, -1) == Token::Kind::Hour || fieldNear(t, 1) == Token::Kind::Second) {
            token.kind = Token::Kind::Minute;
        }
    }
    return tokens;
}

// The day of a serial date; none for a day the workbook cannot show (before its first day, the
// 29 February 1900 that the 1900 date system counts but that never was, after 9999).
std::optional<QDate> serialDate(double days, bool date1904) {
    if (days < 0 || days > kLastSerialDay) return std::nullopt;
    const auto day = static_cast<qint64>(days);
    if (date1904) return QDate(1904, 1, 1).addDays(day);
    if (day == 0 || day == 60) return std::nullopt;
    return day < 60 ? QDate(1899, 12, 31).addDays(day) : QDate(1899, 12, 30).addDays(day);
}

QString padded(qint64 number, qsizetype length) {
    return QStringLiteral("%1").arg(number, length >= 2 ? 2 : 1, 10, QLatin1Char('0'));
}

std::optional<QString> dateText(double value, const std::vector<Token>& tokens, bool date1904,
                                const QLocale& locale) {
    if (!(value >= 0) || value > kLastSerialDay + 1) return std::nullopt;
    double days = std::floor(value);
    auto seconds = std::llround((value - days) * 86400);
    if (seconds >= 86400) {
        days += 1;
        seconds -= 86400;
    }
    bool needsDate = false;
    bool twelveHours = false;
    for (const Token& token : tokens) {
        needsDate |= token.kind == Token::Kind::Year || token.kind == Token::Kind::Month ||
                     token.kind == Token::Kind::Day;
        twelveHours |= token.kind == Token::Kind::AmPm;
    }
    const std::optional<QDate> date = needsDate ? serialDate(days, date1904) : QDate();
    if (!date) return std::nullopt;
    const qint64 hour = seconds / 3600;
    QString text;
    for (const Token& token : tokens) {
        switch (token.kind) {
            case Token::Kind::Literal:
                text += token.text;
                break;
            case Token::Kind::Year:
                text += token.length <= 2 ? padded(date->year() % 100, 2)
                                          : QString::number(date->year());
                break;
            case Token::Kind::Month:
                text += token.length <= 2   ? padded(date->month(), token.length)
                        : token.length == 3 ? locale.monthName(date->month(), QLocale::ShortFormat)
                        : token.length == 5 ? locale.monthName(date->month()).left(1)
                                            : locale.monthName(date->month());
                break;
            case Token::Kind::Day:
                text += token.length <= 2 ? padded(date->day(), token.length)
                                          : locale.dayName(date->dayOfWeek(),
                                                           token.length == 3 ? QLocale::ShortFormat
                                                                             : QLocale::LongFormat);
                break;
            case Token::Kind::Hour:
                text +=
                    padded(twelveHours ? (hour % 12 == 0 ? 12 : hour % 12) : hour, token.length);
                break;
            case Token::Kind::Minute:
                text += padded(seconds / 60 % 60, token.length);
                break;
            case Token::Kind::Second:
                text += padded(seconds % 60, token.length);
                break;
            case Token::Kind::AmPm:
                text += token.length == 5
                            ? (hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"))
                            : token.text.at(hour < 12 ? 0 : 2);
                break;
        }
    }
    return text;
}

}  // namespace

std::optional<QString> shownNumber(double value, const NumberFormat& format, bool date1904,
                                   const QLocale& locale) {
    if (!std::isfinite(value)) return std::nullopt;
    const QString code = format.code.isEmpty() ? builtInCode(format.id) : format.code;
    if (code.isEmpty() && (format.id == kShortDate || format.id == kShortDateTime)) {
        // The workbook leaves these to the reader's locale: dates as this program writes them.
        const double days = std::floor(value);
        const std::optional<QDate> date = serialDate(days, date1904);
        if (!date) return std::nullopt;
        const auto seconds =
            format.id == kShortDate ? 0 : std::min(std::llround((value - days) * 86400), 86399LL);
        return textforms::generalDateTime(
            QDateTime(*date, QTime(0, 0).addSecs(static_cast<int>(seconds))), locale);
    }
    if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        code == QLatin1String("@")) {
        return textforms::generalReal(value, locale);
    }
    if (const auto fixed = fixedNumber(value, code, locale)) return fixed;
    if (const auto tokens = dateTokens(code)) return dateText(value, *tokens, date1904, locale);
    return std::nullopt;
}

}  // namespace writeback
