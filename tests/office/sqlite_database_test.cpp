// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/sqlite_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

using office::openSqliteDatabase;

class SqliteDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("parts.db");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE Tags (ID INTEGER, TAG TEXT, VAL REAL, NOTE TEXT);"
                               "CREATE TABLE Other (A TEXT);"
                               "CREATE VIEW TagView AS SELECT * FROM Tags;"
                               "CREATE TABLE AutoIds (N INTEGER PRIMARY KEY AUTOINCREMENT);"
                               "INSERT INTO Tags VALUES (1, 'old', 2.5, NULL);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    // What the sqlite3 program itself reads from the table.
    QString dump(const QString& sql) {
        QProcess cli;
        cli.start("sqlite3", {path, sql});
        if (!cli.waitForFinished(10000)) return QStringLiteral("sqlite3 did not answer");
        return QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(SqliteDatabaseTest, ListsOrdinaryTablesOnly) {
    auto db = openSqliteDatabase(path, true);
    ASSERT_TRUE(db.ok()) << db.error().description.toStdString();
    EXPECT_EQ(db.value()->TableNames().value(), (QStringList{"Tags", "Other", "AutoIds"}))
        << "no views, no sqlite_ tables";
    EXPECT_TRUE(db.value()->Close().ok());
}

TEST_F(SqliteDatabaseTest, MissingFilesAndOtherFilesAreRefused) {
    EXPECT_FALSE(openSqliteDatabase(dir.filePath("missing.db"), true).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.db"))) << "nothing created";
    QFile text(dir.filePath("notes.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no database, just some text long enough to fill a header of one.");
    text.close();
    EXPECT_FALSE(openSqliteDatabase(dir.filePath("notes.db"), false).ok());
}

TEST_F(SqliteDatabaseTest, RowsArePositionalAndTypedAndReadBackBySqlite) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    EXPECT_EQ(table->FieldCount().value(), 4);
    EXPECT_EQ(table->FieldName(2).value(), "VAL");
    EXPECT_EQ(table->RecordCount().value(), 1);
    ASSERT_TRUE(table->DeleteAll().ok());
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(0, "7").ok());
    ASSERT_TRUE(table->SetField(1, "P-1 'pump', \"main\"").ok());
    ASSERT_TRUE(table->SetField(2, "0.25").ok());
    ASSERT_TRUE(table->Update().ok());
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(table->Close().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(dump("SELECT ID, typeof(ID), TAG, VAL, typeof(VAL), NOTE IS NULL FROM Tags"),
              "7|integer|P-1 'pump', \"main\"|0.25|real|1");
}

TEST_F(SqliteDatabaseTest, TextThatDoesNotConvertIsAnErrorAndRollsBack) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(0, "8").ok());
    ASSERT_TRUE(table->Update().ok());
    ASSERT_TRUE(table->AddNew().ok());
    const auto set = table->SetField(2, "two and a half");
    ASSERT_FALSE(set.ok());
    EXPECT_EQ(set.error().description, "Data type conversion error.");
    ASSERT_TRUE(db->Rollback().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(dump("SELECT count(*) FROM Tags"), "1") << "only the old row is left";
}

TEST_F(SqliteDatabaseTest, OthersCannotWriteWhileTheRecordsetIsOpen) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "INSERT INTO Other VALUES ('x')", nullptr, nullptr, nullptr),
              SQLITE_BUSY);
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(sqlite3_exec(other, "INSERT INTO Other VALUES ('x')", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
}

}  // namespace
