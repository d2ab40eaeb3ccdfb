// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where edited values come from: the three places records are sent to (a delimited text file,
// a sheet of an .xlsx workbook, a table of an SQLite database), read back.

#include <QString>

#include "core/result.h"
#include "writeback/edit_table.h"

namespace writeback {

enum class SourceKind { TextFile, Workbook, Database };

struct EditSource {
    SourceKind kind = SourceKind::TextFile;
    QString path;
    QString item;  // the workbook's sheet (empty: the one it opens at) or the database's table
};

// The kind of the file at `path` by its name: .xlsx a workbook; .db, .sqlite and .sqlite3 a
// database; anything else delimited text.
SourceKind kindOfFile(const QString& path);

// The edited values of `source`, or why they cannot be read.
core::Result<EditTable> readEditSource(const EditSource& source);

// The source as messages name it: "parts.xlsx, sheet Parts", "tags.db, table Tags".
QString describe(const EditSource& source);

}  // namespace writeback
