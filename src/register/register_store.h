// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the register holds of each drawing, read back and written: the statements of the
// writer thread, prepared once on its own connection.

#include <QHash>
#include <QString>
#include <memory>

#include "drawing/drawing_model.h"
#include "register/sqlite_connection.h"

namespace reg {

// A drawing as the register last saw it.
struct KnownDrawing {
    qint64 id = 0;
    qint64 size = 0;
    qint64 mtime = 0;
    QString hash;
    bool missing = false;
};

// Every drawing of the register by path.
QHash<QString, KnownDrawing> knownDrawings(Connection& connection);

// A drawing's new state, as a worker found it.
struct StoredDrawing {
    QString path;
    qint64 size = 0;
    qint64 mtime = 0;
    QString hash;
    QString readError;  // empty when read
    std::shared_ptr<const drawing::Drawing> content;
};

class RegisterStore {
public:
    explicit RegisterStore(Connection& connection);
    bool ok() const { return m_ok; }

    bool begin();
    bool commit();
    void rollback();

    // Same content as stored: only the size and time change (and it is no longer missing).
    bool restamp(qint64 id, const QString& path, qint64 size, qint64 mtime);
    // A drawing read, or refused by the reader: its row, and its references and attributes in
    // place of the old ones.
    bool store(const StoredDrawing& drawing);
    bool markMissing(qint64 id);
    bool forget(qint64 id);

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
    bool m_ok = false;
};

}  // namespace reg
