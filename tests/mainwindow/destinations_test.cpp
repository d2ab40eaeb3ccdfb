#include "mainwindow/form1_fixture.h"
#include "support/office_doubles.h"

namespace {

class DestinationsTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
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
    Form1& w = load();
    struct Row {
        QRadioButton* option;
        QList<QWidget*> visible;
        QList<QWidget*> hidden;
        int listHeight;
        QStringList files;
    };
    const QList<Row> rows = {
        {w.Option4,
         {w.Check9},
         {w.Drive2, w.Dir2, w.List4, w.Text1, w.Label7, w.Text2, w.Check2, w.Check3, w.Check4,
          w.Check7, w.Check8, w.Check10, w.Combo1},
         -1,
         {}},
        {w.Option5,
         {w.Drive2, w.Dir2, w.List4, w.Text2, w.Label8, w.Text3, w.Label9, w.Check3, w.Check9,
          w.Check10, w.Combo1},
         {w.Text1, w.Label7, w.Check2, w.Check4, w.Check7, w.Check8},
         56,
         {"book.xlsx"}},
        {w.Option6,
         {w.Drive2, w.Dir2, w.List4, w.Check4, w.Combo1},
         {w.Text1, w.Text2, w.Check2, w.Check3, w.Check7, w.Check8, w.Check9, w.Check10},
         56,
         {"parts.db"}},
        {w.Option7,
         {w.Drive2, w.Dir2, w.List4, w.Check7, w.Check8, w.Check9},
         {w.Text1, w.Text2, w.Check2, w.Check3, w.Check4, w.Check10, w.Combo1},
         94,
         {"report.docx"}},
        {w.Option3,
         {w.Drive2, w.Dir2, w.List4, w.Text1, w.Label7, w.Check2, w.Check9},
         {w.Text2, w.Label8, w.Check3, w.Check4, w.Check7, w.Check8, w.Check10, w.Combo1},
         94,
         {"a.csv", "b.txt"}},
    };
    for (const Row& row : rows) {
        row.option->setChecked(true);
        const std::string name = row.option->text().toStdString();
        for (QWidget* c : row.visible)
            EXPECT_TRUE(shown(c)) << name << " " << c->objectName().toStdString();
        for (QWidget* c : row.hidden)
            EXPECT_FALSE(shown(c)) << name << " " << c->objectName().toStdString();
        if (row.listHeight > 0) {
            EXPECT_EQ(items(w.List4), row.files) << name;
            EXPECT_EQ(w.List4->toolTip(), " Double-click on file to open ");
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
    Form1& w = load();
    w.office = fake::officeOf(running, nullptr, {});
    w.Option5->setChecked(true);
    EXPECT_EQ(w.List4->selectedItems().size(), 1);
    EXPECT_EQ(w.mstrExcelFile, out + "/book.xlsx");
    EXPECT_EQ(w.mstrExcelSheet, "Revisions");
    EXPECT_EQ(w.Combo1->currentText(), "Revisions");
    EXPECT_EQ(w.Combo1->count(), 3) << "an empty first item, then the sheets";
    EXPECT_TRUE(book->closed) << "the workbook is closed again after listing";

    book->sheets = {"Parts"};
    w.Option3->setChecked(true);
    w.Option5->setChecked(true);
    EXPECT_TRUE(w.mstrExcelSheet.isEmpty()) << "a sheet that is gone is forgotten";
    EXPECT_TRUE(w.mstrESheet.isEmpty());
}

TEST_F(DestinationsTest, RememberedDatabaseAndTableAreRestored) {
    auto db = std::make_shared<fake::MemoryDatabase>();
    db->tableOrder = {"Items", "Tags"};
    setOption("AFile", "parts.db");
    setOption("ATable", "Tags");
    Form1& w = load();
    w.office = fake::officeOf(nullptr, nullptr, {{out + "/parts.db", db}});
    w.Option6->setChecked(true);
    EXPECT_EQ(w.mstrAccessFile, out + "/parts.db");
    EXPECT_EQ(w.mstrAccessTable, "Tags");
    EXPECT_EQ(w.Combo1->currentText(), "Tags");
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
    Form1& w = load();
    w.office = fake::officeOf(running, nullptr, {{out + "/parts.db", db}});
    w.records->append({"'A','1'"}, 3);
    w.Option6->setChecked(true);
    w.List4->setCurrentRow(0);
    EXPECT_EQ(w.mstrAccessFile, out + "/parts.db");
    EXPECT_EQ(w.Combo1->count(), 2);
    EXPECT_EQ(w.Combo1->currentIndex(), -1);
    EXPECT_TRUE(w.Combo1->currentText().isEmpty());
    w.Command6_Click();
    EXPECT_FALSE(w.Command1->isEnabled()) << "no table chosen yet";
    w.Combo1->setCurrentIndex(1);
    w.Combo1_Click();
    EXPECT_EQ(w.mstrAccessTable, "Tags");
    EXPECT_TRUE(w.Command1->isEnabled());

    w.Option5->setChecked(true);
    w.List4->setCurrentRow(0);
    EXPECT_EQ(w.Combo1->count(), 3) << "an empty first item, then the sheets";
    EXPECT_EQ(w.Combo1->currentIndex(), -1);
    EXPECT_TRUE(w.mstrExcelSheet.isEmpty());
}

TEST_F(DestinationsTest, RememberedFileThatIsGoneIsClearedSilently) {
    setOption("WFile", "gone.docx");
    Form1& w = load();
    w.Option7->setChecked(true);
    EXPECT_TRUE(w.mstrWFile.isEmpty());
    EXPECT_TRUE(w.mstrWordFile.isEmpty());
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(DestinationsTest, SpreadsheetThatCannotBeReachedIsReported) {
    Form1& w = load();
    w.Option5->setChecked(true);
    w.List4->setCurrentRow(0);  // selecting the workbook runs the click handling, once
    const QStringList texts = fakes.dialogs.messageTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "429 : No office component is available in this program");
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Error");
    EXPECT_EQ(texts[1], "Error! Can't create link to Excel.");
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(w.Combo1->count(), 0);
}

TEST_F(DestinationsTest, TextFolderIsRememberedExceptWhileLoading) {
    Form1& w = load();
    EXPECT_EQ(w.mstrTPath, out);
    const QString other = makeFolder("other");
    w.Dir2->setPath(other);
    EXPECT_EQ(w.mstrTPath, other);
    w.mblnLoading = true;
    w.Dir2->setPath(out);
    EXPECT_EQ(w.mstrTPath, other);
}

TEST_F(DestinationsTest, NumberBoxesKeepTheirRanges) {
    Form1& w = load();
    w.Text2->setText("99999");
    EXPECT_EQ(w.Text2->text(), "65536");
    w.Text2->setText("");
    w.Text2_LostFocus();
    EXPECT_EQ(w.Text2->text(), "1");
    w.Text3->setText("300");
    EXPECT_EQ(w.Text3->text(), "255");
    w.Text3->setText("0");
    w.Text3_LostFocus();
    EXPECT_EQ(w.Text3->text(), "1");
    int position = 0;
    QString typed = "1a";
    EXPECT_EQ(w.Text4->validator()->validate(typed, position), QValidator::Invalid);
    EXPECT_EQ(w.Text2->maxLength(), 5);
}

TEST_F(DestinationsTest, FormatOptionsAdviseOnTheStatusLine) {
    Form1& w = load();
    w.Option2->setChecked(true);
    EXPECT_EQ(
        w.Label4->text(),
        "If you intend to send data to Excel, Access, or Word you should use the CDF format.");
    EXPECT_TRUE(shown(w.Text4));
    w.Option1->setChecked(true);
    EXPECT_TRUE(w.Label4->text().isEmpty());
    EXPECT_FALSE(shown(w.Text4));
}

TEST_F(DestinationsTest, DoubleClickOpensTheFileOrSaysItCannot) {
    Form1& w = load();
    w.List4->setCurrentRow(0);
    fakes.shell.succeeds = false;
    w.List4_DblClick();
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0].target, out + "/a.csv");
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Couldn't open file."});
}

}  // namespace

namespace {

TEST_F(DestinationsTest, RememberedTextFileIsTheTargetAgainAfterLoading) {
    setOption("TFile", "b.txt");
    Form1& w = load();
    ASSERT_EQ(w.List4->selectedItems().size(), 1);
    EXPECT_EQ(w.List4->selectedItems()[0]->text(), "b.txt");
    EXPECT_EQ(w.mstrTextFile, out + "/b.txt");
    EXPECT_EQ(w.mstrTPath, out) << "loading does not move the remembered folder";
}

}  // namespace
