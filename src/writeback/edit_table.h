// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The edited values of a source (a text file, a workbook sheet, a database table) as one table:
// the header's names, then the rows under them, each as wide as the header.

#include <QString>
#include <QStringList>
#include <vector>

#include "core/result.h"

namespace writeback {

struct EditTable {
    QStringList header;  // the names as the source writes them
    // Every row as wide as the header (a missing value is empty). Rows of blanks only, and rows
    // that repeat the header (a text file sent to twice in append mode), are left out.
    std::vector<QStringList> rows;
    // Where each row is, for messages: its line in a text file (where it starts, when a value
    // holds a line break), its row in a sheet, its position in a table.
    std::vector<int> rowNumbers;
    QString origin;  // "parts.csv", "parts.xlsx, sheet Parts", "parts.db, table Tags"
};

// What every source is held to, whoever made it: a crafted or mistaken file is refused before
// it fills the memory. A register of thousands of drawings, or the extraction of a large
// folder, stays far below.
inline constexpr qint64 kMaxTextFileBytes = 64LL * 1024 * 1024;
inline constexpr qsizetype kMaxColumns = 16384;  // a sheet's width
inline constexpr qint64 kMaxValues = 4LL * 1024 * 1024;
inline constexpr qint64 kMaxCharacters = 64LL * 1024 * 1024;

// Builds a table row by row under those limits.
class TableBuilder {
public:
    explicit TableBuilder(QString origin) { m_table.origin = std::move(origin); }

    const QString& origin() const { return m_table.origin; }
    qsizetype width() const { return m_table.header.size(); }
    // False, with `reason`, when the header is wider than a sheet.
    bool setHeader(QStringList names, QString& reason);
    // Pads `values` to the header's width and keeps it unless it holds blanks only or repeats the
    // header.
    // False, with `reason`, when the table would pass the limits.
    bool addRow(QStringList values, int number, QString& reason);
    EditTable take() { return std::move(m_table); }

private:
    bool count(const QStringList& values, QString& reason);

    EditTable m_table;
    qint64 m_values = 0;
    qint64 m_characters = 0;
};

// An error whose description is `origin` followed by `reason`.
core::Error refusal(const QString& origin, const QString& reason);

}  // namespace writeback
