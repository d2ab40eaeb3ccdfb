#include <QProcess>

#include "mainwindow/form1_fixture.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "support/office_doubles.h"

namespace {

class SendTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        out = makeFolder("out");
        setOption("TPath", out);
        setOption("FName", "0");
        setOption("Append", "0");
        load();
        window->records->append({"'A','1'", "'B','2'"}, 3);
        window->records->setHeader("'TAG','VAL'");
    }
    void selectAll() { window->recordView->selectAll(); }
    // Sends to a file of the output folder named `name`, as if typed in "New File Name".
    QByteArray sendToNewFile(const QString& name) {
        window->Text1->setText(name);
        window->Command1_Click();
        return testfiles::read(out + "/" + name);
    }
    QString out;
};

TEST_F(SendTest, TextFileHoldsHeaderAndRecords) {
    selectAll();
    EXPECT_EQ(sendToNewFile("out.txt"), "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n");
    EXPECT_EQ(window->Label4->text(), "File " + out + "/out.txt saved.");
    EXPECT_EQ(window->mstrTFile, "out.txt");
    EXPECT_TRUE(items(window->List4).contains("out.txt")) << "the new file is listed";
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SendTest, CsvFileUsesDoubleQuotesIgnoringExtensionCase) {
    selectAll();
    EXPECT_EQ(sendToNewFile("out.CSV"), "\"TAG\",\"VAL\"\r\n\"A\",\"1\"\r\n\"B\",\"2\"\r\n");
}

TEST_F(SendTest, AppendModeAddsASecondHeader) {
    window->Check2->setChecked(true);
    selectAll();
    sendToNewFile("log.txt");
    window->Command1_Click();
    EXPECT_EQ(testfiles::read(out + "/log.txt"),
              "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n");
}

TEST_F(SendTest, ClipboardCountsLineEnds) {
    window->Option4->setChecked(true);
    window->Check9->setChecked(false);
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(fakes.clipboard.text(), "'A','1'\r\n'B','2'\r\n");
    EXPECT_EQ(window->Label4->text(), "18 bytes copied to the clipboard.");
}

TEST_F(SendTest, NewFileNameInAFolderEndingWithASeparator) {
    window->mstrTPath = out + "/";
    selectAll();
    window->Text1->setText("parts.txt");
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "File " + out + "/parts.txt saved.");
    EXPECT_EQ(window->mstrTFile, "parts.txt");
}

TEST_F(SendTest, FailedWriteKeepsTheOldFileAndSaysWhy) {
    touch(out + "/keep.txt", "old content\r\n");
    QFile::setPermissions(out + "/keep.txt", QFile::ReadOwner);
    selectAll();
    window->Text1->setText("keep.txt");
    window->Command1_Click();
    EXPECT_EQ(testfiles::read(out + "/keep.txt"), "old content\r\n");
    EXPECT_TRUE(window->Label4->text().startsWith("File " + out + "/keep.txt not saved: "))
        << window->Label4->text().toStdString();

    window->mstrTPath = out + "/missing-folder";
    window->mstrTextFile.clear();
    window->Command1_Click();
    EXPECT_FALSE(window->Label4->text().endsWith(" saved."))
        << window->Label4->text().toStdString();
}

TEST_F(SendTest, CsvReadsBackThroughPythonsCsvModule) {
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    window->records->clear();
    window->records->append(
        {QString::fromUtf8("'3/4\" VALVE','a, b','Größe ✓'"), "'24\" PIPE','plain',''"});
    selectAll();
    window->Check9->setChecked(false);
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
    window->Option5->setChecked(true);
    window->Text2->setText("3");
    window->Text3->setText("2");
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data sent to Excel.");
    ASSERT_EQ(running->open.size(), 1u) << "no workbook open: a new one is added";
    auto& cells = running->open[0].second->cells["Sheet1"];
    EXPECT_EQ(cells[std::pair(3, 2)], "TAG");
    EXPECT_EQ(cells[std::pair(3, 3)], "VAL");
    EXPECT_EQ(cells[std::pair(4, 2)], "A");
    EXPECT_EQ(cells[std::pair(5, 3)], "2");
    EXPECT_EQ(cells.size(), 6u) << "only the header and two records, no spare cells";
    EXPECT_TRUE(running->visible);

    window->Check3->setChecked(true);
    window->Command1_Click();
    EXPECT_EQ(cells[std::pair(4, 2)], "VAL") << "transposed: the header runs down the first column";
    EXPECT_EQ(cells[std::pair(3, 3)], "A");
}

