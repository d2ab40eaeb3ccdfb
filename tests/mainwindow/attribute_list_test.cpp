// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_window_fixture.h"

namespace {

using platform::DialogButton;

class AttributeListTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        load();
        window->records->append({"'1'", "'2'", "'3'", "'4'", "'5'"}, 3);
        for (QPushButton* b : {window->clearRecordsButton, window->selectAllRecordsButton,
                               window->unselectAllRecordsButton}) {
            b->setEnabled(true);
        }
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) setRecordSelected(row, true);
    }
};

TEST_F(AttributeListTest, SelectionChangesDriveButtonsAndCount) {
    MainWindow& w = *window;
    select({1, 3});
    EXPECT_TRUE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_TRUE(w.sendButton->isEnabled()) << "text file destination";
    EXPECT_EQ(w.recordSelectionLabel->text(), "2 of 5 selected");
    setRecordSelected(1, false);
    setRecordSelected(3, false);
    EXPECT_FALSE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(w.sendButton->isEnabled());
    EXPECT_TRUE(w.recordSelectionLabel->text().isEmpty());
}

TEST_F(AttributeListTest, DatabaseDestinationNeedsATableBeforeSending) {
    MainWindow& w = *window;
    w.databaseOption->setChecked(true);
    select({0});
    EXPECT_TRUE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(w.sendButton->isEnabled());
}

TEST_F(AttributeListTest, SelectAllAndUnselectAll) {
    MainWindow& w = *window;
    select({0, 4});
    w.selectAllRecords();
    EXPECT_EQ(w.selectedRecordCount(), 5);
    EXPECT_EQ(w.statusLabel->text(), "5 item(s) selected.");
    EXPECT_EQ(w.recordSelectionLabel->text(), "5 of 5 selected");
    w.unselectAllRecords();
    EXPECT_EQ(w.selectedRecordCount(), 0);
    EXPECT_EQ(w.statusLabel->text(), "5 item(s) unselected.");
    EXPECT_FALSE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(w.sendButton->isEnabled());
    w.unselectAllRecords();
    EXPECT_EQ(w.statusLabel->text(), "5 item(s) unselected.");
}

TEST_F(AttributeListTest, ClearSelectionRemovesAdjacentItemsAndKeepsOrder) {
    MainWindow& w = *window;
    select({1, 2});
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.clearRecordSelection();
    EXPECT_EQ(items(w.records), (QStringList{"'1'", "'4'", "'5'"}));
    EXPECT_EQ(w.statusLabel->text(), "2 item(s) cleared.");
    EXPECT_FALSE(w.sendButton->isEnabled());
    EXPECT_FALSE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_TRUE(w.recordSelectionLabel->text().isEmpty());
    EXPECT_TRUE(w.clearRecordsButton->isEnabled());
    EXPECT_EQ(w.records->maxFields(), 3);
    const auto box = fakes.dialogs.messages().at(0);
    EXPECT_EQ(box.text, "Are you sure you want to clear all selected items?");
    EXPECT_EQ(box.caption, "Quillon");
    EXPECT_EQ(box.icon, platform::MessageIcon::Question);
    EXPECT_EQ(box.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(box.preset, DialogButton::No);
    EXPECT_EQ(fakes.ui.beeps, 1);
}

TEST_F(AttributeListTest, ClearingEverySelectedItemEmptiesTheList) {
    MainWindow& w = *window;
    w.selectAllRecords();
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.clearRecordSelection();
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(w.records->maxFields(), 0);
    for (QPushButton* b : {w.sendButton, w.clearRecordsButton, w.selectAllRecordsButton,
                           w.unselectAllRecordsButton, w.clearRecordSelectionButton}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
}

TEST_F(AttributeListTest, AnsweringNoChangesNothing) {
    MainWindow& w = *window;
    select({2});
    fakes.dialogs.answerButton(DialogButton::No);
    w.clearRecordSelection();
    fakes.dialogs.answerButton(DialogButton::No);
    w.clearRecords();
    EXPECT_EQ(w.records->count(), 5);
    EXPECT_EQ(w.selectedRecordCount(), 1);
    EXPECT_TRUE(w.clearRecordSelectionButton->isEnabled());
}

TEST_F(AttributeListTest, ClearAllReportsTheCountBeforeEmptying) {
    MainWindow& w = *window;
    select({0});
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.clearRecords();
    EXPECT_EQ(w.statusLabel->text(), "5 item(s) cleared.");
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(w.records->maxFields(), 0);
    EXPECT_TRUE(w.recordSelectionLabel->text().isEmpty());
    EXPECT_TRUE(w.recordList->toolTip().isEmpty());
    EXPECT_FALSE(w.sendButton->isEnabled());
}

}  // namespace
