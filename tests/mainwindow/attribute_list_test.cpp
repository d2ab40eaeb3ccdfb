// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_window_fixture.h"

namespace {

using platform::DialogButton;

class AttributeListTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        load();
        fill();
    }
    // Five records, as a run leaves them.
    void fill() {
        ui.records->append({"'1'", "'2'", "'3'", "'4'", "'5'"}, 3);
        for (QPushButton* b :
             {ui.clearRecordsButton, ui.selectAllRecordsButton, ui.unselectAllRecordsButton}) {
            b->setEnabled(true);
        }
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) setRecordSelected(row, true);
    }
};

TEST_F(AttributeListTest, SelectionChangesDriveButtonsAndCount) {
    select({1, 3});
    EXPECT_TRUE(ui.clearRecordSelectionButton->isEnabled());
    EXPECT_TRUE(ui.sendButton->isEnabled()) << "text file destination";
    EXPECT_EQ(ui.recordSelectionLabel->text(), "2 of 5 selected");
    setRecordSelected(1, false);
    setRecordSelected(3, false);
    EXPECT_FALSE(ui.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(ui.sendButton->isEnabled());
    EXPECT_TRUE(ui.recordSelectionLabel->text().isEmpty());
}

TEST_F(AttributeListTest, ClearSelectionRemovesAdjacentItemsAndKeepsOrder) {
    MainWindow& w = *window;
    select({1, 2});
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.clearRecordSelection();
    EXPECT_EQ(items(ui.records), (QStringList{"'1'", "'4'", "'5'"}));
    EXPECT_EQ(ui.statusLabel->text(), "2 item(s) cleared.");
    EXPECT_FALSE(ui.sendButton->isEnabled());
    EXPECT_FALSE(ui.clearRecordSelectionButton->isEnabled());
    EXPECT_TRUE(ui.recordSelectionLabel->text().isEmpty());
    EXPECT_TRUE(ui.clearRecordsButton->isEnabled());
    EXPECT_EQ(ui.records->maxFields(), 3);
    const auto box = fakes.dialogs.messages().at(0);
    EXPECT_EQ(box.text, "Are you sure you want to clear all selected items?");
    EXPECT_EQ(box.caption, "Quillon");
    EXPECT_EQ(box.icon, platform::MessageIcon::Question);
    EXPECT_EQ(box.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(box.preset, DialogButton::No);
    EXPECT_EQ(fakes.ui.beeps, 1);
}

TEST_F(AttributeListTest, AnsweringNoChangesNothing) {
    MainWindow& w = *window;
    select({2});
    fakes.dialogs.answerButton(DialogButton::No);
    w.clearRecordSelection();
    fakes.dialogs.answerButton(DialogButton::No);
    w.clearRecords();
    EXPECT_EQ(ui.records->count(), 5);
    EXPECT_EQ(selectedRecordCount(), 1);
    EXPECT_TRUE(ui.clearRecordSelectionButton->isEnabled());
}

// Clear Selection over every item and Clear All (over any selection) end alike.
TEST_F(AttributeListTest, ClearingEveryItemEmptiesTheListAndDisablesItsButtons) {
    MainWindow& w = *window;
    for (const bool clearAll : {false, true}) {
        SCOPED_TRACE(clearAll ? "Clear All" : "Clear Selection");
        if (clearAll) {
            fill();
            select({0});
        } else {
            w.selectAllRecords();
        }
        fakes.dialogs.answerButton(DialogButton::Yes);
        clearAll ? w.clearRecords() : w.clearRecordSelection();
        EXPECT_EQ(ui.statusLabel->text(), "5 item(s) cleared.") << "the count before emptying";
        EXPECT_EQ(ui.records->count(), 0);
        EXPECT_EQ(ui.records->maxFields(), 0);
        EXPECT_TRUE(ui.recordSelectionLabel->text().isEmpty());
        EXPECT_TRUE(ui.recordList->toolTip().isEmpty());
        for (QPushButton* b : {ui.sendButton, ui.clearRecordsButton, ui.selectAllRecordsButton,
                               ui.unselectAllRecordsButton, ui.clearRecordSelectionButton}) {
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        }
    }
}

}  // namespace
