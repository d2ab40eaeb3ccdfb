// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A database as the database output drives it: ordinary tables, a record set over one table with
// positional fields, and one transaction around the rows a send adds.

#include <QString>
#include <QStringList>
#include <memory>

#include "office/result.h"

namespace office {

class Recordset {
public:
    virtual ~Recordset() = default;
    virtual Result<int> FieldCount() const = 0;
    virtual Result<QString> FieldName(int index) const = 0;
    virtual Result<int> RecordCount() = 0;  // after moving to the last row
    virtual Status DeleteAll() = 0;         // every row, one by one from the first
    virtual Status AddNew() = 0;
    // The text is converted to the field's type (numbers in the user's decimal form); text that
    // does not convert is an error. A field not set keeps the column's default.
    virtual Status SetField(int index, const QString& value) = 0;
    virtual Status Update() = 0;
    virtual Status Close() = 0;
};

class Database {
public:
    virtual ~Database() = default;
    // Ordinary local tables only (no system tables, no views), in the database's order.
    virtual Result<QStringList> TableNames() const = 0;
    // A record set over `table` (its name in any letter case) that other users cannot change
    // while it is open.
    virtual Result<std::shared_ptr<Recordset>> OpenRecordset(const QString& table) = 0;
    // Everything done between BeginTrans and CommitTrans is stored together or not at all: a
    // CommitTrans that cannot store it is an error, after which Rollback undoes it all.
    virtual Status BeginTrans() = 0;
    virtual Status CommitTrans() = 0;
    virtual Status Rollback() = 0;
    virtual Status Close() = 0;
};

}  // namespace office
