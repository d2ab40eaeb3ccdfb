// SPDX-License-Identifier: GPL-3.0-or-later
// Spreadsheet and database sends that must not lose or misplace data: real workbook and database
// files, read back with openpyxl and the sqlite3 program.

#include <sqlite3.h>

#include <QLocale>

#include "mainwindow/main_window_fixture.h"
#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "platform/xlsx_openpyxl.h"
#include "records/record_list_model.h"

namespace {

// The decimal character of a default locale, given back afterwards.
class PinnedLocale {
public:
    explicit PinnedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~PinnedLocale() { QLocale::setDefault(QLocale::c()); }
};

class OfficeSendFaultsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        QLocale::setDefault(QLocale::c());
        out = makeFolder("out");
        setOption("TPath", out);
        load();
        window->office.openDatabase = office::openSqliteDatabase;
        window->office.startSpreadsheet = [this](const QString&) {
            return office::startXlsxSpreadsheet(out);
        };
        window->office.startWordProcessor = [this](const QString&) {
            return office::startDocxWordProcessor(out);
        };
        window->includeTagsCheck->setChecked(false);
        window->transposeCheck->setChecked(false);
        window->fitColumnsCheck->setChecked(false);
        window->rowEdit->setText("1");
        window->columnEdit->setText("1");
    }
    // The records of an extraction, all selected; `maxFields` as the run counted them.
    void records(const QStringList& texts, qint64 maxFields,
                 const QString& header = QStringLiteral("'TAG','VAL'")) {
        window->records->clear();
        window->records->setHeader(header);
        window->records->append(texts, maxFields);
        window->selectAllRecords();
    }
    QString status() const { return window->statusLabel->text(); }

    // A database `parts.db` made by the sqlite3 program.
    QString database(const QString& statements) {
        const QString path = out + "/parts.db";
        EXPECT_EQ(sqliteOutput(path, statements), "");
        toDatabase(path);
        return path;
    }
    // Choosing the destination forgets the file, so the file is named after it.
    void toDatabase(const QString& path) {
        window->databaseOption->setChecked(true);
        window->m_database = path;
        window->m_table = QStringLiteral("Tags");
    }

    // A workbook `book.xlsx` made by openpyxl running `script` on `wb` (its one sheet `ws`).
    QString workbook(const QString& script) {
        const QString path = out + "/book.xlsx";
        EXPECT_EQ(runPython("import sys, openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\n" +
                                script + "\nwb.save(sys.argv[1])",
                            {path}),
                  "");
        window->spreadsheetOption->setChecked(true);
        window->m_workbook = path;
        return path;
    }

    QString out;
};

TEST_F(OfficeSendFaultsTest, DatabaseSendThatFailsLeavesTheTableAsItWas) {
    const QString db = database(
        "CREATE TABLE Tags (TAG TEXT, VAL INTEGER, NOTE TEXT);"
        "INSERT INTO Tags VALUES ('old', 9, 'mine');");
    records({"'A','1'", "'B','two'"}, 3);
    window->databaseAppendCheck->setChecked(false);
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data not sent to Access: field VAL: Data type conversion error.");
    EXPECT_EQ(fakes.dialogs.messageTexts().last(),
              "Problem with field VAL.\r\nData type conversion error.");
    EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags"), "old|9|mine")
        << "the old rows are still there";

    // The same in a drawing list's send: no question, the same outcome.
    window->m_batchSend = true;
    window->sendSelectedRecords();
    window->m_batchSend = false;
    EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags"), "old|9|mine");
    EXPECT_TRUE(status().startsWith("Data not sent to Access: ")) << status().toStdString();
}

