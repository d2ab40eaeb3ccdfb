// SPDX-License-Identifier: GPL-3.0-or-later
// Records as rows of a database table, filling its fields by position; database files made and
// read back with the sqlite3 program. A send that fails leaves the table as it was.

#include <sqlite3.h>

#include "output/sender_fixture.h"

namespace {

using output::Destination;
using platform::DialogButton;

class DatabaseSenderTest : public SenderTest {
protected:
    // The table Tags of `parts.db`, made anew by the sqlite3 program.
    output::SendRequest table(const QString& statements) {
        QFile::remove(db);
        EXPECT_EQ(sqliteOutput(db, statements), "");
        auto request = to(Destination::Database, "parts.db");
        request.table = "Tags";
        return request;
    }
    const QString db = path("parts.db");
};

TEST_F(DatabaseSenderTest, RowsAsTheTableTakesThem) {
    const char* oldRow =
        "CREATE TABLE Tags (TAG TEXT, VAL INTEGER, NOTE TEXT);"
        "INSERT INTO Tags VALUES ('old', 9, 'x');";
    const QString question =
        "1 record(s) found in table. Do you want to overwrite them with new data?";
    const QString refused = "Data not sent to the database: field VAL: Data type conversion error.";
    const QString sent = "Data sent to " + db + ", table Tags.";
    const output::SendRecords ab = records, badValue{{"'A','1'", "'B','two'"}, {}, 3},
                              emptyCells{{"'A','1',''", "'B','','x'"}, {}, 4};
    const struct {
        const char* name;
        const char* made;
        bool append, fromList;
        DialogButton answer;  // whether the old rows may go
        const output::SendRecords& records;
        QString status, messages;  // messages: the boxes' texts, joined by " | "
        const char* query;
        QString rows;
    } cases[] = {
        {"replaced when the user agrees", oldRow, false, false, DialogButton::Yes, ab, sent,
         question, "SELECT TAG, VAL, NOTE IS NULL FROM Tags", "A|1|1\nB|2|1"},
        {"kept when the user does not", oldRow, false, false, DialogButton::No, ab,
         "Data transfer to the database terminated.", question, "SELECT * FROM Tags", "old|9|x"},
        {"a value its field refuses", oldRow, false, false, DialogButton::Yes, badValue, refused,
         question + " | Problem with field VAL.\r\nData type conversion error.",
         "SELECT * FROM Tags", "old|9|x"},
        {"the same from a list", oldRow, false, true, DialogButton::None, badValue, refused, "",
         "SELECT * FROM Tags", "old|9|x"},
        {"empty cells",
         "CREATE TABLE Tags (TAG TEXT, VAL INTEGER DEFAULT 0, NOTE TEXT NOT NULL DEFAULT 'none');",
         true, false, DialogButton::None, emptyCells, sent, "", "SELECT * FROM Tags",
         "A|1|none\nB|0|x"},
        {"fewer fields than the records", "CREATE TABLE Tags (A TEXT);", true, false,
         DialogButton::None, ab,
         "Data not sent to the database: the table Tags has 1 field(s), the records 2.",
         "Error! Number of fields in table and data don't match.\r\nTable: 1\r\nData: 2",
         "SELECT count(*) FROM Tags", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        forgetWhatWasShown();
        auto request = table(c.made);
        request.append = c.append;
        request.fromList = c.fromList;
        if (c.answer != DialogButton::None) fakes.dialogs.answerButton(c.answer);
        records = c.records;
        const output::SendResult result = send(request);
        EXPECT_EQ(result.ok, c.status == sent);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(fakes.dialogs.messageTexts().join(" | "), c.messages);
        EXPECT_EQ(sqliteOutput(db, c.query + QStringLiteral(" ORDER BY rowid")), c.rows);
    }
}

TEST_F(DatabaseSenderTest, DatabaseLockedByAnotherProgramIsAFailedSend) {
    // Another program reading the file, writing to it, or holding it alone: no send may say
    // that it stored the rows, and the table keeps its rows.
    const struct {
        const char* holder;
        const char* status;  // a part of the status
    } cases[] = {
        {"BEGIN; SELECT count(*) FROM Tags;",
         "Data not sent to the database: The rows could not be stored (database is locked)."},
        {"BEGIN IMMEDIATE;", "Error opening table Tags. (database is locked)"},
        {"BEGIN EXCLUSIVE;", ": database is locked)"}};
    auto request = table(
        "CREATE TABLE Tags (TAG TEXT, VAL INTEGER);"
        "INSERT INTO Tags VALUES ('old', 9);");
    records = {{"'A','1'"}, {}, 3};
    for (const auto& [holder, expected] : cases) {
        for (const bool append : {false, true}) {
            SCOPED_TRACE(std::string(holder) + (append ? " append" : " replace"));
            forgetWhatWasShown();
            sqlite3* other = nullptr;
            ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &other), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, holder, nullptr, nullptr, nullptr), SQLITE_OK);
            request.append = append;
            request.fromList = !append;  // replacing otherwise asks first
            const output::SendResult result = send(request);
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.status.contains(expected)) << result.status.toStdString();
            if (append && QString(holder).contains("SELECT")) {
                EXPECT_EQ(fakes.dialogs.messageTexts(),
                          QStringList{"The rows could not be stored (database is locked)."})
                    << "refused as a whole: no field is to blame";
            }
            EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(other);
            EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags"), "old|9");
        }
    }
    // Once the other program is done, the same send goes through.
    EXPECT_EQ(send(request).status, "Data sent to " + db + ", table Tags.");
    EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags ORDER BY rowid"), "old|9\nA|1");
}

}  // namespace
