// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_results.h"

#include "engine/attribute_search.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kFieldCount = 11;

}  // namespace

QString SearchResults::fieldSeparator() {
    // A NUL between two noncharacters: file names never hold a NUL, and drawings do not
    // interchange noncharacters.
    static const QString separator = QString(QChar(0xFDD0)) + QChar(0) + QChar(0xFDD1);
    return separator;
}

void SearchResults::reset(const QString& delimiter, const QStringList& moreColumns) {
    m_delimiter = delimiter;
    m_header = searchHeaderLine(fieldSeparator()).split(fieldSeparator()) + moreColumns;
    m_rows.clear();
}

void SearchResults::addFoundLine(const QString& line, const QStringList& moreFields) {
    QStringList fields = line.split(fieldSeparator());
    // The value is the last field and the only one a drawing could fill with anything at all:
    // whatever follows the tenth separator belongs to it.
    if (fields.size() > kFieldCount) {
        const QString value = fields.mid(kFieldCount - 1).join(fieldSeparator());
        fields.erase(fields.begin() + kFieldCount - 1, fields.end());
        fields << value;
    }
    m_rows << fields + moreFields;
}

QString SearchResults::joined(const QStringList& fields) const {
    return fields.join(m_delimiter);
}

QString SearchResults::text() const {
    if (m_rows.isEmpty()) return {};
    QString text = joined(m_header) + kLineEnd;
    for (const QStringList& row : m_rows) text += joined(row) + kLineEnd;
    return text;
}

QString SearchResults::csvText() const {
    if (m_rows.isEmpty()) return {};
    auto csvLine = [&](const QStringList& fields) {
        QStringList quoted;
        quoted.reserve(fields.size());
        for (const QString& field : fields) quoted << csvField(field, m_delimiter);
        return quoted.join(m_delimiter) + kLineEnd;
    };
    QString text = csvLine(m_header);
    for (const QStringList& row : m_rows) text += csvLine(row);
    return text;
}

QString SearchResults::shownLines(qint64 from) const {
    QString text;
    if (m_rows.isEmpty()) return text;
    if (from <= 0) text += joined(m_header) + QLatin1Char('\n');
    for (qint64 i = std::max<qint64>(from, 1); i <= m_rows.size(); ++i) {
        text += joined(m_rows[i - 1]) + QLatin1Char('\n');
    }
    return text;
}

QString csvField(const QString& field, const QString& delimiter) {
    const bool quoted = (!delimiter.isEmpty() && field.contains(delimiter)) ||
                        field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\r')) ||
                        field.contains(QLatin1Char('\n'));
    if (!quoted) return field;
    QString doubled = field;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}
