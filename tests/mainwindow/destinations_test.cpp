// SPDX-License-Identifier: GPL-3.0-or-later
#include <QButtonGroup>

#include "mainwindow/main_window_fixture.h"
#include "support/office_doubles.h"

namespace {

class DestinationsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        out = makeFolder("out");
        for (const char* name : {"b.txt", "a.csv", "book.xlsx", "parts.db", "report.docx"}) {
            touch(out + "/" + name);
        }
        setOption("TPath", out);
        setOption("EPath", out);
        setOption("APath", out);
        setOption("WPath", out);
    }
    bool shown(QWidget* w) const { return w->isVisibleTo(window.get()); }

    QString out;
};

TEST_F(DestinationsTest, EachDestinationShowsItsOwnControls) {
    load();
    struct Row {
        QRadioButton* option;
        QList<QWidget*> visible;
        QList<QWidget*> hidden;
        MainWindow::Destination destination;
        QStringList files;
    };
    const QList<Row> rows = {
        {ui.clipboardOption,
         {ui.includeTagsCheck},
         {ui.outputDriveList, ui.outputFolderList, ui.outputFileList, ui.newFileEdit,
          ui.newFileLabel, ui.rowEdit, ui.textAppendCheck, ui.transposeCheck,
          ui.databaseAppendCheck, ui.documentAppendCheck, ui.createTableCheck, ui.fitColumnsCheck,
          ui.sheetOrTableCombo},
         MainWindow::Destination::Clipboard,
         {}},
        {ui.spreadsheetOption,
         {ui.outputDriveList, ui.outputFolderList, ui.outputFileList, ui.rowEdit, ui.rowLabel,
          ui.columnEdit, ui.columnLabel, ui.transposeCheck, ui.includeTagsCheck, ui.fitColumnsCheck,
          ui.sheetOrTableCombo},
         {ui.newFileEdit, ui.newFileLabel, ui.textAppendCheck, ui.databaseAppendCheck,
          ui.documentAppendCheck, ui.createTableCheck},
         MainWindow::Destination::Spreadsheet,
         {"book.xlsx"}},
        {ui.databaseOption,
         {ui.outputDriveList, ui.outputFolderList, ui.outputFileList, ui.databaseAppendCheck,
          ui.sheetOrTableCombo},
         {ui.newFileEdit, ui.rowEdit, ui.textAppendCheck, ui.transposeCheck, ui.documentAppendCheck,
          ui.createTableCheck, ui.includeTagsCheck, ui.fitColumnsCheck},
         MainWindow::Destination::Database,
         {"parts.db"}},
        {ui.documentOption,
         {ui.outputDriveList, ui.outputFolderList, ui.outputFileList, ui.documentAppendCheck,
          ui.createTableCheck, ui.includeTagsCheck},
         {ui.newFileEdit, ui.rowEdit, ui.textAppendCheck, ui.transposeCheck, ui.databaseAppendCheck,
          ui.fitColumnsCheck, ui.sheetOrTableCombo},
         MainWindow::Destination::Document,
         {"report.docx"}},
        {ui.textFileOption,
         {ui.outputDriveList, ui.outputFolderList, ui.outputFileList, ui.newFileEdit,
          ui.newFileLabel, ui.textAppendCheck, ui.includeTagsCheck},
         {ui.rowEdit, ui.rowLabel, ui.transposeCheck, ui.databaseAppendCheck,
          ui.documentAppendCheck, ui.createTableCheck, ui.fitColumnsCheck, ui.sheetOrTableCombo},
         MainWindow::Destination::TextFile,
         {"a.csv", "b.txt"}},
    };
    for (const Row& row : rows) {
        row.option->setChecked(true);
        const std::string name = row.option->text().toStdString();
        for (QWidget* c : row.visible)
            EXPECT_TRUE(shown(c)) << name << " " << c->objectName().toStdString();
        for (QWidget* c : row.hidden)
            EXPECT_FALSE(shown(c)) << name << " " << c->objectName().toStdString();
        if (row.destination != MainWindow::Destination::Clipboard) {
            EXPECT_EQ(items(ui.outputFileList), row.files) << name;
            EXPECT_EQ(ui.outputFileList->toolTip(), " Double-click on file to open ");
        }
    }
}

