// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/database.h"

namespace office {

// A database file of SQLite, driven the way the database output drives a database: positional
// fields in declared order, ordinary tables only, a record set that holds the write lock while
// it is open, and the text of each cell converted to its column's type, a text that does not
// convert being an error rather than a silently stored string.
Result<std::shared_ptr<Database>> openSqliteDatabase(const QString& path, bool readOnly);

}  // namespace office
