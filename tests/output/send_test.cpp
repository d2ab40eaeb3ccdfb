// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>

#include "mainwindow/main_routine.h"
#include "mainwindow/main_window_fixture.h"
#include "office/office_files.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "platform/xlsx_openpyxl.h"
#include "support/office_doubles.h"

namespace {

class SendTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        out = makeFolder("out");
        setOption("TPath", out);
        setOption("FName", "0");
        setOption("Append", "0");
        load();
        window->records->append({"'A','1'", "'B','2'"}, 3);
        window->records->setHeader("'TAG','VAL'");
    }
    void selectAll() { window->recordList->selectAll(); }
    // Sends to a file of the output folder named `name`, as if typed in "New File Name".
    QByteArray sendToNewFile(const QString& name) {
        window->newFileEdit->setText(name);
        window->sendSelectedRecords();
        return testfiles::read(out + "/" + name);
    }
    QString out;
};

TEST_F(SendTest, TextFilesHoldHeaderAndRecordsInTheirFormat) {
    const QByteArray lines = "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n";
    const struct {
        QString name;
        bool append;  // sent twice: a second header follows the first records
        QByteArray expected;
    } cases[] = {
        {"out.txt", false, lines},
        {"out.CSV", false, "\"TAG\",\"VAL\"\r\n\"A\",\"1\"\r\n\"B\",\"2\"\r\n"},
        {"log.txt", true, lines + lines},
    };
    selectAll();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        window->textAppendCheck->setChecked(c.append);
        if (c.append) sendToNewFile(c.name);
        EXPECT_EQ(sendToNewFile(c.name), c.expected);
        EXPECT_EQ(window->statusLabel->text(), "File " + out + "/" + c.name + " saved.");
        EXPECT_EQ(window->m_savedTextFile, c.name);
        EXPECT_TRUE(items(window->outputFileList).contains(c.name)) << "the new file is listed";
    }
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SendTest, ClipboardCountsLineEnds) {
    window->clipboardOption->setChecked(true);
    window->includeTagsCheck->setChecked(false);
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(fakes.clipboard.text(), "'A','1'\r\n'B','2'\r\n");
    EXPECT_EQ(window->statusLabel->text(), "18 bytes copied to the clipboard.");
}

TEST_F(SendTest, NewFileNameInAFolderEndingWithASeparator) {
    window->m_textFolder = out + "/";
    selectAll();
    window->newFileEdit->setText("parts.txt");
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "File " + out + "/parts.txt saved.");
    EXPECT_EQ(window->m_savedTextFile, "parts.txt");
}

TEST_F(SendTest, FailedWriteKeepsTheOldFileAndSaysWhy) {
    touch(out + "/keep.txt", "old content\r\n");
    QFile::setPermissions(out + "/keep.txt", QFile::ReadOwner);
    selectAll();
    window->newFileEdit->setText("keep.txt");
    window->sendSelectedRecords();
    EXPECT_EQ(testfiles::read(out + "/keep.txt"), "old content\r\n");
    EXPECT_TRUE(window->statusLabel->text().startsWith("File " + out + "/keep.txt not saved: "))
        << window->statusLabel->text().toStdString();

    window->m_textFolder = out + "/missing-folder";
    window->m_textFile.clear();
    window->sendSelectedRecords();
    EXPECT_FALSE(window->statusLabel->text().endsWith(" saved."))
        << window->statusLabel->text().toStdString();
}

TEST_F(SendTest, CsvReadsBackThroughPythonsCsvModule) {
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    window->records->clear();
    window->records->append(
        {QString::fromUtf8("'3/4\" VALVE','a, b','Größe ✓'"), "'24\" PIPE','plain',''"});
    selectAll();
    window->includeTagsCheck->setChecked(false);
    sendToNewFile("values.csv");
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import csv,sys,json\n"
                  "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='utf-8')))\n"
                  "print(json.dumps(rows,ensure_ascii=True))",
                  out + "/values.csv"});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.readAllStandardOutput().trimmed(),
              "[[\"3/4\\\" VALVE\", \"a, b\", \"Gr\\u00f6\\u00dfe \\u2713\"], "
              "[\"24\\\" PIPE\", \"plain\", \"\"]]");
}

