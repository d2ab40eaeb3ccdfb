// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the SQLite register holds of each drawing, read back and written: the statements of
// the writer thread, prepared once on its own connection.

#include <QHash>
#include <QString>
#include <memory>

#include "register/register_database.h"
#include "register/sqlite_connection.h"

namespace reg {

// Every drawing of the register by path.
QHash<QString, KnownDrawing> knownDrawings(Connection& connection);

class SqliteRegisterStore : public RegisterStore {
public:
    explicit SqliteRegisterStore(Connection& connection);
    bool ok() const override { return m_ok; }

    bool begin() override;
    bool commit() override;
    void rollback() override;

    bool restamp(qint64 id, const QString& path, qint64 size, qint64 mtime) override;
    bool store(const StoredDrawing& drawing) override;
    bool markMissing(qint64 id) override;
    bool forget(qint64 id) override;
    bool noteFolderIndexed(const QString& folder, qint64 at) override;

private:
    bool dropContent(qint64 id);

    Connection& m_connection;
    Statement m_restamp;
    Statement m_upsert;
    Statement m_dropAttributes;
    Statement m_dropReferences;
    Statement m_insertReference;
    Statement m_insertAttribute;
    Statement m_markMissing;
    Statement m_forget;
    Statement m_folderIndexed;
    bool m_ok = false;
};

}  // namespace reg