TEST_F(OfficeSendFaultsTest, DatabaseLockedByAnotherProgramIsAFailedSend) {
    // Another program reading the file, writing to it, or holding it alone: no send may say
    // that it stored the rows, and the table keeps its rows.
    const struct {
        const char* holder;
        const char* status;  // a part of the status line
    } cases[] = {{"BEGIN; SELECT count(*) FROM Tags;",
                  "Data not sent to Access: The rows could not be stored (database is locked)."},
                 {"BEGIN IMMEDIATE;", "Error opening table Tags. (database is locked)"},
                 {"BEGIN EXCLUSIVE;", ": database is locked)"}};
    const QString db = database(
        "CREATE TABLE Tags (TAG TEXT, VAL INTEGER);"
        "INSERT INTO Tags VALUES ('old', 9);");
    records({"'A','1'"}, 3);
    for (const auto& [holder, expected] : cases) {
        for (const bool append : {false, true}) {
            SCOPED_TRACE(std::string(holder) + (append ? " append" : " replace"));
            sqlite3* other = nullptr;
            ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &other), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, holder, nullptr, nullptr, nullptr), SQLITE_OK);
            window->databaseAppendCheck->setChecked(append);
            window->m_batchSend = !append;  // replacing from the window would ask first
            window->statusLabel->clear();
            window->sendSelectedRecords();
            EXPECT_TRUE(status().contains(expected)) << status().toStdString();
            if (append && QString(holder).contains("SELECT")) {
                // The rows were refused as a whole: no field is to blame.
                EXPECT_EQ(fakes.dialogs.messageTexts().last(),
                          "The rows could not be stored (database is locked).");
            }
            EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(other);
            EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags"), "old|9");
        }
    }
    // Once the other program is done, the same send goes through.
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data sent to Access.");
    EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags ORDER BY rowid"), "old|9\nA|1");
}

TEST_F(OfficeSendFaultsTest, EmptyCellsLeaveTheColumnsDefault) {
    const QString db = database(
        "CREATE TABLE Tags (TAG TEXT, VAL INTEGER DEFAULT 0, NOTE TEXT NOT NULL DEFAULT 'none');");
    records({"'A','1',''", "'B','','x'"}, 4);
    window->databaseAppendCheck->setChecked(true);
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data sent to Access.");
    EXPECT_EQ(sqliteOutput(db, "SELECT TAG, VAL, NOTE FROM Tags ORDER BY rowid"),
              "A|1|none\nB|0|x");
}

TEST_F(OfficeSendFaultsTest, SpaceDelimitedRecordsAreRefused) {
    SKIP_WITHOUT_OPENPYXL();
    const QString db = database(
        "CREATE TABLE Tags (TAG TEXT, VAL TEXT); INSERT INTO Tags "
        "VALUES ('old', 'row');");
    const auto made =
        office::startDocxWordProcessor(makeFolder("documents")).value()->AddDocument();
    ASSERT_TRUE(made.ok());
    const QString document = made.value()->FullName().value();
    const QByteArray documentBytes = testfiles::read(document);
    // Only space-delimited records (no field count), then a mixed selection.
    const std::pair<QStringList, qint64> selections[] = {{{"A  1", "B  2"}, 0},
                                                         {{"'A','1'", "B  2"}, 3}};
    for (const auto& [texts, maxFields] : selections) {
        SCOPED_TRACE(texts.join(" | ").toStdString());
        records(texts, maxFields);
        toDatabase(db);
        window->databaseAppendCheck->setChecked(false);
        window->m_batchSend = true;
        window->sendSelectedRecords();
        EXPECT_EQ(status(),
                  "Data not sent to Access: space-delimited records have no fields to "
                  "send.");
        EXPECT_EQ(sqliteOutput(db, "SELECT * FROM Tags"), "old|row");

        window->spreadsheetOption->setChecked(true);
        window->m_workbook.clear();
        window->sendSelectedRecords();
        EXPECT_EQ(status(),
                  "Data not sent to Excel: space-delimited records have no fields to send.");
        EXPECT_FALSE(QFile::exists(out + "/Book1.xlsx")) << "no workbook made for nothing";

        window->documentOption->setChecked(true);
        for (const QString& chosen : {QString(), document}) {
            window->m_document = chosen;
            window->sendSelectedRecords();
            EXPECT_EQ(status(),
                      "Data not sent to Word: space-delimited records have no fields to send.");
        }
        EXPECT_FALSE(QFile::exists(out + "/Document1.docx")) << "no document made for nothing";
        EXPECT_EQ(testfiles::read(document), documentBytes) << "not turned landscape";
    }
}

