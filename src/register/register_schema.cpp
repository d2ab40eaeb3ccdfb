// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register_schema.h"

#include <QFileInfo>

namespace reg {
namespace {

// The first register: every later version starts from here, so a register of any age is
// brought up to date by the same steps a new one takes.
const char* const kVersion1 = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version (version) VALUES (1);
CREATE TABLE drawings (
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    size INTEGER NOT NULL,
    mtime INTEGER NOT NULL,
    hash TEXT NOT NULL,
    release TEXT NOT NULL DEFAULT '',
    read_error TEXT NOT NULL DEFAULT '',
    missing INTEGER NOT NULL DEFAULT 0,
    indexed_at INTEGER NOT NULL);
CREATE INDEX drawings_by_hash ON drawings (hash);
CREATE TABLE block_references (
    id INTEGER PRIMARY KEY,
    drawing_id INTEGER NOT NULL REFERENCES drawings (id) ON DELETE CASCADE,
    handle TEXT NOT NULL,
    space TEXT NOT NULL,
    block_name TEXT NOT NULL,
    effective_name TEXT NOT NULL,
    layer TEXT NOT NULL,
    x REAL NOT NULL,
    y REAL NOT NULL,
    z REAL NOT NULL);
CREATE INDEX block_references_by_drawing ON block_references (drawing_id);
CREATE TABLE attributes (
    id INTEGER PRIMARY KEY,
    reference_id INTEGER NOT NULL REFERENCES block_references (id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    value TEXT NOT NULL,
    handle TEXT NOT NULL);
CREATE INDEX attributes_by_reference ON attributes (reference_id);
)sql";

// The triggers that keep the value index current with the attributes it indexes.
const char* const kValueIndexTriggers = R"sql(
CREATE TRIGGER attributes_indexed AFTER INSERT ON attributes BEGIN
    INSERT INTO attribute_values (rowid, value) VALUES (new.id, new.value);
END;
CREATE TRIGGER attributes_unindexed AFTER DELETE ON attributes BEGIN
    INSERT INTO attribute_values (attribute_values, rowid, value)
        VALUES ('delete', old.id, old.value);
END;
CREATE TRIGGER attributes_reindexed AFTER UPDATE OF value ON attributes BEGIN
    INSERT INTO attribute_values (attribute_values, rowid, value)
        VALUES ('delete', old.id, old.value);
    INSERT INTO attribute_values (rowid, value) VALUES (new.id, new.value);
END;
)sql";

// Version 2: each paper-space reference's layout, and a full-text index over the values kept
// current by triggers (an external-content table: the values are not stored twice).
const char* const kVersion2 = R"sql(
ALTER TABLE block_references ADD COLUMN layout TEXT NOT NULL DEFAULT '';
CREATE VIRTUAL TABLE attribute_values USING fts5 (value, content='attributes', content_rowid='id');
INSERT INTO attribute_values (attribute_values) VALUES ('rebuild');
)sql";

// Version 3: when each folder was last indexed whole; the drawings that could not be read, which
// every search reports, found without reading every drawing's row; and the value index holds every
// three characters of each value (letter case folded as the trigram tokenizer folds it), not words,
// so that it finds a text anywhere in a value, as the search does. Without positions
// (detail=none): it answers LIKE, which is all the search asks of it, at a fraction of the size.
const char* const kVersion3 = R"sql(
CREATE TABLE indexed_folders (folder TEXT PRIMARY KEY, indexed_at INTEGER NOT NULL);
CREATE INDEX drawings_unread ON drawings (id) WHERE read_error <> '';
DROP TRIGGER attributes_indexed;
DROP TRIGGER attributes_unindexed;
DROP TRIGGER attributes_reindexed;
DROP TABLE attribute_values;
CREATE VIRTUAL TABLE attribute_values USING fts5 (value, content='attributes', content_rowid='id',
    tokenize='trigram', detail='none');
INSERT INTO attribute_values (attribute_values) VALUES ('rebuild');
)sql";

// The statements that bring a register of version `toVersion - 1` to `toVersion`.
QString stepTo(int toVersion) {
    const auto versioned = [toVersion](const char* sql) {
        return QString::fromUtf8(sql) + QString::fromUtf8(kValueIndexTriggers) +
               QStringLiteral("UPDATE schema_version SET version = %1;").arg(toVersion);
    };
    switch (toVersion) {
        case 1:
            return QString::fromUtf8(kVersion1);
        case 2:
            return versioned(kVersion2);
        case 3:
            return versioned(kVersion3);
    }
    return QString();
}

bool hasTable(Connection& connection, const QString& name) {
    Statement query =
        connection.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ?"));
    query.bind(1, name);
    return query.next();
}

bool hasAnyTable(Connection& connection) {
    Statement query = connection.prepare(QStringLiteral("SELECT 1 FROM sqlite_master"));
    return query.next();
}

}  // namespace

int schemaVersion(Connection& connection) {
    if (!hasTable(connection, QStringLiteral("schema_version"))) return 0;
    Statement query = connection.prepare(QStringLiteral("SELECT version FROM schema_version"));
    return query.next() ? static_cast<int>(query.integer(0)) : 0;
}

core::Result<std::shared_ptr<Connection>> openRegister(const QString& path) {
    auto opened = Connection::open(path, true);
    if (!opened) return opened.error();
    Connection& connection = *opened.value();
    const auto failure = [&](const QString& reason) {
        return core::Error{
            1, core::withReason(QStringLiteral("The register %1 cannot be opened.").arg(path),
                                reason)};
    };
    // WAL: searches read while an indexer writes, and a commit is one append.
    if (auto wal = connection.execute(QStringLiteral("PRAGMA journal_mode = WAL")); !wal)
        return failure(wal.error().description);
    // In WAL mode this never corrupts the file: a power cut may lose the last commits, which
    // the next run stores again from the drawings. A sync per commit would cost more.
    if (auto sync = connection.execute(QStringLiteral("PRAGMA synchronous = NORMAL")); !sync)
        return failure(sync.error().description);
    if (auto keys = connection.execute(QStringLiteral("PRAGMA foreign_keys = ON")); !keys)
        return failure(keys.error().description);

    // A register of this version is used as it is, without the write lock the steps below
    // take: a search then never waits for an index run that is writing.
    if (schemaVersion(connection) == kSchemaVersion) return opened;

    if (!connection.execute(QStringLiteral("BEGIN IMMEDIATE")))
        return failure(connection.lastError());
    int version = schemaVersion(connection);
    // Tables of another program: the register's would be mixed among them.
    if (version == 0 && hasAnyTable(connection)) {
        connection.execute(QStringLiteral("ROLLBACK"));
        return failure(QStringLiteral("it is a database, but not a register"));
    }
    if (version > kSchemaVersion) {
        connection.execute(QStringLiteral("ROLLBACK"));
        return failure(
            QStringLiteral("it was written by a newer Quillon (version %1)").arg(version));
    }
    // Each step in the same transaction as the others: a failed migration leaves the register
    // as it was.
    for (; version < kSchemaVersion; ++version) {
        if (auto step = connection.execute(stepTo(version + 1)); !step) {
            connection.execute(QStringLiteral("ROLLBACK"));
            return failure(step.error().description);
        }
    }
    if (auto commit = connection.execute(QStringLiteral("COMMIT")); !commit)
        return failure(commit.error().description);
    return opened;
}

}  // namespace reg
