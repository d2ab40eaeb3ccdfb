// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window_fixture.h"

namespace {

class SelectionTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
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
        if (list == window->drawingList) window->drawingClicked();
        if (list == window->templateList) window->templateClicked();
    }
    QString drawings;
    QString templates;
};

TEST_F(SelectionTest, ListsFollowFolderAndPattern) {
    MainWindow& w = *window;
    EXPECT_EQ(items(w.drawingList), (QStringList{"A.DWG", "b.dwg", "c.dwg"}))
        << "sorted, hidden files left out, the pattern ignores letter case";
    EXPECT_EQ(w.drawingCountLabel->text(), "3 files");
    EXPECT_EQ(w.drawingList->toolTip(), " Double-click on file to view attributes ");
    EXPECT_EQ(items(w.templateList), (QStringList{"a.txt", "b.csv"}));
    EXPECT_EQ(w.templateCountLabel->text(), "2 files");
    EXPECT_EQ(w.templateList->toolTip(), " Double-click on file to open in text editor ");

    w.drawingPatternEdit->setText("*.xyz");
    EXPECT_EQ(w.drawingList->count(), 0);
    EXPECT_TRUE(w.drawingCountLabel->text().isEmpty());
    EXPECT_FALSE(w.selectAllDrawingsButton->isEnabled());
    EXPECT_FALSE(w.unselectAllDrawingsButton->isEnabled());
    EXPECT_TRUE(w.drawingList->toolTip().isEmpty());
    w.drawingPatternEdit->setText("*.dwg");
    EXPECT_EQ(w.drawingList->count(), 3);
    EXPECT_TRUE(w.selectAllDrawingsButton->isEnabled());
}

TEST_F(SelectionTest, ExtractIsEnabledOnlyWithDrawingsAndATemplate) {
    MainWindow& w = *window;
    click(w.drawingList, 1);
    EXPECT_FALSE(w.extractButton->isEnabled()) << "no template yet";
    EXPECT_EQ(w.drawingSelectionLabel->text(), "1 sel");
    EXPECT_TRUE(w.drawingInfoLabel->text().endsWith("  5"))
        << w.drawingInfoLabel->text().toStdString();
    click(w.templateList, 0);
    EXPECT_TRUE(w.extractButton->isEnabled());
    EXPECT_TRUE(w.templateInfoLabel->text().endsWith("  0"));
    w.drawingFolderChanged();  // the folder changes: the selection is gone
    EXPECT_FALSE(w.extractButton->isEnabled());
    click(w.drawingList, 0);
    EXPECT_TRUE(w.extractButton->isEnabled());
    w.templateFolderChanged();
    EXPECT_FALSE(w.extractButton->isEnabled());
    EXPECT_TRUE(w.templateInfoLabel->text().isEmpty());
}

TEST_F(SelectionTest, ClickingAnotherDrawingClearsTheStatusLine) {
    MainWindow& w = *window;
    w.statusLabel->setText("something");
    click(w.drawingList, 0);  // m_lastDrawingIndex starts at 0
    EXPECT_EQ(w.statusLabel->text(), "something");
    click(w.drawingList, 2);
    EXPECT_TRUE(w.statusLabel->text().isEmpty());
    EXPECT_EQ(w.drawingSelectionLabel->text(), "2 sel");
    click(w.drawingList, 2);  // unselecting clears the date and size
    EXPECT_TRUE(w.drawingInfoLabel->text().isEmpty());
    EXPECT_EQ(w.drawingSelectionLabel->text(), "1 sel");
}

TEST_F(SelectionTest, SelectAllAndUnselectAllReportEveryDrawing) {
    MainWindow& w = *window;
    click(w.drawingList, 0);
    w.selectAllDrawings();
    EXPECT_EQ(w.drawingList->selectedItems().size(), 3);
    EXPECT_EQ(w.statusLabel->text(), "3 drawing(s) selected.");
    EXPECT_EQ(w.drawingSelectionLabel->text(), "3 sel");
    EXPECT_FALSE(w.extractButton->isEnabled());
    click(w.templateList, 1);
    EXPECT_TRUE(w.extractButton->isEnabled());
    w.unselectAllDrawings();
    EXPECT_TRUE(w.drawingList->selectedItems().isEmpty());
    EXPECT_EQ(w.statusLabel->text(), "3 drawing(s) unselected.");
    EXPECT_TRUE(w.drawingSelectionLabel->text().isEmpty());
    EXPECT_FALSE(w.extractButton->isEnabled());
}

TEST_F(SelectionTest, TemplateDoubleClickOpensTheTextEditor) {
    MainWindow& w = *window;
    click(w.templateList, 1);
    w.editTemplate();
    using Call = fake::RecordingShell::Call;
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0], (Call{Call::Kind::TextEditor, templates + "/b.csv"}));
}

TEST_F(SelectionTest, FolderListOpensSubfoldersAndRefusesMissingOnes) {
    MainWindow& w = *window;
    makeFolder("dwg/Sub");
    touch(drawings + "/Sub/x.dwg");
    EXPECT_TRUE(w.drawingFolderList->setPath(drawings + "/sub")) << "letter case is ignored";
    EXPECT_EQ(items(w.drawingList), QStringList{"x.dwg"});
    EXPECT_FALSE(w.drawingFolderList->setPath(drawings + "/missing"));
    EXPECT_EQ(items(w.drawingList), QStringList{"x.dwg"});
}

}  // namespace