TEST_F(SendTest, WorkbookThatCannotBeOpenedIsNotReportedAsSent) {
    auto started = std::make_shared<fake::MemorySpreadsheet>();
    window->office = fake::officeOf(nullptr, started, {});
    touch(out + "/broken.xlsx", "not a workbook");
    window->Option5->setChecked(true);
    window->mstrExcelFile = out + "/broken.xlsx";
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data not sent to Excel: the workbook could not be opened.");
    EXPECT_TRUE(fakes.shell.calls.empty());
}

TEST_F(SendTest, SpreadsheetThatCannotBeReachedIsReported) {
    window->Option5->setChecked(true);
    selectAll();
    window->mblnBatchSend = true;
    window->Command1_Click();
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
    window->Option6->setChecked(true);
    window->mstrAccessFile = out + "/parts.db";
    window->mstrAccessTable = "Tags";
    window->Check4->setChecked(false);
    selectAll();
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data sent to Access.");
    EXPECT_EQ(db->tables["Tags"].rows,
              (std::vector<std::vector<QString>>{{"A", "1", ""}, {"B", "2", ""}}));
    EXPECT_EQ(fakes.dialogs.messageTexts().at(0),
              "1 record(s) found in table. Do you want to overwrite them with new data?");

    window->records->removeRows({1});
    window->records->append({"'C','not a number'"});
    selectAll();
    window->Check4->setChecked(true);
    window->Command1_Click();
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
    window->Option6->setChecked(true);
    window->Dir2->setPath(out);
    window->List4->setCurrentRow(0);
    window->List4_Click();
    EXPECT_EQ(window->Combo1->count(), 1);
    window->Combo1->setCurrentIndex(0);
    window->Combo1_Click();
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data sent to Access.");
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
    window->Option7->setChecked(true);
    window->Check8->setChecked(false);
    window->Check7->setChecked(true);
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data sent to Word. New document: Document1");
    ASSERT_EQ(word->open.size(), 1u) << "no document open: a new one";
    const auto& document = *word->open[0].second;
    EXPECT_TRUE(document.landscape);
    ASSERT_EQ(document.blocks.size(), 1u);
    EXPECT_EQ(document.blocks[0].text, "TAG,VAL\r\nA,1\r\nB,2\r\n");
    EXPECT_EQ(document.blocks[0].pointSize, 8);
    EXPECT_TRUE(document.blocks[0].atEnd);
    EXPECT_FALSE(document.blocks[0].table.has_value());
    EXPECT_TRUE(word->visible);

    window->Check8->setChecked(true);
    window->Check7->setChecked(false);
    window->Check9->setChecked(false);
    window->Command1_Click();
    ASSERT_EQ(word->open.size(), 1u) << "the active document is written again";
    const auto& table = document.blocks.at(1);
    EXPECT_EQ(table.text, "A\t1\r\nB\t2\r\n");
    EXPECT_FALSE(table.atEnd) << "without Append Mode the block goes first";
    ASSERT_TRUE(table.table.has_value());
    EXPECT_FALSE(table.table->headingRow) << "no tags, no heading row";
}

TEST_F(SendTest, DocumentThatCannotBeReachedIsReported) {
    window->Option7->setChecked(true);
    selectAll();
    window->Command1_Click();
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
    window->Option5->setChecked(true);
    window->Text2->setText("2");
    window->Text3->setText("3");
    selectAll();
    window->Command1_Click();
    EXPECT_EQ(window->Label4->text(), "Data sent to Excel.");
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
