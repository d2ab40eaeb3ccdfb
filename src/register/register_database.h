// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the register lives: a SQLite file on this machine (the default: nothing to set up),
// or a PostgreSQL database a team shares. Both hold the same tables (register_schema.h); the
// index run and the search see only this interface.
//
// A RegisterDatabase and the stores it makes use one connection: one thread at a time, handed
// over by a join, never two threads at once.

#include <QHash>
#include <QString>
#include <climits>
#include <memory>
#include <vector>

#include "core/result.h"
#include "drawing/drawing_model.h"

namespace reg {

// A drawing as the register last saw it.
struct KnownDrawing {
    qint64 id = 0;
    qint64 size = 0;
    qint64 mtime = 0;
    QString hash;
    bool missing = false;
};

// A drawing's new state, as a worker found it.
struct StoredDrawing {
    QString path;
    qint64 size = 0;
    qint64 mtime = 0;
    QString hash;
    QString readError;  // empty when read
    std::shared_ptr<const drawing::Drawing> content;
};

// The writes of an index run, made by its one writer thread.
class RegisterStore {
public:
    virtual ~RegisterStore() = default;
    virtual bool ok() const = 0;

    virtual bool begin() = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;

    // Same content as stored: only the size and time change (and it is no longer missing).
    virtual bool restamp(qint64 id, const QString& path, qint64 size, qint64 mtime) = 0;
    // A drawing read, or refused by the reader: its row, and its references and attributes in
    // place of the old ones.
    virtual bool store(const StoredDrawing& drawing) = 0;
    virtual bool markMissing(qint64 id) = 0;
    virtual bool forget(qint64 id) = 0;
    // A run walked `folder` ("/data/dwg/") to its end, at `at` (ms since 1970 UTC).
    virtual bool noteFolderIndexed(const QString& folder, qint64 at) = 0;
};

// What a search asks of the register: the attributes that may match, a superset of the hits.
// The search applies its own rules to them afterwards, so the register answers exactly as the
// drawings do.
struct EntryQuery {
    // Only drawings whose path starts with this ("/data/dwg/"); empty: every drawing.
    QString pathPrefix;
    QString space;  // "MODEL", "PAPER", or empty for both
    bool onTag = false;
    enum class Text {
        Any,                       // no narrowing by the text
        Equal,                     // the field is the text, letter for letter
        Contains,                  // the field holds the text, letter for letter
        EqualIgnoringAsciiCase,    // the text is ASCII: compared ignoring case
        ContainsIgnoringAsciiCase  // the text is ASCII: found ignoring case
    } text = Text::Any;
    QString value;
};

struct EntryAttribute {
    QString tag;
    QString value;
    QString handle;
};

struct EntryReference {
    bool paperSpace = false;
    QString layout;
    QString blockName;
    QString effectiveName;
    QString layer;
    QString handle;
    double x = 0;
    double y = 0;
    double z = 0;
    std::vector<EntryAttribute> attributes;  // in drawing order
};

// One drawing's register entry as a search sees it.
struct Entry {
    QString path;
    qint64 indexedAt = 0;  // ms since 1970 UTC
    QString readError;     // why the drawing could not be read when it was indexed
    std::vector<EntryReference> references;  // in the drawing's enumeration order
};

// The register's drawings under one folder.
struct FolderSummary {
    qint64 drawings = 0;     // not missing
    qint64 unreadable = 0;   // not missing, and could not be read when indexed
    qint64 missing = 0;      // gone from disk since they were indexed
    qint64 newestEntry = 0;  // when the latest of them was stored (ms since 1970 UTC); 0: none
    // When a run over this folder, or one it is in, last ended without being stopped (ms
    // since 1970 UTC); 0: none since the register has kept it.
    qint64 lastIndexed = 0;
};

class RegisterDatabase {
public:
    virtual ~RegisterDatabase() = default;

    virtual QHash<QString, KnownDrawing> knownDrawings() = 0;
    // The writer's statements; check ok() before use.
    virtual std::unique_ptr<RegisterStore> store() = 0;
    virtual QString lastError() const = 0;
    // The most drawings one transaction may hold (see the PostgreSQL register for why).
    virtual int drawingsPerTransactionLimit() const { return INT_MAX; }
    // The drawings not missing that the query may find: those with attributes it may match,
    // and those that could not be read, in no particular order.
    virtual core::Result<std::vector<Entry>> entries(const EntryQuery& query) = 0;
    // The drawings whose path starts with `pathPrefix` ("/data/dwg/"). Reads only.
    virtual core::Result<FolderSummary> folderSummary(const QString& pathPrefix) = 0;
    // After a run that changed much of the register: the statistics the database plans its
    // queries by brought up to date, where it keeps any. Best effort.
    virtual void refreshStatistics() {}
};

// Opens (or makes) the SQLite register file at `path`.
core::Result<std::unique_ptr<RegisterDatabase>> openFileRegister(const QString& path);

// False when this Quillon was built without the PostgreSQL client library.
bool serverRegistersAvailable();

// Opens the register in the PostgreSQL database `conninfo` names ("host=/run/postgresql
// dbname=drawings", or a postgresql:// address), making its tables in an empty database.
core::Result<std::unique_ptr<RegisterDatabase>> openServerRegister(const QString& conninfo);

// Where a register is: a file, or a server's database when `server` is set.
struct RegisterAddress {
    QString database;
    QString server;
    QString name() const { return server.isEmpty() ? database : server; }
};
core::Result<std::unique_ptr<RegisterDatabase>> openRegisterDatabase(const RegisterAddress& where);

// A conninfo or address as it may be printed: any password in it replaced by "***".
QString printableConninfo(const QString& conninfo);

}  // namespace reg
