// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/sqlite_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLocale>
#include <QTemporaryDir>
#include <map>

#include "office_files.h"

namespace {

using office::openSqliteDatabase;
using Row = std::map<int, QString>;  // field values by position; the others are not set

// A database made by the sqlite3 program, and read back with it, never with the code under test.
class SqliteDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("parts.db");
        ASSERT_EQ(sql("CREATE TABLE Tags (ID INTEGER, TAG TEXT, VAL REAL,"
                      " NOTE TEXT NOT NULL DEFAULT 'none');"
                      "CREATE TABLE Other (A TEXT);"
                      "CREATE VIEW TagView AS SELECT * FROM Tags;"
                      "CREATE TABLE AutoIds (N INTEGER PRIMARY KEY AUTOINCREMENT);"
                      "INSERT INTO Tags VALUES (1, 'old', 2.5, 'kept');"),
                  "");
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    QString sql(const QString& statements) const { return sqliteOutput(path, statements); }
    QString rows() const { return sql("SELECT ID, TAG, VAL, NOTE FROM Tags ORDER BY rowid"); }

    static void addRow(office::Recordset& table, const Row& row) {
        ASSERT_TRUE(table.AddNew().ok());
        for (const auto& [index, value] : row) {
            const auto set = table.SetField(index, value);
            ASSERT_TRUE(set.ok()) << value.toStdString() << ": "
                                  << set.error().description.toStdString();
        }
        const auto updated = table.Update();
        ASSERT_TRUE(updated.ok()) << updated.error().description.toStdString();
    }
    // Stores `rows` in `table` (named in any letter case) in one transaction, after deleting the
    // old ones when `replace`.
    void store(const QString& table, const std::vector<Row>& rows, bool replace = false) const {
        auto db = openSqliteDatabase(path, false).value();
        auto recordset = db->OpenRecordset(table);
        ASSERT_TRUE(recordset.ok()) << table.toStdString();
        ASSERT_TRUE(db->BeginTrans().ok());
        EXPECT_TRUE(!replace || recordset.value()->DeleteAll().ok());
        for (const Row& row : rows) ASSERT_NO_FATAL_FAILURE(addRow(*recordset.value(), row));
        ASSERT_TRUE(db->CommitTrans().ok());
        ASSERT_TRUE(recordset.value()->Close().ok());
        ASSERT_TRUE(db->Close().ok());
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(SqliteDatabaseTest, OrdinaryTablesAreListedAndFoundInAnyLetterCase) {
    auto db = openSqliteDatabase(path, true);
    ASSERT_TRUE(db.ok()) << db.error().description.toStdString();
    EXPECT_EQ(db.value()->TableNames().value(), (QStringList{"Tags", "Other", "AutoIds"}))
        << "no views, no sqlite_ tables";
    EXPECT_EQ(db.value()->OpenRecordset("TAGS").value()->FieldName(3).value(), "NOTE");
    EXPECT_FALSE(db.value()->OpenRecordset("TAGS3").ok());
    EXPECT_TRUE(db.value()->Close().ok());
    store("TAGS", {{{1, "upper"}}});  // a list file names the table in upper case
    EXPECT_EQ(sql("SELECT TAG FROM Tags ORDER BY rowid"), "old\nupper");

    EXPECT_FALSE(openSqliteDatabase(dir.filePath("missing.db"), true).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.db"))) << "nothing created";
    QFile text(dir.filePath("notes.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no database, just some text long enough to fill a header of one.");
    text.close();
    EXPECT_FALSE(openSqliteDatabase(dir.filePath("notes.db"), false).ok());
}

TEST_F(SqliteDatabaseTest, RowsArePositionalAndTypedAndFieldsNotSetKeepTheirDefault) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    EXPECT_EQ(table->FieldCount().value(), 4);
    EXPECT_EQ(table->FieldName(2).value(), "VAL");
    EXPECT_EQ(table->RecordCount().value(), 1);
    ASSERT_TRUE(db->Close().ok());
    // A row with no field set takes every default.
    store("Tags", {{{0, "7"}, {1, "P-1 'pump', \"main\""}, {2, "0.25"}}, {{1, "P-1"}}, {}});
    EXPECT_EQ(sql("SELECT quote(ID), typeof(ID), TAG, quote(VAL), typeof(VAL), NOTE FROM Tags "
                  "ORDER BY rowid"),
              "1|integer|old|2.5|real|kept\n"
              "7|integer|P-1 'pump', \"main\"|0.25|real|none\n"
              "NULL|null|P-1|NULL|null|none\n"
              "NULL|null||NULL|null|none");
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

TEST_F(SqliteDatabaseTest, OldRowsAreDeletedOnlyTogetherWithTheNewRowsBeingStored) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    addRow(*table, {{0, "8"}});
    ASSERT_TRUE(table->AddNew().ok());
    const auto refused = table->SetField(0, "not a number");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().description, "Data type conversion error.");
    ASSERT_TRUE(db->Rollback().ok());
    ASSERT_TRUE(table->Close().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(rows(), "1|old|2.5|kept") << "a failed send, stored row and all, leaves the table";

    store("Tags", {{{0, "2"}}}, true);
    EXPECT_EQ(rows(), "2|||none");
}

TEST_F(SqliteDatabaseTest, ACommitThatAnotherConnectionBlocksFailsAndStoresNothing) {
    // Another program in the middle of reading the file: it holds a shared lock, so the rows
    // cannot be written until it is done.
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM Tags;", nullptr, nullptr, nullptr),
              SQLITE_OK);

    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    addRow(*table, {{1, "new"}});
    const auto committed = db->CommitTrans();
    ASSERT_FALSE(committed.ok()) << "nothing was stored, so the commit cannot succeed";
    EXPECT_TRUE(committed.error().description.contains("locked"))
        << committed.error().description.toStdString();
    EXPECT_TRUE(db->Rollback().ok());
    // Once the reader is done, nothing of the failed send may be stored after all.
    EXPECT_EQ(sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(reader);
    EXPECT_TRUE(db->Close().ok());
    EXPECT_EQ(rows(), "1|old|2.5|kept");
}

TEST_F(SqliteDatabaseTest, NumbersTakeTheUsersDecimalCharacter) {
    const struct {
        const char* value;
        const char* stored;  // nullptr: a conversion error
    } cases[] = {
        {"3,5", "3.5"},       {"-0,25", "-0.25"}, {"7", "7.0"},
        {"3.5", "3.5"},  // the point reads as a decimal point too
        {"1.000,5", nullptr}, {"3,5,1", nullptr}, {"drei", nullptr},
    };
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    QStringList expected;
    for (const auto& c : cases) {
        ASSERT_TRUE(table->AddNew().ok());
        const auto set = table->SetField(2, QString::fromUtf8(c.value));
        EXPECT_EQ(set.ok(), c.stored != nullptr) << c.value;
        if (!set.ok()) {
            EXPECT_EQ(set.error().description, "Data type conversion error.");
            continue;
        }
        ASSERT_TRUE(table->Update().ok());
        expected << QString::fromUtf8(c.stored) + "|real";
    }
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(sql("SELECT VAL, typeof(VAL) FROM Tags ORDER BY rowid"), expected.join('\n'));
}

}  // namespace
