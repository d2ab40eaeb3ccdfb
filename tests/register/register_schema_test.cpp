// SPDX-License-Identifier: GPL-3.0-or-later
// A register written by an earlier Quillon is brought up to date, its rows kept; a database
// that is no register, or a register of a later Quillon, is refused and left as it was.

#include "register/register_schema.h"

#include <sqlite3.h>

#include "register_fixture.h"
#include "support/qt_printers.h"

namespace {

// A register as the first version wrote it: no layouts, no full-text index.
const char* const kFirstRegister = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version VALUES (1);
CREATE TABLE drawings (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER NOT NULL,
    mtime INTEGER NOT NULL, hash TEXT NOT NULL, release TEXT NOT NULL DEFAULT '',
    read_error TEXT NOT NULL DEFAULT '', missing INTEGER NOT NULL DEFAULT 0,
    indexed_at INTEGER NOT NULL);
CREATE INDEX drawings_by_hash ON drawings (hash);
CREATE TABLE block_references (id INTEGER PRIMARY KEY, drawing_id INTEGER NOT NULL
    REFERENCES drawings (id) ON DELETE CASCADE, handle TEXT NOT NULL, space TEXT NOT NULL,
    block_name TEXT NOT NULL, effective_name TEXT NOT NULL, layer TEXT NOT NULL,
    x REAL NOT NULL, y REAL NOT NULL, z REAL NOT NULL);
CREATE INDEX block_references_by_drawing ON block_references (drawing_id);
CREATE TABLE attributes (id INTEGER PRIMARY KEY, reference_id INTEGER NOT NULL
    REFERENCES block_references (id) ON DELETE CASCADE, tag TEXT NOT NULL,
    value TEXT NOT NULL, handle TEXT NOT NULL);
CREATE INDEX attributes_by_reference ON attributes (reference_id);
INSERT INTO drawings VALUES (7, '/elsewhere/old.dwg', 10, 20, 'abc', 'AC1015', '', 1, 30);
INSERT INTO block_references VALUES (3, 7, '1F', 'PAPER', 'TITLE', 'TITLE', '0', 1, 2, 0);
INSERT INTO attributes VALUES (5, 3, 'DWGNO', 'P-1001 feed pump', '20');
)sql";

void writeDatabase(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST_F(RegisterTest, FirstVersionRegisterIsMigratedWithItsRows) {
    writeDatabase(m_database, kFirstRegister);
    index();
    auto connection = connect();
    EXPECT_EQ(reg::schemaVersion(*connection), reg::kSchemaVersion);
    EXPECT_EQ(value("SELECT path, missing FROM drawings WHERE id = 7"), "/elsewhere/old.dwg\t1");
    EXPECT_EQ(value("SELECT layout, block_name FROM block_references WHERE id = 3"), "\tTITLE");
    // The old values are in the new value index, beside those of the new run.
    EXPECT_EQ(value("SELECT rowid FROM attribute_values WHERE value LIKE '%01 FEED pu%'"), "5");
    expectValueIndexAgrees();
    EXPECT_EQ(value("SELECT count(*) FROM drawings"), "32");
    EXPECT_EQ(value("SELECT value FROM attributes WHERE id = 5"), "P-1001 feed pump");
}

TEST_F(RegisterTest, OtherDatabasesAreRefusedUntouched) {
    const struct {
        const char* name;
        const char* sql;
    } cases[] = {
        {"a later register",
         "CREATE TABLE schema_version (version INTEGER);"
         "INSERT INTO schema_version VALUES (99);"},
        {"another program's table", "CREATE TABLE Tags (DWGNO TEXT);"},
    };
    for (const auto& database : cases) {
        SCOPED_TRACE(database.name);
        const QString path = m_dir.filePath(QString(database.name) + ".sqlite");
        writeDatabase(path, database.sql);
        reg::IndexOptions options;
        options.database = path;
        options.folders = {m_folder};
        const reg::IndexSummary summary = reg::runIndex(options);
        EXPECT_FALSE(summary.opened);
        EXPECT_FALSE(summary.error.isEmpty());
        auto connection = reg::Connection::open(path, false);
        ASSERT_TRUE(connection.ok());
        reg::Statement tables = connection.value()->prepare("SELECT count(*) FROM sqlite_master");
        ASSERT_TRUE(tables.next());
        EXPECT_EQ(tables.integer(0), 1);
    }
}

}  // namespace
