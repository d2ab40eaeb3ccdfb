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
    MainWindow& w = load();
    struct Row {
        QRadioButton* option;
        QList<QWidget*> visible;
        QList<QWidget*> hidden;
        MainWindow::Destination destination;
        QStringList files;
    };
    const QList<Row> rows = {
        {w.clipboardOption,
         {w.includeTagsCheck},
         {w.outputDriveList, w.outputFolderList, w.outputFileList, w.newFileEdit, w.newFileLabel,
          w.rowEdit, w.textAppendCheck, w.transposeCheck, w.databaseAppendCheck,
          w.documentAppendCheck, w.createTableCheck, w.fitColumnsCheck, w.sheetOrTableCombo},
         MainWindow::Destination::Clipboard,
         {}},
        {w.spreadsheetOption,
         {w.outputDriveList, w.outputFolderList, w.outputFileList, w.rowEdit, w.rowLabel,
          w.columnEdit, w.columnLabel, w.transposeCheck, w.includeTagsCheck, w.fitColumnsCheck,
          w.sheetOrTableCombo},
         {w.newFileEdit, w.newFileLabel, w.textAppendCheck, w.databaseAppendCheck,
          w.documentAppendCheck, w.createTableCheck},
         MainWindow::Destination::Spreadsheet,
         {"book.xlsx"}},
        {w.databaseOption,
         {w.outputDriveList, w.outputFolderList, w.outputFileList, w.databaseAppendCheck,
          w.sheetOrTableCombo},
         {w.newFileEdit, w.rowEdit, w.textAppendCheck, w.transposeCheck, w.documentAppendCheck,
          w.createTableCheck, w.includeTagsCheck, w.fitColumnsCheck},
         MainWindow::Destination::Database,
         {"parts.db"}},
        {w.documentOption,
         {w.outputDriveList, w.outputFolderList, w.outputFileList, w.documentAppendCheck,
          w.createTableCheck, w.includeTagsCheck},
         {w.newFileEdit, w.rowEdit, w.textAppendCheck, w.transposeCheck, w.databaseAppendCheck,
          w.fitColumnsCheck, w.sheetOrTableCombo},
         MainWindow::Destination::Document,
         {"report.docx"}},
        {w.textFileOption,
         {w.outputDriveList, w.outputFolderList, w.outputFileList, w.newFileEdit, w.newFileLabel,
          w.textAppendCheck, w.includeTagsCheck},
         {w.rowEdit, w.rowLabel, w.transposeCheck, w.databaseAppendCheck, w.documentAppendCheck,
          w.createTableCheck, w.fitColumnsCheck, w.sheetOrTableCombo},
         MainWindow::Destination::TextFile,
         {"a.csv", "b.txt"}},
    };
    for (const Row& row : rows) {
        row.option->setChecked(true);
        const std::string name = row.option->text().toStdString();
        // The options are one group whose ids are the destinations.
        EXPECT_EQ(w.destinationGroup->id(row.option), static_cast<int>(row.destination)) << name;
        EXPECT_EQ(w.destination(), row.destination) << name;
        for (QWidget* c : row.visible)
            EXPECT_TRUE(shown(c)) << name << " " << c->objectName().toStdString();
        for (QWidget* c : row.hidden)
            EXPECT_FALSE(shown(c)) << name << " " << c->objectName().toStdString();
        if (row.destination != MainWindow::Destination::Clipboard) {
            EXPECT_EQ(items(w.outputFileList), row.files) << name;
            EXPECT_EQ(w.outputFileList->toolTip(), " Double-click on file to open ");
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
    MainWindow& w = load();
    w.office = fake::officeOf(running, nullptr, {});
    w.spreadsheetOption->setChecked(true);
    EXPECT_EQ(w.outputFileList->selectedItems().size(), 1);
    EXPECT_EQ(w.m_workbook, out + "/book.xlsx");
    EXPECT_EQ(w.m_sheet, "Revisions");
    EXPECT_EQ(w.sheetOrTableCombo->currentText(), "Revisions");
    EXPECT_EQ(w.sheetOrTableCombo->count(), 3) << "an empty first item, then the sheets";
    EXPECT_TRUE(book->closed) << "the workbook is closed again after listing";

    book->sheets = {"Parts"};
    w.textFileOption->setChecked(true);
    w.spreadsheetOption->setChecked(true);
    EXPECT_TRUE(w.m_sheet.isEmpty()) << "a sheet that is gone is forgotten";
    EXPECT_TRUE(w.m_savedSheet.isEmpty());
}

TEST_F(DestinationsTest, RememberedDatabaseAndTableAreRestored) {
    auto db = std::make_shared<fake::MemoryDatabase>();
    db->tableOrder = {"Items", "Tags"};
    setOption("AFile", "parts.db");
    setOption("ATable", "Tags");
    MainWindow& w = load();
    w.office = fake::officeOf(nullptr, nullptr, {{out + "/parts.db", db}});
    w.databaseOption->setChecked(true);
    EXPECT_EQ(w.m_database, out + "/parts.db");
    EXPECT_EQ(w.m_table, "Tags");
    EXPECT_EQ(w.sheetOrTableCombo->currentText(), "Tags");
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
    MainWindow& w = load();
    w.office = fake::officeOf(running, nullptr, {{out + "/parts.db", db}});
    w.records->append({"'A','1'"}, 3);
    w.databaseOption->setChecked(true);
    w.outputFileList->setCurrentRow(0);
    EXPECT_EQ(w.m_database, out + "/parts.db");
    EXPECT_EQ(w.sheetOrTableCombo->count(), 2);
    EXPECT_EQ(w.sheetOrTableCombo->currentIndex(), -1);
    EXPECT_TRUE(w.sheetOrTableCombo->currentText().isEmpty());
    w.selectAllRecords();
    EXPECT_FALSE(w.sendButton->isEnabled()) << "no table chosen yet";
    w.sheetOrTableCombo->setCurrentIndex(1);
    w.sheetOrTableChosen();
    EXPECT_EQ(w.m_table, "Tags");
    EXPECT_TRUE(w.sendButton->isEnabled());

    w.spreadsheetOption->setChecked(true);
    w.outputFileList->setCurrentRow(0);
    EXPECT_EQ(w.sheetOrTableCombo->count(), 3) << "an empty first item, then the sheets";
    EXPECT_EQ(w.sheetOrTableCombo->currentIndex(), -1);
    EXPECT_TRUE(w.m_sheet.isEmpty());
}

TEST_F(DestinationsTest, RememberedFileThatIsGoneIsClearedSilently) {
    setOption("WFile", "gone.docx");
    MainWindow& w = load();
    w.documentOption->setChecked(true);
    EXPECT_TRUE(w.m_savedDocument.isEmpty());
    EXPECT_TRUE(w.m_document.isEmpty());
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(DestinationsTest, SpreadsheetThatCannotBeReachedIsReported) {
    MainWindow& w = load();
    w.spreadsheetOption->setChecked(true);
    w.outputFileList->setCurrentRow(0);  // selecting the workbook runs the click handling, once
    const QStringList texts = fakes.dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "429 : No office component is available in this program");
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Error");
    EXPECT_EQ(texts[1], "Error! Can't create link to Excel.");
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(w.sheetOrTableCombo->count(), 0);
}

TEST_F(DestinationsTest, TextFolderIsRememberedExceptWhileLoading) {
    MainWindow& w = load();
    EXPECT_EQ(w.m_textFolder, out);
    const QString other = makeFolder("other");
    w.outputFolderList->setPath(other);
    EXPECT_EQ(w.m_textFolder, other);
    w.m_loading = true;
    w.outputFolderList->setPath(out);
    EXPECT_EQ(w.m_textFolder, other);
}

TEST_F(DestinationsTest, NumberBoxesKeepTheirRanges) {
    MainWindow& w = load();
    w.rowEdit->setText("99999");
    EXPECT_EQ(w.rowEdit->text(), "65536");
    w.rowEdit->setText("");
    w.rowEditFinished();
    EXPECT_EQ(w.rowEdit->text(), "1");
    w.columnEdit->setText("300");
    EXPECT_EQ(w.columnEdit->text(), "255");
    w.columnEdit->setText("0");
    w.columnEditFinished();
    EXPECT_EQ(w.columnEdit->text(), "1");
    int position = 0;
    QString typed = "1a";
    EXPECT_EQ(w.fieldSpacesEdit->validator()->validate(typed, position), QValidator::Invalid);
    EXPECT_EQ(w.rowEdit->maxLength(), 5);
}

TEST_F(DestinationsTest, FormatOptionsAdviseOnTheStatusLine) {
    MainWindow& w = load();
    w.sdfOption->setChecked(true);
    EXPECT_EQ(
        w.statusLabel->text(),
        "If you intend to send data to Excel, Access, or Word you should use the CDF format.");
    EXPECT_TRUE(shown(w.fieldSpacesEdit));
    w.cdfOption->setChecked(true);
    EXPECT_TRUE(w.statusLabel->text().isEmpty());
    EXPECT_FALSE(shown(w.fieldSpacesEdit));
}

TEST_F(DestinationsTest, DoubleClickOpensTheFileOrSaysItCannot) {
    MainWindow& w = load();
    w.outputFileList->setCurrentRow(0);
    fakes.shell.succeeds = false;
    w.openOutputFile();
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0].target, out + "/a.csv");
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Couldn't open file."});
}

TEST_F(DestinationsTest, RememberedTextFileIsTheTargetAgainAfterLoading) {
    setOption("TFile", "b.txt");
    MainWindow& w = load();
    ASSERT_EQ(w.outputFileList->selectedItems().size(), 1);
    EXPECT_EQ(w.outputFileList->selectedItems()[0]->text(), "b.txt");
    EXPECT_EQ(w.m_textFile, out + "/b.txt");
    EXPECT_EQ(w.m_textFolder, out) << "loading does not move the remembered folder";
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
            w.spreadsheetOption->setChecked(true);
            EXPECT_EQ(w.outputFolderList->path(), books);
            w.textFileOption->setChecked(true);
            EXPECT_EQ(w.outputFolderList->path(), texts);
            EXPECT_EQ(w.m_textFolder, texts);
        }
        w.unload();
        EXPECT_EQ(fakes.settings.get("Options", "TPath"), texts);
        EXPECT_EQ(fakes.settings.get("Options", "EPath"), books);
    }
}

}  // namespace
