// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/record_line.h"

#include "engine/blanks.h"

namespace recordline {
namespace {
const QString kSeparator = QStringLiteral("','");
}

qint64 countFields(const QString& line) {
    // Counted from the second character to the last but one, without overlaps.
    if (line.size() < 2) return 0;
    const QStringView inner = QStringView(line).mid(1, line.size() - 2);
    qint64 count = 0;
    for (qsizetype at = inner.indexOf(kSeparator); at >= 0;
         at = inner.indexOf(kSeparator, at + kSeparator.size())) {
        ++count;
    }
    return count == 0 ? 0 : count + 2;
}

QString cdfToSdf(const QString& line, quint8 width) {
    if (line.isEmpty()) return QString();
    if (!line.contains(kSeparator)) return line;
    QString inner = line.mid(1, line.size() - 2);
    inner.replace(kSeparator, QString(width, QLatin1Char(' ')));
    return blanks::cut(inner);
}

qsizetype countSpaces(const QString& text) {
    return text.count(QLatin1Char(' '));
}

QString oneLine(QString text) {
    return text.replace(u'\r', u' ').replace(u'\n', u' ');
}

}  // namespace recordline