TEST_F(SendTest, SpreadsheetGetsTheGridAtRowAndColumn) {
    auto running = std::make_shared<fake::MemorySpreadsheet>();
    window->office = fake::officeOf(running, nullptr, {});
    window->spreadsheetOption->setChecked(true);
    window->rowEdit->setText("3");
    window->columnEdit->setText("2");
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Excel.");
    ASSERT_EQ(running->open.size(), 1u) << "no workbook open: a new one is added";
    auto& cells = running->open[0].second->cells["Sheet1"];
    EXPECT_EQ(cells[std::pair(3, 2)], "TAG");
    EXPECT_EQ(cells[std::pair(3, 3)], "VAL");
    EXPECT_EQ(cells[std::pair(4, 2)], "A");
    EXPECT_EQ(cells[std::pair(5, 3)], "2");
    EXPECT_EQ(cells.size(), 6u) << "only the header and two records, no spare cells";
    EXPECT_TRUE(running->visible);

    window->transposeCheck->setChecked(true);
    window->sendSelectedRecords();
    EXPECT_EQ(cells[std::pair(4, 2)], "VAL") << "transposed: the header runs down the first column";
    EXPECT_EQ(cells[std::pair(3, 3)], "A");
}

TEST_F(SendTest, WorkbookThatCannotBeOpenedIsNotReportedAsSent) {
    auto started = std::make_shared<fake::MemorySpreadsheet>();
    window->office = fake::officeOf(nullptr, started, {});
    touch(out + "/broken.xlsx", "not a workbook");
    window->spreadsheetOption->setChecked(true);
    window->m_workbook = out + "/broken.xlsx";
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(),
              "Data not sent to Excel: the workbook could not be opened.");
    EXPECT_TRUE(fakes.shell.calls.empty());
}

TEST_F(SendTest, OfficeProgramThatCannotBeReachedIsReported) {
    const QString noOffice = "429 : No office component is available in this program";
    const struct {
        QRadioButton* option;
        bool fromList;  // a list leaves out the second message
        QStringList messages;
    } cases[] = {
        {window->spreadsheetOption, true, {noOffice}},
        {window->documentOption, false, {noOffice, "Error! Unable to establish link to Word."}},
    };
    selectAll();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option->text().toStdString());
        c.option->setChecked(true);
        fakes.dialogs.clearShown();
        window->m_batchSend = c.fromList;
        window->sendSelectedRecords();
        EXPECT_EQ(fakes.dialogs.messageTexts(), c.messages);
        EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    }
}

// The old rows go only when the user agrees; the records fill the columns by position.
TEST_F(SendTest, DatabaseFileChosenInTheListHasItsRowsReplaced) {
    const QString db = out + "/parts.db";
    ASSERT_EQ(sqliteOutput(db,
                           "CREATE TABLE Tags (TAG TEXT, VAL INTEGER, NOTE TEXT);"
                           "INSERT INTO Tags VALUES ('old', 9, 'x');"),
              "");
    window->office.openDatabase = office::openSqliteDatabase;
    window->databaseOption->setChecked(true);
    window->outputFolderList->setPath(out);
    window->outputFileList->setCurrentRow(0);
    window->outputFileClicked();
    EXPECT_EQ(window->sheetOrTableCombo->count(), 1);
    window->sheetOrTableCombo->setCurrentIndex(0);
    window->sheetOrTableChosen();
    window->databaseAppendCheck->setChecked(false);
    selectAll();
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    window->sendSelectedRecords();
    EXPECT_EQ(
        fakes.dialogs.messageTexts(),
        QStringList{"1 record(s) found in table. Do you want to overwrite them with new data?"});
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Access.");
    EXPECT_EQ(sqliteOutput(db, "SELECT TAG, VAL, NOTE IS NULL FROM Tags ORDER BY rowid"),
              "A|1|1\nB|2|1");
}

