#include "form1_fixture.h"

namespace {

class SelectionTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        drawings = makeFolder("dwg");
        templates = makeFolder("tpl");
        for (const char* name : {"b.dwg", "A.DWG", "c.dwg", "notes.txt", ".hidden.dwg"}) {
            touch(drawings + "/" + name, "12345");
        }
        for (const char* name : {"b.csv", "a.txt", "c.dwg"}) touch(templates + "/" + name);
        setOption("Dir", drawings);
        setOption("Dir3", templates);
        load();
    }
    void click(QListWidget* list, int row) {
        list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        QListWidgetItem* item = list->item(row);
        item->setSelected(!item->isSelected());
        if (list == window->List2) window->List2_Click();
        if (list == window->List1) window->List1_Click();
    }
    QString drawings;
    QString templates;
};

TEST_F(SelectionTest, ListsFollowFolderAndPattern) {
    Form1& w = *window;
    EXPECT_EQ(items(w.List2), (QStringList{"A.DWG", "b.dwg", "c.dwg"}))
        << "sorted, hidden files left out, the pattern ignores letter case";
    EXPECT_EQ(w.Label3->text(), "3 files");
    EXPECT_EQ(w.List2->toolTip(), " Double-click on file to view attributes ");
    EXPECT_EQ(items(w.List1), (QStringList{"a.txt", "b.csv"}));
    EXPECT_EQ(w.Label5->text(), "2 files");
    EXPECT_EQ(w.List1->toolTip(), " Double-click on file to open in text editor ");

    w.Text5->setText("*.xyz");
    EXPECT_EQ(w.List2->count(), 0);
    EXPECT_TRUE(w.Label3->text().isEmpty());
    EXPECT_FALSE(w.Command13->isEnabled());
    EXPECT_FALSE(w.Command14->isEnabled());
    EXPECT_TRUE(w.List2->toolTip().isEmpty());
    w.Text5->setText("*.dwg");
    EXPECT_EQ(w.List2->count(), 3);
    EXPECT_TRUE(w.Command13->isEnabled());
}

TEST_F(SelectionTest, ExtractIsEnabledOnlyWithDrawingsAndATemplate) {
    Form1& w = *window;
    click(w.List2, 1);
    EXPECT_FALSE(w.Command15->isEnabled()) << "no template yet";
    EXPECT_EQ(w.Label12->text(), "1 sel");
    EXPECT_TRUE(w.Label2->text().endsWith("  5")) << w.Label2->text().toStdString();
    click(w.List1, 0);
    EXPECT_TRUE(w.Command15->isEnabled());
    EXPECT_TRUE(w.Label6->text().endsWith("  0"));
    w.Dir1_Change();  // the folder changes: the selection is gone
    EXPECT_FALSE(w.Command15->isEnabled());
    click(w.List2, 0);
    EXPECT_TRUE(w.Command15->isEnabled());
    w.Dir3_Change();
    EXPECT_FALSE(w.Command15->isEnabled());
    EXPECT_TRUE(w.Label6->text().isEmpty());
}

TEST_F(SelectionTest, ClickingAnotherDrawingClearsTheStatusLine) {
    Form1& w = *window;
    w.Label4->setText("something");
    click(w.List2, 0);  // mintLastIndex starts at 0
    EXPECT_EQ(w.Label4->text(), "something");
    click(w.List2, 2);
    EXPECT_TRUE(w.Label4->text().isEmpty());
    EXPECT_EQ(w.Label12->text(), "2 sel");
    click(w.List2, 2);  // unselecting clears the date and size
    EXPECT_TRUE(w.Label2->text().isEmpty());
    EXPECT_EQ(w.Label12->text(), "1 sel");
}

TEST_F(SelectionTest, SelectAllAndUnselectAllReportEveryDrawing) {
    Form1& w = *window;
    click(w.List2, 0);
    w.Command13_Click();
    EXPECT_EQ(w.List2->selectedItems().size(), 3);
    EXPECT_EQ(w.Label4->text(), "3 drawing(s) selected.");
    EXPECT_EQ(w.Label12->text(), "3 sel");
    EXPECT_FALSE(w.Command15->isEnabled());
    click(w.List1, 1);
    EXPECT_TRUE(w.Command15->isEnabled());
    w.Command14_Click();
    EXPECT_TRUE(w.List2->selectedItems().isEmpty());
    EXPECT_EQ(w.Label4->text(), "3 drawing(s) unselected.");
    EXPECT_TRUE(w.Label12->text().isEmpty());
    EXPECT_FALSE(w.Command15->isEnabled());
}

TEST_F(SelectionTest, TemplateDoubleClickOpensTheTextEditor) {
    Form1& w = *window;
    click(w.List1, 1);
    w.List1_DblClick();
    using Call = fake::RecordingShell::Call;
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0], (Call{Call::Kind::TextEditor, templates + "/b.csv"}));
}

TEST_F(SelectionTest, FolderListOpensSubfoldersAndRefusesMissingOnes) {
    Form1& w = *window;
    makeFolder("dwg/Sub");
    touch(drawings + "/Sub/x.dwg");
    EXPECT_EQ(w.Dir1->setPath(drawings + "/sub"), 0) << "letter case is ignored";
    EXPECT_EQ(items(w.List2), QStringList{"x.dwg"});
    EXPECT_EQ(w.Dir1->setPath(drawings + "/missing"), 76);
    EXPECT_EQ(items(w.List2), QStringList{"x.dwg"});
}

}  // namespace