TEST_F(DestinationsTest, RememberedSpreadsheetAndSheetAreRestored) {
    auto running = std::make_shared<fake::MemorySpreadsheet>();
    auto book = std::make_shared<fake::MemWorkbook>();
    book->sheets = {"Parts", "Revisions"};
    running->files[out + "/book.xlsx"] = book;
    setOption("EFile", "book.xlsx");
    setOption("ESheet", "Revisions");
    office = fake::officeOf(running, nullptr, {});
    load();
    ui.spreadsheetOption->setChecked(true);
    EXPECT_EQ(ui.outputFileList->selectedItems().size(), 1);
    EXPECT_EQ(stateOf(MainWindow::Destination::Spreadsheet).target, out + "/book.xlsx");
    EXPECT_EQ(stateOf(MainWindow::Destination::Spreadsheet).targetItem, "Revisions");
    EXPECT_EQ(ui.sheetOrTableCombo->currentText(), "Revisions");
    EXPECT_EQ(ui.sheetOrTableCombo->count(), 3) << "an empty first item, then the sheets";
    EXPECT_TRUE(book->closed) << "the workbook is closed again after listing";

    book->sheets = {"Parts"};
    ui.textFileOption->setChecked(true);
    ui.spreadsheetOption->setChecked(true);
    EXPECT_TRUE(stateOf(MainWindow::Destination::Spreadsheet).targetItem.isEmpty())
        << "a sheet that is gone is forgotten";
    EXPECT_TRUE(stateOf(MainWindow::Destination::Spreadsheet).savedItem.isEmpty());
}

TEST_F(DestinationsTest, RememberedDatabaseAndTableAreRestored) {
    auto db = std::make_shared<fake::MemoryDatabase>();
    db->tableOrder = {"Items", "Tags"};
    setOption("AFile", "parts.db");
    setOption("ATable", "Tags");
    office = fake::officeOf(nullptr, nullptr, {{out + "/parts.db", db}});
    load();
    ui.databaseOption->setChecked(true);
    EXPECT_EQ(stateOf(MainWindow::Destination::Database).target, out + "/parts.db");
    EXPECT_EQ(stateOf(MainWindow::Destination::Database).targetItem, "Tags");
    EXPECT_EQ(ui.sheetOrTableCombo->currentText(), "Tags");
    EXPECT_TRUE(db->closed);
}

// Listing the sheets or tables chooses none of them: only the user's choice (or a remembered
// name found among them) enables the send.
TEST_F(DestinationsTest, ListedTablesAndSheetsShowNoChoiceUntilOneIsMade) {
    auto db = std::make_shared<fake::MemoryDatabase>();
    db->tableOrder = {"Items", "Tags"};
    auto running = std::make_shared<fake::MemorySpreadsheet>();
    auto book = std::make_shared<fake::MemWorkbook>();
    book->sheets = {"Parts", "Revisions"};
    running->files[out + "/book.xlsx"] = book;
    office = fake::officeOf(running, nullptr, {{out + "/parts.db", db}});
    MainWindow& w = load();
    ui.records->append({"'A','1'"}, 3);
    ui.databaseOption->setChecked(true);
    ui.outputFileList->setCurrentRow(0);
    EXPECT_EQ(stateOf(MainWindow::Destination::Database).target, out + "/parts.db");
    EXPECT_EQ(ui.sheetOrTableCombo->count(), 2);
    EXPECT_EQ(ui.sheetOrTableCombo->currentIndex(), -1);
    EXPECT_TRUE(ui.sheetOrTableCombo->currentText().isEmpty());
    w.selectAllRecords();
    EXPECT_FALSE(ui.sendButton->isEnabled()) << "no table chosen yet";
    ui.sheetOrTableCombo->setCurrentIndex(1);
    w.sheetOrTableChosen();
    EXPECT_EQ(stateOf(MainWindow::Destination::Database).targetItem, "Tags");
    EXPECT_TRUE(ui.sendButton->isEnabled());

    ui.spreadsheetOption->setChecked(true);
    ui.outputFileList->setCurrentRow(0);
    EXPECT_EQ(ui.sheetOrTableCombo->count(), 3) << "an empty first item, then the sheets";
    EXPECT_EQ(ui.sheetOrTableCombo->currentIndex(), -1);
    EXPECT_TRUE(stateOf(MainWindow::Destination::Spreadsheet).targetItem.isEmpty());
}