// A word processor already running: a new document takes the first send, the active one the next.
// (What the blocks look like is read back from real documents in the document send tests.)
TEST_F(SendTest, RunningWordProcessorsActiveDocumentTakesTheNextSend) {
    auto word = std::make_shared<fake::MemoryWordProcessor>();
    window->office = fake::officeOf(nullptr, nullptr, {}, word);
    window->documentOption->setChecked(true);
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Word. New document: Document1");
    EXPECT_TRUE(word->visible);
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Word.");
    ASSERT_EQ(word->open.size(), 1u) << "the active document is written again";
    EXPECT_EQ(word->open[0].second->blocks.size(), 2u);
}

TEST_F(SendTest, NewWorkbookFileReceivesTheGridAtRowAndColumn) {
    SKIP_WITHOUT_OPENPYXL();
    window->office.startSpreadsheet = [this](const QString&) {
        return office::startXlsxSpreadsheet(out);
    };
    window->spreadsheetOption->setChecked(true);
    window->fitColumnsCheck->setChecked(false);
    window->rowEdit->setText("2");
    window->columnEdit->setText("3");
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Excel.");
    EXPECT_EQ(dumpWorkbook(out + "/Book1.xlsx"),
              "Sheet1!C2 str 'TAG'\nSheet1!D2 str 'VAL'\nSheet1!C3 str 'A'\nSheet1!D3 int 1\n"
              "Sheet1!C4 str 'B'\nSheet1!D4 int 2");
}

// No workbook or document chosen: the new one is made in the folder the output list shows, not
// in the program folder, and the list shows it at once.
TEST_F(SendTest, NewWorkbookOrDocumentGoesToTheFolderShownAndIsListed) {
    connectDesktopComponents(*window);
    const QString shown = makeFolder("shown");
    const struct {
        QRadioButton* option;
        const char* made;
    } cases[] = {{window->spreadsheetOption, "Book1.xlsx"},
                 {window->documentOption, "Document1.docx"}};
    selectAll();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.made);
        c.option->setChecked(true);
        window->outputFolderList->setPath(shown);
        window->sendSelectedRecords();
        EXPECT_TRUE(QFile::exists(shown + "/" + c.made))
            << window->statusLabel->text().toStdString();
        EXPECT_FALSE(QFile::exists(appDir.filePath(c.made)));
        EXPECT_EQ(items(window->outputFileList), QStringList{c.made});
    }
}

// A send that fails says so on the status line: the last send's success does not stay there.
TEST_F(SendTest, FailedSendReplacesTheLastSendsMessage) {
    const QString db = out + "/parts.db";
    ASSERT_EQ(sqliteOutput(db, "CREATE TABLE Wide (A TEXT, B TEXT); CREATE TABLE Narrow (A TEXT);"),
              "");
    window->office.openDatabase = office::openSqliteDatabase;
    window->databaseOption->setChecked(true);
    window->databaseAppendCheck->setChecked(true);
    window->m_database = db;
    selectAll();
    window->m_table = "Wide";
    window->sendSelectedRecords();
    ASSERT_EQ(window->statusLabel->text(), "Data sent to Access.");
    window->m_table = "Narrow";
    fakes.dialogs.clearShown();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(),
              "Data not sent to Access: the table Narrow has 1 field(s), the records 2.");
    EXPECT_EQ(fakes.dialogs.messageTexts(),
              QStringList{"Error! Number of fields in table and data don't match.\r\nTable: "
                          "1\r\nData: 2"});
    EXPECT_EQ(sqliteOutput(db, "SELECT count(*) FROM Narrow"), "0");

    // A program that cannot be reached has its error box, and the status line says it.
    window->spreadsheetOption->setChecked(true);
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data not sent to Excel.");
}

}  // namespace
