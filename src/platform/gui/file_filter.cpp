// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/file_filter.h"

namespace platform {

QString caseInsensitiveWildcard(const QString& pattern) {
    if (pattern == u"*.*") return QStringLiteral("*");
    QString result;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower == upper) {
            result += c;
        } else {
            result += u'[';
            result += lower;
            result += upper;
            result += u']';
        }
    }
    return result;
}

QStringList qtNameFilters(const QString& filter) {
    QStringList parts = filter.split(u'|');
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        const QString patternText = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        QStringList patterns;
        for (const QString& pattern : patternText.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty()) patterns.append(caseInsensitiveWildcard(trimmed));
        }
        if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
        // Qt reads the patterns from the last parentheses, so they follow the display name.
        filters.append(name + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters;
}

}  // namespace platform