TEST_F(DestinationsTest, RememberedFileThatIsGoneIsClearedSilently) {
    setOption("WFile", "gone.docx");
    load();
    ui.documentOption->setChecked(true);
    EXPECT_TRUE(stateOf(MainWindow::Destination::Document).savedFile.isEmpty());
    EXPECT_TRUE(stateOf(MainWindow::Destination::Document).target.isEmpty());
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(DestinationsTest, SpreadsheetThatCannotBeReachedIsReported) {
    load();
    ui.spreadsheetOption->setChecked(true);
    ui.outputFileList->setCurrentRow(0);  // selecting the workbook runs the click handling, once
    const QStringList texts = fakes.dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "429 : No office component is available in this program");
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Error");
    EXPECT_EQ(texts[1], "Error! Can't create link to the spreadsheet.");
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(ui.sheetOrTableCombo->count(), 0);
}

TEST_F(DestinationsTest, TextFolderShownIsRemembered) {
    load();
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, out);
    const QString other = makeFolder("other");
    ui.outputFolderList->setPath(other);
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, other);
}

TEST_F(DestinationsTest, NumberBoxesKeepTheirRanges) {
    MainWindow& w = load();
    ui.rowEdit->setText("99999");
    EXPECT_EQ(ui.rowEdit->text(), "65536");
    ui.rowEdit->setText("");
    w.rowEditFinished();
    EXPECT_EQ(ui.rowEdit->text(), "1");
    ui.columnEdit->setText("300");
    EXPECT_EQ(ui.columnEdit->text(), "255");
    ui.columnEdit->setText("0");
    w.columnEditFinished();
    EXPECT_EQ(ui.columnEdit->text(), "1");
    int position = 0;
    QString typed = "1a";
    EXPECT_EQ(ui.fieldSpacesEdit->validator()->validate(typed, position), QValidator::Invalid);
    EXPECT_EQ(ui.rowEdit->maxLength(), 5);
}

TEST_F(DestinationsTest, FormatOptionsAdviseOnTheStatusLine) {
    load();
    ui.sdfOption->setChecked(true);
    EXPECT_EQ(ui.statusLabel->text(),
              "To send data to a spreadsheet, database or document, use the CDF format.");
    EXPECT_TRUE(shown(ui.fieldSpacesEdit));
    ui.cdfOption->setChecked(true);
    EXPECT_TRUE(ui.statusLabel->text().isEmpty());
    EXPECT_FALSE(shown(ui.fieldSpacesEdit));
}

TEST_F(DestinationsTest, DoubleClickOpensTheFileOrSaysItCannot) {
    MainWindow& w = load();
    ui.outputFileList->setCurrentRow(0);
    fakes.shell.succeeds = false;
    w.openOutputFile();
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0].target, out + "/a.csv");
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Couldn't open file."});
}

TEST_F(DestinationsTest, RememberedTextFileIsTheTargetAgainAfterLoading) {
    setOption("TFile", "b.txt");
    load();
    ASSERT_EQ(ui.outputFileList->selectedItems().size(), 1);
    EXPECT_EQ(ui.outputFileList->selectedItems()[0]->text(), "b.txt");
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).target, out + "/b.txt");
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, out)
        << "loading does not move the remembered folder";
}

