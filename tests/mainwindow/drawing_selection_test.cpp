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
        if (list == ui.drawingList) window->drawingClicked();
        if (list == ui.templateList) window->templateClicked();
    }
    QString drawings;
    QString templates;
};

TEST_F(SelectionTest, ListsFollowFolderAndPattern) {
    EXPECT_EQ(items(ui.drawingList), (QStringList{"A.DWG", "b.dwg", "c.dwg"}))
        << "sorted, hidden files left out, the pattern ignores letter case";
    EXPECT_EQ(ui.drawingCountLabel->text(), "3 files");
    EXPECT_EQ(ui.drawingList->toolTip(), " Double-click on file to view attributes ");
    EXPECT_EQ(items(ui.templateList), (QStringList{"a.txt", "b.csv"}));
    EXPECT_EQ(ui.templateCountLabel->text(), "2 files");
    EXPECT_EQ(ui.templateList->toolTip(), " Double-click on file to open in text editor ");

    ui.drawingPatternEdit->setText("*.xyz");
    EXPECT_EQ(ui.drawingList->count(), 0);
    EXPECT_TRUE(ui.drawingCountLabel->text().isEmpty());
    EXPECT_FALSE(ui.selectAllDrawingsButton->isEnabled());
    EXPECT_FALSE(ui.unselectAllDrawingsButton->isEnabled());
    EXPECT_TRUE(ui.drawingList->toolTip().isEmpty());
    ui.drawingPatternEdit->setText("*.dwg");
    EXPECT_EQ(ui.drawingList->count(), 3);
    EXPECT_TRUE(ui.selectAllDrawingsButton->isEnabled());
}

TEST_F(SelectionTest, ExtractIsEnabledOnlyWithDrawingsAndATemplate) {
    MainWindow& w = *window;
    click(ui.drawingList, 1);
    EXPECT_FALSE(ui.extractButton->isEnabled()) << "no template yet";
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "1 sel");
    EXPECT_TRUE(ui.drawingInfoLabel->text().endsWith("  5"))
        << ui.drawingInfoLabel->text().toStdString();
    click(ui.templateList, 0);
    EXPECT_TRUE(ui.extractButton->isEnabled());
    EXPECT_TRUE(ui.templateInfoLabel->text().endsWith("  0"));
    w.drawingFolderChanged();  // the folder changes: the selection is gone
    EXPECT_FALSE(ui.extractButton->isEnabled());
    click(ui.drawingList, 0);
    EXPECT_TRUE(ui.extractButton->isEnabled());
    w.templateFolderChanged();
    EXPECT_FALSE(ui.extractButton->isEnabled());
    EXPECT_TRUE(ui.templateInfoLabel->text().isEmpty());
}

TEST_F(SelectionTest, ClickingAnotherDrawingClearsTheStatusLine) {
    ui.statusLabel->setText("something");
    click(ui.drawingList, 0);  // m_lastDrawingIndex starts at 0
    EXPECT_EQ(ui.statusLabel->text(), "something");
    click(ui.drawingList, 2);
    EXPECT_TRUE(ui.statusLabel->text().isEmpty());
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "2 sel");
    click(ui.drawingList, 2);  // unselecting clears the date and size
    EXPECT_TRUE(ui.drawingInfoLabel->text().isEmpty());
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "1 sel");
}

TEST_F(SelectionTest, SelectAllAndUnselectAllReportEveryDrawing) {
    MainWindow& w = *window;
    click(ui.drawingList, 0);
    w.selectAllDrawings();
    EXPECT_EQ(ui.drawingList->selectedItems().size(), 3);
    EXPECT_EQ(ui.statusLabel->text(), "3 drawing(s) selected.");
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "3 sel");
    EXPECT_FALSE(ui.extractButton->isEnabled());
    click(ui.templateList, 1);
    EXPECT_TRUE(ui.extractButton->isEnabled());
    w.unselectAllDrawings();
    EXPECT_TRUE(ui.drawingList->selectedItems().isEmpty());
    EXPECT_EQ(ui.statusLabel->text(), "3 drawing(s) unselected.");
    EXPECT_TRUE(ui.drawingSelectionLabel->text().isEmpty());
    EXPECT_FALSE(ui.extractButton->isEnabled());
}

TEST_F(SelectionTest, TemplateDoubleClickOpensTheTextEditor) {
    MainWindow& w = *window;
    click(ui.templateList, 1);
    w.editTemplate();
    using Call = fake::RecordingShell::Call;
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0], (Call{Call::Kind::TextEditor, templates + "/b.csv"}));
}

TEST_F(SelectionTest, FolderListOpensSubfoldersAndRefusesMissingOnes) {
    makeFolder("dwg/Sub");
    touch(drawings + "/Sub/x.dwg");
    EXPECT_TRUE(ui.drawingFolderList->setPath(drawings + "/sub")) << "letter case is ignored";
    EXPECT_EQ(items(ui.drawingList), QStringList{"x.dwg"});
    EXPECT_FALSE(ui.drawingFolderList->setPath(drawings + "/missing"));
    EXPECT_EQ(items(ui.drawingList), QStringList{"x.dwg"});
}

}  // namespace
