// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Edited values in a table of an SQLite database file.

#include "writeback/edit_table.h"

namespace writeback {

// The rows of `table` (found ignoring letter case) in the table's order, its column names the
// header. The file is opened read-only and never changed. A NULL is empty, an integer as
// written, a real number with up to 15 significant digits and the locale's decimal mark (as a
// database send takes numbers); a value of bytes refuses the table, naming its row and column.
// A database another program holds locked for writing is refused after two seconds.
core::Result<EditTable> readDatabaseTable(const QString& path, const QString& table);

}  // namespace writeback