// Scripts and containers often run as root, whom permissions do not stop: a file without any
// write permission is refused by the write bits alone, by every destination that writes files,
// and keeps its bytes and its mode.
TEST_F(OfficeSendFaultsTest, FilesWithoutWritePermissionAreRefusedAlsoForRoot) {
    touch(out + "/parts.txt", "old content\r\n");
    const auto book = office::startXlsxSpreadsheet(out).value()->AddWorkbook();
    const auto document = office::startDocxWordProcessor(out).value()->AddDocument();
    ASSERT_TRUE(book.ok() && document.ok());
    const struct {
        const char* name;
        QRadioButton* destination;
        QString file;
        QString status;  // how the status line begins
    } cases[] = {
        {"text file", window->textFileOption, out + "/parts.txt",
         "File " + out + "/parts.txt not saved: "},
        {"workbook", window->spreadsheetOption, book.value()->FullName().value(),
         "Data not sent to Excel: "},
        {"document", window->documentOption, document.value()->FullName().value(),
         "Data not sent to Word: "},
    };
    records({"'A','1'"}, 3);
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QFile::setPermissions(c.file, readOnly));
        const QByteArray before = testfiles::read(c.file);
        const auto mode = QFile::permissions(c.file);
        c.destination->setChecked(true);
        window->newFileEdit->setText("parts.txt");
        window->m_workbook = window->m_document = c.file;
        window->m_batchSend = true;
        window->sendSelectedRecords();
        EXPECT_TRUE(status().startsWith(c.status)) << status().toStdString();
        EXPECT_TRUE(status().contains("read-only")) << status().toStdString();
        EXPECT_EQ(testfiles::read(c.file), before);
        EXPECT_EQ(QFile::permissions(c.file), mode);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 3) << "nothing left";
    }
}

TEST_F(OfficeSendFaultsTest, MissingSheetIsReportedAndNothingIsWritten) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book =
        workbook("ws.title = 'Data'\nws['A1'] = 'keep'\nwb.create_sheet('Other')\nwb.active = 0");
    records({"'A','1'"}, 3);
    window->m_sheet = QStringLiteral("Missing");
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data not sent to Excel: sheet Missing not found.");
    EXPECT_EQ(dumpWorkbook(book), "Data!A1 str 'keep'");
    EXPECT_TRUE(fakes.shell.calls.empty()) << "nothing to show";

    window->m_sheet = QStringLiteral("OTHER");
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data sent to Excel.");
    EXPECT_EQ(dumpWorkbook(book), "Data!A1 str 'keep'\nOther!A1 str 'A'\nOther!B1 int 1");
}

TEST_F(OfficeSendFaultsTest, OnlyTextsThatReadBackTheSameBecomeNumbers) {
    SKIP_WITHOUT_OPENPYXL();
    const PinnedLocale german(QLocale(QLocale::German, QLocale::Germany));
    const QString book = workbook("");
    records({"'007','1E3','3,5','12','3.5','-0,25','0042-A'"}, 8);
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data sent to Excel.");
    EXPECT_EQ(dumpWorkbook(book),
              "Sheet!A1 str '007'\n"
              "Sheet!B1 str '1E3'\n"
              "Sheet!C1 float 3.5\n"
              "Sheet!D1 int 12\n"
              "Sheet!E1 str '3.5'\n"
              "Sheet!F1 float -0.25\n"
              "Sheet!G1 str '0042-A'");
}

TEST_F(OfficeSendFaultsTest, NoValueGoesIntoACellAMergeCovers) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book = workbook("ws['A2'] = 'merged'\nws.merge_cells('A2:B2')");
    window->includeTagsCheck->setChecked(true);
    records({"'A','1'"}, 3);
    window->sendSelectedRecords();
    EXPECT_EQ(status(),
              "Data not sent to Excel: Cannot write into the merged cells A2:B2: only their first "
              "cell is shown.");
    EXPECT_EQ(dumpWorkbook(book), "Sheet!A2 str 'merged'");
}

TEST_F(OfficeSendFaultsTest, RowAndColumnTakeTheirLeadingNumber) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book = workbook("ws['A1'] = 'first row'");
    records({"'A','1'"}, 3);
    window->rowEdit->setText("3abc");
    window->columnEdit->setText("2x");
    window->sendSelectedRecords();
    EXPECT_EQ(status(), "Data sent to Excel.");
    EXPECT_EQ(dumpWorkbook(book), "Sheet!A1 str 'first row'\nSheet!B3 str 'A'\nSheet!C3 int 1");
}

}  // namespace
