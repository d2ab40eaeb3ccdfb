// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>

#include "mainwindow/main_window_fixture.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
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

TEST_F(SendTest, TextFileHoldsHeaderAndRecords) {
    selectAll();
    EXPECT_EQ(sendToNewFile("out.txt"), "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n");
    EXPECT_EQ(window->statusLabel->text(), "File " + out + "/out.txt saved.");
    EXPECT_EQ(window->m_savedTextFile, "out.txt");
    EXPECT_TRUE(items(window->outputFileList).contains("out.txt")) << "the new file is listed";
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SendTest, CsvFileUsesDoubleQuotesIgnoringExtensionCase) {
    selectAll();
    EXPECT_EQ(sendToNewFile("out.CSV"), "\"TAG\",\"VAL\"\r\n\"A\",\"1\"\r\n\"B\",\"2\"\r\n");
}

TEST_F(SendTest, AppendModeAddsASecondHeader) {
    window->textAppendCheck->setChecked(true);
    selectAll();
    sendToNewFile("log.txt");
    window->sendSelectedRecords();
    EXPECT_EQ(testfiles::read(out + "/log.txt"),
              "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n");
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

TEST_F(SendTest, SpreadsheetThatCannotBeReachedIsReported) {
    window->spreadsheetOption->setChecked(true);
    selectAll();
    window->m_batchSend = true;
    window->sendSelectedRecords();
    EXPECT_EQ(fakes.dialogs.messageTexts(),
              QStringList{"429 : No office component is available in this program"})
        << "a batch leaves out the second message";
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SendTest, DatabaseRowsArePositionalAndAllOrNothing) {
    auto db = std::make_shared<fake::MemoryDatabase>();
    db->tableOrder = {"Tags"};
    db->tables["Tags"].fields = {{"TAG"}, {"VAL", true}, {"NOTE"}};
    db->tables["Tags"].rows = {{"old", "9", ""}};
    touch(out + "/parts.db");
    window->office = fake::officeOf(nullptr, nullptr, {{out + "/parts.db", db}});
    window->databaseOption->setChecked(true);
    window->m_database = out + "/parts.db";
    window->m_table = "Tags";
    window->databaseAppendCheck->setChecked(false);
    selectAll();
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Access.");
    EXPECT_EQ(db->tables["Tags"].rows,
              (std::vector<std::vector<QString>>{{"A", "1", ""}, {"B", "2", ""}}));
    EXPECT_EQ(fakes.dialogs.messageTexts().at(0),
              "1 record(s) found in table. Do you want to overwrite them with new data?");

    window->records->removeRecords({1});
    window->records->append({"'C','not a number'"});
    selectAll();
    window->databaseAppendCheck->setChecked(true);
    window->sendSelectedRecords();
    EXPECT_EQ(db->tables["Tags"].rows.size(), 2u) << "the failed send added nothing";
    EXPECT_EQ(db->rollbacks, 1);
    EXPECT_EQ(fakes.dialogs.messageTexts().last(),
              "Problem with field VAL.\r\nData type conversion error.");
}

}  // namespace

namespace {

TEST_F(SendTest, DatabaseFileReceivesTheRecords) {
    const QString db = out + "/parts.db";
    QProcess create;
    create.start("sqlite3", {db, "CREATE TABLE Tags (TAG TEXT, VAL INTEGER, NOTE TEXT);"});
    ASSERT_TRUE(create.waitForFinished(10000));
    window->office.openDatabase = office::openSqliteDatabase;
    window->databaseOption->setChecked(true);
    window->outputFolderList->setPath(out);
    window->outputFileList->setCurrentRow(0);
    window->outputFileClicked();
    EXPECT_EQ(window->sheetOrTableCombo->count(), 1);
    window->sheetOrTableCombo->setCurrentIndex(0);
    window->sheetOrTableChosen();
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Access.");
    QProcess read;
    read.start("sqlite3", {db, "SELECT TAG, VAL, NOTE IS NULL FROM Tags ORDER BY rowid"});
    ASSERT_TRUE(read.waitForFinished(10000));
    EXPECT_EQ(read.readAllStandardOutput(), "A|1|1\nB|2|1\n");
}

}  // namespace

namespace {

TEST_F(SendTest, DocumentGetsLinesOrATable) {
    auto word = std::make_shared<fake::MemoryWordProcessor>();
    window->office = fake::officeOf(nullptr, nullptr, {}, word);
    window->documentOption->setChecked(true);
    window->createTableCheck->setChecked(false);
    window->documentAppendCheck->setChecked(true);
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Word. New document: Document1");
    ASSERT_EQ(word->open.size(), 1u) << "no document open: a new one";
    const auto& document = *word->open[0].second;
    EXPECT_TRUE(document.landscape);
    ASSERT_EQ(document.blocks.size(), 1u);
    EXPECT_EQ(document.blocks[0].text, "TAG,VAL\r\nA,1\r\nB,2\r\n");
    EXPECT_EQ(document.blocks[0].pointSize, 8);
    EXPECT_TRUE(document.blocks[0].atEnd);
    EXPECT_FALSE(document.blocks[0].table.has_value());
    EXPECT_TRUE(word->visible);

    window->createTableCheck->setChecked(true);
    window->documentAppendCheck->setChecked(false);
    window->includeTagsCheck->setChecked(false);
    window->sendSelectedRecords();
    ASSERT_EQ(word->open.size(), 1u) << "the active document is written again";
    const auto& table = document.blocks.at(1);
    EXPECT_EQ(table.text, "A\t1\r\nB\t2\r\n");
    EXPECT_FALSE(table.atEnd) << "without Append Mode the block goes first";
    ASSERT_TRUE(table.table.has_value());
    EXPECT_FALSE(table.table->headingRow) << "no tags, no heading row";
}

TEST_F(SendTest, DocumentThatCannotBeReachedIsReported) {
    window->documentOption->setChecked(true);
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(fakes.dialogs.messageTexts(),
              (QStringList{"429 : No office component is available in this program",
                           "Error! Unable to establish link to Word."}));
}

}  // namespace

namespace {

TEST_F(SendTest, WorkbookFileReceivesTheGridAndReadsBackInOpenpyxl) {
    QProcess probe;
    probe.start("/usr/bin/python3", {"-c", "import openpyxl"});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
        GTEST_SKIP() << "no python3-openpyxl for /usr/bin/python3";
    }
    window->office.startSpreadsheet = [this] { return office::startXlsxSpreadsheet(out); };
    window->spreadsheetOption->setChecked(true);
    window->rowEdit->setText("2");
    window->columnEdit->setText("3");
    selectAll();
    window->sendSelectedRecords();
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Excel.");
    QProcess read;
    read.start("/usr/bin/python3",
               {"-c",
                "import openpyxl,sys\n"
                "ws=openpyxl.load_workbook(sys.argv[1]).active\n"
                "print([[c.value for c in r] for r in ws.iter_rows(min_row=2,max_row=4,"
                "min_col=3,max_col=4)])",
                out + "/Book1.xlsx"});
    ASSERT_TRUE(read.waitForFinished(30000));
    EXPECT_EQ(read.readAllStandardOutput().trimmed(), "[['TAG', 'VAL'], ['A', 1], ['B', 2]]");
}

}  // namespace
