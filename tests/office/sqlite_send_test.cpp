// SPDX-License-Identifier: GPL-3.0-or-later
// A database file as a send leaves it when something goes wrong half-way: read back with the
// sqlite3 program, never with the code under test.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include "office/sqlite_database.h"

namespace {

using office::openSqliteDatabase;

class SqliteSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("parts.db");
        ASSERT_EQ(sql("CREATE TABLE Tags (ID INTEGER, TAG TEXT, VAL REAL,"
                      " NOTE TEXT NOT NULL DEFAULT 'none');"
                      "INSERT INTO Tags VALUES (1, 'old', 2.5, 'kept');"),
                  "");
    }
    // Runs `statements` with the sqlite3 program; its output, trimmed.
    QString sql(const QString& statements) {
        QProcess cli;
        cli.start("sqlite3", {path, statements});
        if (!cli.waitForFinished(10000)) return QStringLiteral("sqlite3 did not answer");
        return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError())
            .trimmed();
    }
    QString rows() { return sql("SELECT ID, TAG, VAL, NOTE FROM Tags ORDER BY rowid"); }

    QTemporaryDir dir;
    QString path;
};

TEST_F(SqliteSendTest, OldRowsAreDeletedOnlyTogetherWithTheNewRowsBeingStored) {
    auto db = openSqliteDatabase(path, false).value();
    auto table = db->OpenRecordset("Tags").value();
    ASSERT_TRUE(db->BeginTrans().ok());
    ASSERT_TRUE(table->DeleteAll().ok());
    ASSERT_TRUE(table->AddNew().ok());
    ASSERT_FALSE(table->SetField(0, "not a number").ok());
    ASSERT_TRUE(db->Rollback().ok());
    ASSERT_TRUE(table->Close().ok());
    ASSERT_TRUE(db->Close().ok());
    EXPECT_EQ(rows(), "1|old|2.5|kept") << "a failed send leaves the table as it was";

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

TEST_F(SqliteSendTest, ACommitThatAnotherConnectionBlocksFailsAndStoresNothing) {
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

TEST_F(SqliteSendTest, FieldsNotSetKeepTheirDeclaredDefault) {
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

TEST_F(SqliteSendTest, NumbersTakeTheUsersDecimalCharacter) {
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

TEST_F(SqliteSendTest, TablesAreFoundInAnyLetterCase) {
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
