#include "form1_fixture.h"

namespace {

class ExtractCommandTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        drawings = makeFolder("dwg");
        templates = makeFolder("tpl");
        touch(templates + "/title.txt",
              "*INPUT\nBLOCK: TITLE\n*OUTPUT\nBLOCK_NAME\n*ATTRIBUTE_TAGS\nDWGNO\n");
        addDrawing("a.dwg", "A-1");
        addDrawing("b.dwg", "B-1");
        setOption("Dir", drawings);
        setOption("Dir3", templates);
        load();
    }
    void addDrawing(const QString& name, const QString& dwgno) {
        touch(drawings + "/" + name);
        fake::MemDrawing drawing;
        fake::MemBlock title;
        title.name = "TITLE";
        title.attributes = {{"DWGNO", dwgno}};
        drawing.blocks.push_back(title);
        model->addDrawing(drawings + "/" + name, drawing);
    }
    void chooseAll() {
        window->Command13_Click();
        window->List1->item(0)->setSelected(true);
        window->List1_Click();
    }
    QString drawings;
    QString templates;
};

TEST_F(ExtractCommandTest, RunAddsRecordsAndEnablesTheListButtons) {
    Form1& w = *window;
    chooseAll();
    ASSERT_TRUE(w.Command15->isEnabled());
    w.Command15_Click();
    EXPECT_EQ(items(w.records), (QStringList{"'A.DWG','TITLE','A-1'", "'B.DWG','TITLE','B-1'"}));
    EXPECT_EQ(w.Label4->text(), "Attributes from 2 file(s) extracted in 0.00 second(s).");
    EXPECT_TRUE(w.Command3->isEnabled());
    EXPECT_TRUE(w.Command6->isEnabled());
    EXPECT_TRUE(w.Command7->isEnabled());
    EXPECT_FALSE(w.Command15->isEnabled());
    EXPECT_TRUE(w.List2->selectedItems().isEmpty());
    EXPECT_EQ(w.recordView->toolTip(), " Select items to send ");
    EXPECT_EQ(w.records->maxFields(), 4);
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(fakes.ui.beeps, 0);

    chooseAll();
    w.Command15_Click();
    EXPECT_EQ(w.records->count(), 4) << "a second run adds behind the first";
}

TEST_F(ExtractCommandTest, RunWithoutRecordsBeepsAndKeepsTheList) {
    Form1& w = *window;
    touch(templates + "/title.txt", "*INPUT\nBLOCK: OTHER\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n");
    chooseAll();
    w.Command15_Click();
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_EQ(w.Label4->text(), "No attributes extracted. ");
    EXPECT_FALSE(w.Command3->isEnabled());
}

TEST_F(ExtractCommandTest, SpaceDelimitedRecordsUseTheSpacesBox) {
    Form1& w = *window;
    w.Option2->setChecked(true);
    w.Text4->setText("3");
    w.Check1->setChecked(false);
    chooseAll();
    w.Command15_Click();
    EXPECT_EQ(items(w.records), (QStringList{"TITLE   A-1", "TITLE   B-1"}));
    EXPECT_EQ(w.records->maxFields(), 0) << "only comma-delimited records are counted";
}

TEST_F(ExtractCommandTest, ApplicationThatCannotStartIsReported) {
    Form1& w = *window;
    model->failOn(fake::Call::Create);
    chooseAll();
    w.Command15_Click();
    EXPECT_EQ(w.Label4->text(), "Unable to open AutoCAD.");
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Error opening AutoCAD");
    EXPECT_TRUE(fakes.dialogs.messages()[0].systemModal);
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::Exclamation);
}

TEST_F(ExtractCommandTest, ASecondClickDuringARunIsRefused) {
    Form1& w = *window;
    chooseAll();
    int nested = 0;
    fakes.ui.onProcessEvents = [&] {
        if (nested++ == 0) w.Command15_Click();  // arrives while the first run yields
    };
    w.Command15_Click();
    EXPECT_EQ(w.records->count(), 2) << "the nested click did not run a second extraction";
}

}  // namespace
