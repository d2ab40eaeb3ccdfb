// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/sqlite_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLocale>
#include <QTemporaryDir>

#include "office_files.h"

namespace {

using office::openSqliteDatabase;

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
    QString sql(const QString& statements) const { return sqliteOutput(path, statements); }
    QString rows() const { return sql("SELECT ID, TAG, VAL, NOTE FROM Tags ORDER BY rowid"); }

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
    EXPECT_EQ(sql("SELECT ID, typeof(ID), TAG, VAL, typeof(VAL), NOTE FROM Tags"),
              "7|integer|P-1 'pump', \"main\"|0.25|real|none");
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
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(0, "8").ok());
    ASSERT_TRUE(table->Update().ok());
    ASSERT_TRUE(table->AddNew().ok());
    const auto refused = table->SetField(0, "not a number");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().description, "Data type conversion error.");
    ASSERT_TRUE(db->Rollback().ok());
    ASSERT_TRUE(table->Close().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(rows(), "1|old|2.5|kept") << "a failed send, stored row and all, leaves the table";

    db = openSqliteDatabase(path, false).value();
    table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(0, "2").ok());
    ASSERT_TRUE(table->Update().ok());
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(db->Close().ok());
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
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(1, "new").ok());
    ASSERT_TRUE(table->Update().ok());
    const auto committed = db->CommitTrans();
    ASSERT_FALSE(committed.ok()) << "nothing was stored, so the commit cannot succeed";
    EXPECT_TRUE(committed.error().description.contains("locked"))
        << committed.error().description.toStdString();
    EXPECT_TRUE(db->Rollback().ok());
    EXPECT_TRUE(db->Close().ok());

    EXPECT_EQ(sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(reader);
    EXPECT_EQ(rows(), "1|old|2.5|kept");
}

TEST_F(SqliteDatabaseTest, FieldsNotSetKeepTheirDeclaredDefault) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->SetField(1, "P-1").ok());
    const auto updated = table->Update();
    ASSERT_TRUE(updated.ok()) << updated.error().description.toStdString();
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_TRUE(table->Update().ok()) << "a row with no field set takes every default";
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(sql("SELECT quote(ID), TAG, quote(VAL), NOTE FROM Tags ORDER BY rowid"),
              "1|old|2.5|kept\nNULL|P-1|NULL|none\nNULL||NULL|none");
}

// The decimal character of a default locale, given back afterwards.
class PinnedLocale {
public:
    explicit PinnedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~PinnedLocale() { QLocale::setDefault(QLocale::system()); }
};

TEST_F(SqliteDatabaseTest, NumbersTakeTheUsersDecimalCharacter) {
    const struct {
        const char* value;
        const char* stored;  // nullptr: a conversion error
    } cases[] = {
        {"3,5", "3.5"},       {"-0,25", "-0.25"}, {"7", "7.0"},
        {"3.5", "3.5"},  // the point reads as a decimal point too
        {"1.000,5", nullptr}, {"3,5,1", nullptr}, {"drei", nullptr},
    };
    const PinnedLocale german(QLocale(QLocale::German, QLocale::Germany));
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    QStringList expected;
    for (const auto& c : cases) {
        ASSERT_TRUE(table->AddNew().ok());
        const auto set = table->SetField(2, QString::fromUtf8(c.value));
        if (!c.stored) {
            ASSERT_FALSE(set.ok()) << c.value;
            EXPECT_EQ(set.error().description, "Data type conversion error.");
            continue;
        }
        ASSERT_TRUE(set.ok()) << c.value;
        ASSERT_TRUE(table->Update().ok());
        expected << QString::fromUtf8(c.stored) + "|real";
    }
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(sql("SELECT VAL, typeof(VAL) FROM Tags ORDER BY rowid"), expected.join('\n'));
}

TEST_F(SqliteDatabaseTest, TablesAreFoundInAnyLetterCase) {
    auto db = openSqliteDatabase(path, false).value();
    auto upper = db->OpenRecordset("TAGS");
    ASSERT_TRUE(upper.ok()) << "a list file names the table in upper case";
    EXPECT_EQ(upper.value()->FieldName(3).value(), "NOTE");
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(upper.value()->AddNew().ok());
    ASSERT_TRUE(upper.value()->SetField(1, "upper").ok());
    ASSERT_TRUE(upper.value()->Update().ok());
    ASSERT_TRUE(db->CommitTrans().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(sql("SELECT TAG FROM Tags ORDER BY rowid"), "old\nupper");
    EXPECT_FALSE(openSqliteDatabase(path, false).value()->OpenRecordset("TAGS3").ok());
}

}  // namespace