TEST_F(DestinationsTest, EachDestinationKeepsItsOwnFolder) {
    const QString texts = makeFolder("texts");
    const QString books = makeFolder("books");
    setOption("TPath", texts);
    setOption("EPath", books);
    struct Start {
        const char* name;
        const char* destination;  // the one restored at start
    };
    for (const Start start :
         {Start{"text file first", "SFile"}, Start{"workbook first", "SXcel"}}) {
        SCOPED_TRACE(start.name);
        for (const char* key : {"SFile", "SXcel"}) {
            setOption(key,
                      QLatin1String(key) == QLatin1String(start.destination) ? "True" : "False");
        }
        MainWindow& w = load();
        for (int round = 0; round < 2; ++round) {
            ui.spreadsheetOption->setChecked(true);
            EXPECT_EQ(ui.outputFolderList->path(), books);
            ui.textFileOption->setChecked(true);
            EXPECT_EQ(ui.outputFolderList->path(), texts);
            EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, texts);
        }
        w.unload();
        EXPECT_EQ(fakes.settings.get("Options", "TPath"), texts);
        EXPECT_EQ(fakes.settings.get("Options", "EPath"), books);
    }
    load();  // a restart
    ui.spreadsheetOption->setChecked(true);
    ui.textFileOption->setChecked(true);
    EXPECT_EQ(ui.outputFolderList->path(), texts);
}

// A drawing list's send lines name their own files; what the user chose in the window is still
// chosen after the run.
TEST_F(DestinationsTest, ADrawingListRunLeavesEveryDestinationAsItWas) {
    const QString other = makeFolder("other");
    for (const char* name : {"list.txt", "list.xlsx", "list.db", "list.docx"}) {
        touch(other + "/" + name);
    }
    auto excel = std::make_shared<fake::MemorySpreadsheet>();
    excel->files[out + "/book.xlsx"] = std::make_shared<fake::MemWorkbook>();
    excel->files[out + "/book.xlsx"]->sheets = {"Parts"};
    excel->files[other + "/list.xlsx"] = std::make_shared<fake::MemWorkbook>();
    auto parts = std::make_shared<fake::MemoryDatabase>();
    parts->tableOrder = {"Tags"};
    auto word = std::make_shared<fake::MemoryWordProcessor>();
    word->files[other + "/list.docx"] = std::make_shared<fake::MemDocument>();
    office = fake::officeOf(excel, nullptr,
                            {{out + "/parts.db", parts},
                             {other + "/list.db", std::make_shared<fake::MemoryDatabase>()}},
                            word);
    const std::pair<const char*, const char*> chosen[] = {
        {"TFile", "b.txt"},    {"EFile", "book.xlsx"}, {"ESheet", "Parts"},
        {"AFile", "parts.db"}, {"ATable", "Tags"},     {"WFile", "report.docx"}};
    for (const auto& [key, value] : chosen) setOption(key, value);
    addTitleDrawing(out + "/a.dwg");
    load();
    using D = MainWindow::Destination;
    const D destinations[] = {D::Spreadsheet, D::Database, D::Document, D::TextFile};
    for (QRadioButton* option :
         {ui.spreadsheetOption, ui.databaseOption, ui.documentOption, ui.textFileOption}) {
        option->setChecked(true);
    }
    std::map<D, DestinationState> before;
    for (D d : destinations) before[d] = stateOf(d);
    ASSERT_EQ(before[D::Spreadsheet].targetItem, "Parts");
    ASSERT_EQ(before[D::Database].targetItem, "Tags");
    ASSERT_EQ(before[D::TextFile].target, out + "/b.txt");

    runListFile("DWGNAME\r\n" + out + "/a.dwg," + appDir.filePath("title.txt") + "\r\n" +
                "EXTRACT TO FILE " + other + "/list.txt\r\n" + "EXTRACT TO EXCEL " + other +
                "/list.xlsx,Sheet1\r\n" + "EXTRACT TO ACCESS " + other + "/list.db,Items\r\n" +
                "EXTRACT TO WORD " + other + "/list.docx\r\n" + "EXTRACT TO FILE\r\n");
    EXPECT_EQ(testfiles::read(other + "/list.txt"), "'A.DWG','100'\r\n");
    EXPECT_EQ(testfiles::read(out + "/b.txt"), "")
        << "the last line, naming no file, sent to the file of the line before";
    EXPECT_FALSE(excel->files[other + "/list.xlsx"]->cells.empty());
    for (D d : destinations) {
        SCOPED_TRACE(static_cast<int>(d));
        EXPECT_EQ(stateOf(d), before[d]);
    }
}

}  // namespace
