#include "mainwindow/form1_fixture.h"

namespace {

using platform::DialogButton;

class AttributeListTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        load();
        window->records->append({"'1'", "'2'", "'3'", "'4'", "'5'"}, 3);
        for (QPushButton* b : {window->Command3, window->Command6, window->Command7}) {
            b->setEnabled(true);
        }
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) setRecordSelected(row, true);
    }
};

TEST_F(AttributeListTest, SelectionChangesDriveButtonsAndCount) {
    Form1& w = *window;
    select({1, 3});
    EXPECT_TRUE(w.Command16->isEnabled());
    EXPECT_TRUE(w.Command1->isEnabled()) << "text file destination";
    EXPECT_EQ(w.Label11->text(), "2 of 5 selected");
    setRecordSelected(1, false);
    setRecordSelected(3, false);
    EXPECT_FALSE(w.Command16->isEnabled());
    EXPECT_FALSE(w.Command1->isEnabled());
    EXPECT_TRUE(w.Label11->text().isEmpty());
}

TEST_F(AttributeListTest, DatabaseDestinationNeedsATableBeforeSending) {
    Form1& w = *window;
    w.Option6->setChecked(true);
    select({0});
    EXPECT_TRUE(w.Command16->isEnabled());
    EXPECT_FALSE(w.Command1->isEnabled());
}

TEST_F(AttributeListTest, SelectAllAndUnselectAll) {
    Form1& w = *window;
    select({0, 4});
    w.Command6_Click();
    EXPECT_EQ(w.selectedRecordCount(), 5);
    EXPECT_EQ(w.Label4->text(), "5 item(s) selected.");
    EXPECT_EQ(w.Label11->text(), "5 of 5 selected");
    w.Command7_Click();
    EXPECT_EQ(w.selectedRecordCount(), 0);
    EXPECT_EQ(w.Label4->text(), "5 item(s) unselected.");
    EXPECT_FALSE(w.Command16->isEnabled());
    EXPECT_FALSE(w.Command1->isEnabled());
    w.Command7_Click();
    EXPECT_EQ(w.Label4->text(), "5 item(s) unselected.");
}

TEST_F(AttributeListTest, ClearSelectionRemovesAdjacentItemsAndKeepsOrder) {
    Form1& w = *window;
    select({1, 2});
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.Command16_Click();
    EXPECT_EQ(items(w.records), (QStringList{"'1'", "'4'", "'5'"}));
    EXPECT_EQ(w.Label4->text(), "2 item(s) cleared.");
    EXPECT_FALSE(w.Command1->isEnabled());
    EXPECT_FALSE(w.Command16->isEnabled());
    EXPECT_TRUE(w.Label11->text().isEmpty());
    EXPECT_TRUE(w.Command3->isEnabled());
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
    Form1& w = *window;
    w.Command6_Click();
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.Command16_Click();
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(w.records->maxFields(), 0);
    for (QPushButton* b : {w.Command1, w.Command3, w.Command6, w.Command7, w.Command16}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
}

TEST_F(AttributeListTest, AnsweringNoChangesNothing) {
    Form1& w = *window;
    select({2});
    fakes.dialogs.answerButton(DialogButton::No);
    w.Command16_Click();
    fakes.dialogs.answerButton(DialogButton::No);
    w.Command3_Click();
    EXPECT_EQ(w.records->count(), 5);
    EXPECT_EQ(w.selectedRecordCount(), 1);
    EXPECT_TRUE(w.Command16->isEnabled());
}

TEST_F(AttributeListTest, ClearAllReportsTheCountBeforeEmptying) {
    Form1& w = *window;
    select({0});
    fakes.dialogs.answerButton(DialogButton::Yes);
    w.Command3_Click();
    EXPECT_EQ(w.Label4->text(), "5 item(s) cleared.");
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(w.records->maxFields(), 0);
    EXPECT_TRUE(w.Label11->text().isEmpty());
    EXPECT_TRUE(w.recordView->toolTip().isEmpty());
    EXPECT_FALSE(w.Command1->isEnabled());
}

}  // namespace
