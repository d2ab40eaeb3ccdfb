// SPDX-License-Identifier: GPL-3.0-or-later
// "8) GO!" through the window with the desktop's components: each destination's controls become
// what is sent and where, and the window shows the result. What each destination writes is
// tested with its sender.

#include "mainwindow/main_routine.h"
#include "mainwindow/main_window_fixture.h"
#include "office/office_files.h"
#include "platform/xlsx_openpyxl.h"

namespace {

class SendCommandTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        out = makeFolder("out");
        // A folder ending with a separator is joined without doubling it.
        for (const char* key : {"TPath", "EPath", "APath", "WPath"}) setOption(key, out + "/");
        setOption("FName", "0");
        setOption("Append", "0");
        office = desktopServices(fakes.platform()).office;
    }
    void loadWithRecords() {
        load();
        ui.records->append({"'A','1'", "'B','2'"}, 3);
        ui.records->setHeader("'TAG','VAL'");
        ui.recordList->selectAll();
    }
    void chooseFile(const QString& name) {
        const auto found = ui.outputFileList->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        ui.outputFileList->setCurrentItem(found.first());
    }
    void chooseSheetOrTable(const QString& name) {
        const int index = ui.sheetOrTableCombo->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        ui.sheetOrTableCombo->setCurrentIndex(index);
        emit ui.sheetOrTableCombo->activated(index);
    }
    QString send() {
        ui.sendButton->click();
        EXPECT_EQ(fakes.ui.hourglassDepth, 0);
        return ui.statusLabel->text();
    }

    QString out;
};

TEST_F(SendCommandTest, TextFileAndClipboardFollowTheirControls) {
    loadWithRecords();
    ui.newFileEdit->setText("parts.txt");
    EXPECT_EQ(send(), "File " + out + "/parts.txt saved.");
    const QByteArray lines = "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n";
    EXPECT_EQ(testfiles::read(out + "/parts.txt"), lines);
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).savedFile, "parts.txt");
    EXPECT_TRUE(items(ui.outputFileList).contains("parts.txt")) << "the new file is listed";

    ui.textAppendCheck->setChecked(true);
    send();
    EXPECT_EQ(testfiles::read(out + "/parts.txt"), lines + lines);

    ui.clipboardOption->setChecked(true);
    ui.includeTagsCheck->setChecked(false);
    EXPECT_EQ(send(), "18 bytes copied to the clipboard.");
    EXPECT_EQ(fakes.clipboard.text(), "'A','1'\r\n'B','2'\r\n");
}

TEST_F(SendCommandTest, WorkbookSheetRowAndColumnComeFromTheControls) {
    SKIP_WITHOUT_OPENPYXL();
    ASSERT_EQ(
        runPython("import openpyxl, sys\nbook = openpyxl.Workbook()\nbook.create_sheet('Parts')\n"
                  "book.save(sys.argv[1])",
                  {out + "/book.xlsx"}),
        "");
    loadWithRecords();
    ui.spreadsheetOption->setChecked(true);
    chooseFile("book.xlsx");
    chooseSheetOrTable("Parts");  // not the active sheet
    ui.rowEdit->setText("3abc");  // as a list file may leave it: the leading number counts
    ui.columnEdit->setText("2x");
    ui.transposeCheck->setChecked(true);
    ui.fitColumnsCheck->setChecked(false);
    EXPECT_EQ(send(), "Data sent to " + out + "/book.xlsx, sheet Parts.");
    EXPECT_EQ(dumpWorkbook(out + "/book.xlsx"),
              "Parts!B3 str 'TAG'\nParts!C3 str 'A'\nParts!D3 str 'B'\n"
              "Parts!B4 str 'VAL'\nParts!C4 int 1\nParts!D4 int 2");
}

TEST_F(SendCommandTest, DatabaseTableChosenInTheWindowHasItsRowsReplaced) {
    const QString db = out + "/parts.db";
    ASSERT_EQ(sqliteOutput(db,
                           "CREATE TABLE Tags (TAG TEXT, VAL INTEGER);"
                           "CREATE TABLE Narrow (TAG TEXT);"
                           "INSERT INTO Tags VALUES ('old', 9);"),
              "");
    loadWithRecords();
    ui.databaseOption->setChecked(true);
    chooseFile("parts.db");
    EXPECT_EQ(ui.sheetOrTableCombo->count(), 2);
    EXPECT_FALSE(ui.sendButton->isEnabled()) << "no table chosen yet";
    chooseSheetOrTable("Tags");
    ui.databaseAppendCheck->setChecked(false);
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    EXPECT_EQ(send(), "Data sent to " + db + ", table Tags.");
    EXPECT_EQ(sqliteOutput(db, "SELECT TAG, VAL FROM Tags ORDER BY rowid"), "A|1\nB|2");

    // A failed send replaces the last one's message.
    chooseSheetOrTable("Narrow");
    ui.databaseAppendCheck->setChecked(true);
    EXPECT_EQ(send(),
              "Data not sent to the database: the table Narrow has 1 field(s), the records 2.");
}

// No workbook or document chosen: the new one is made in the folder the output list shows, not
// in the program folder, and the list shows it at once.
TEST_F(SendCommandTest, NewWorkbookOrDocumentGoesToTheFolderShownAndIsListed) {
    loadWithRecords();
    const QString shown = makeFolder("shown");
    const struct {
        QRadioButton* option;
        const char* made;
        QString status;
    } cases[] = {
        {ui.spreadsheetOption, "Book1.xlsx", "Data sent to "},
        {ui.documentOption, "Document1.docx", "Data sent to the new document "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.made);
        c.option->setChecked(true);
        ui.outputFolderList->setPath(shown);
        EXPECT_EQ(send(), c.status + shown + "/" + c.made + ".");
        EXPECT_TRUE(QFile::exists(shown + "/" + c.made));
        EXPECT_FALSE(QFile::exists(appDir.filePath(c.made)));
        EXPECT_EQ(items(ui.outputFileList), QStringList{c.made});
    }
    // The document's options: another table with the header row, then lines appended at its
    // end.
    ui.createTableCheck->setChecked(true);
    chooseFile("Document1.docx");
    send();
    ui.createTableCheck->setChecked(false);
    ui.includeTagsCheck->setChecked(false);
    ui.documentAppendCheck->setChecked(true);
    send();
    EXPECT_EQ(runPython("import docx, sys\nd = docx.Document(sys.argv[1])\n"
                        "print(len(d.tables), [c.text for c in d.tables[0].rows[0].cells])\n"
                        "print([p.text for p in d.paragraphs if p.text])",
                        {shown + "/Document1.docx"}),
              "2 ['TAG', 'VAL']\n['A,1', 'B,2']\n");
}

}  // namespace
