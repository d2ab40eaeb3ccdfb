// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/edit_table.h"

#include <algorithm>

namespace writeback {

bool TableBuilder::setHeader(QStringList names, QString& reason) {
    if (names.size() > kMaxColumns) {
        reason = QStringLiteral(": more than %1 columns.").arg(kMaxColumns);
        return false;
    }
    if (!count(names, reason)) return false;
    m_table.header = std::move(names);
    return true;
}

bool TableBuilder::addRow(QStringList values, int number, QString& reason) {
    const bool blank = std::all_of(values.cbegin(), values.cend(),
                                   [](const QString& value) { return value.trimmed().isEmpty(); });
    while (values.size() < m_table.header.size()) values.append(QString());
    if (blank || values == m_table.header) return true;
    if (!count(values, reason)) return false;
    m_table.rows.push_back(std::move(values));
    m_table.rowNumbers.push_back(number);
    return true;
}

bool TableBuilder::count(const QStringList& values, QString& reason) {
    m_values += values.size();
    for (const QString& value : values) m_characters += value.size();
    if (m_values > kMaxValues) {
        reason = QStringLiteral(
                     ": more than %1 values, more than this program reads from one "
                     "source; split it.")
                     .arg(kMaxValues);
        return false;
    }
    if (m_characters > kMaxCharacters) {
        reason = QStringLiteral(
                     ": more than %1 characters of values, more than this program "
                     "reads from one source; split it.")
                     .arg(kMaxCharacters);
        return false;
    }
    return true;
}

core::Error refusal(const QString& origin, const QString& reason) {
    return core::Error{-1, origin + reason};
}

}  // namespace writeback
