// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProgressBar>
#include <QTest>

#include "main_window_fixture.h"

namespace {

class ExtractCommandTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
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
        window->selectAllDrawings();
        ui.templateList->item(0)->setSelected(true);
        window->templateClicked();
    }
    QString drawings;
    QString templates;
};

TEST_F(ExtractCommandTest, RunAddsRecordsAndEnablesTheListButtons) {
    MainWindow& w = *window;
    chooseAll();
    ASSERT_TRUE(ui.extractButton->isEnabled());
    w.extractAttributes();
    EXPECT_EQ(items(ui.records), (QStringList{"'A.DWG','TITLE','A-1'", "'B.DWG','TITLE','B-1'"}));
    EXPECT_EQ(ui.statusLabel->text(), "Attributes from 2 file(s) extracted in 0.00 second(s).");
    EXPECT_TRUE(ui.clearRecordsButton->isEnabled());
    EXPECT_TRUE(ui.selectAllRecordsButton->isEnabled());
    EXPECT_TRUE(ui.unselectAllRecordsButton->isEnabled());
    EXPECT_FALSE(ui.extractButton->isEnabled());
    EXPECT_TRUE(ui.drawingList->selectedItems().isEmpty());
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "") << "no drawing is selected any more";
    EXPECT_EQ(ui.recordList->toolTip(), " Select items to send ");
    EXPECT_EQ(ui.records->maxFields(), 4);
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(fakes.ui.beeps, 0);

    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 4) << "a second run adds behind the first";
}

// Drawings that cannot be read are counted on the status line, which says where they are named.
TEST_F(ExtractCommandTest, UnreadableDrawingsAreCountedOnTheStatusLine) {
    MainWindow& w = *window;
    touch(drawings + "/c.dwg");  // on disk, but the reader cannot open it
    touch(drawings + "/d.dwg");
    window->drawingFolderChanged();
    chooseAll();
    ASSERT_EQ(ui.drawingList->selectedItems().size(), 4);
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 2);
    EXPECT_EQ(ui.statusLabel->text(),
              "Attributes from 2 file(s) extracted in 0.00 second(s). 2 drawing(s) could not be "
              "read; err.log names them.");
}

TEST_F(ExtractCommandTest, RunWithoutRecordsBeepsAndKeepsTheList) {
    MainWindow& w = *window;
    touch(templates + "/title.txt", "*INPUT\nBLOCK: OTHER\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n");
    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 0);
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_EQ(ui.statusLabel->text(), "No attributes extracted. ");
    EXPECT_FALSE(ui.clearRecordsButton->isEnabled());
}

TEST_F(ExtractCommandTest, SpaceDelimitedRecordsUseTheSpacesBox) {
    MainWindow& w = *window;
    ui.sdfOption->setChecked(true);
    ui.fieldSpacesEdit->setText("3");
    ui.includeDrawingNameCheck->setChecked(false);
    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(items(ui.records), (QStringList{"TITLE   A-1", "TITLE   B-1"}));
    EXPECT_EQ(ui.records->maxFields(), 0) << "only comma-delimited records are counted";
}

TEST_F(ExtractCommandTest, ApplicationThatCannotStartIsReported) {
    MainWindow& w = *window;
    model->failOn(fake::Call::CreateReader);
    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(ui.statusLabel->text(), "Unable to open AutoCAD.");
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Error opening AutoCAD");
    EXPECT_TRUE(fakes.dialogs.messages()[0].systemModal);
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::Exclamation);
}

TEST_F(ExtractCommandTest, ASecondClickDuringARunIsRefused) {
    MainWindow& w = *window;
    chooseAll();
    int nested = 0;
    fakes.ui.onProcessEvents = [&] {
        if (nested++ == 0) w.extractAttributes();  // arrives while the first run yields
    };
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 2) << "the nested click did not run a second extraction";
}

// A run shows drawings done of the total under the status line, with Cancel; a click on Cancel
// stops the run after the drawing being read and keeps what it extracted.
TEST_F(ExtractCommandTest, CancelStopsTheRunBetweenDrawingsAndKeepsItsRecords) {
    MainWindow& w = *window;
    addDrawing("c.dwg", "C-1");
    window->drawingFolderChanged();
    chooseAll();
    auto* bar = w.findChild<QProgressBar*>("runProgressBar");
    auto* cancel = w.findChild<QPushButton*>("cancelRunButton");
    ASSERT_TRUE(bar && cancel);
    w.show();
    EXPECT_FALSE(bar->isVisible());
    QList<int> seen;
    fakes.ui.onProcessEvents = [&] {
        if (!bar->isVisible()) return;
        if (seen.isEmpty() || seen.last() != bar->value()) seen << bar->value();
        EXPECT_EQ(bar->maximum(), 3);
        if (bar->value() == 1 && cancel->isEnabled()) QTest::mouseClick(cancel, Qt::LeftButton);
    };
    w.extractAttributes();
    EXPECT_EQ(seen, (QList<int>{0, 1}));
    EXPECT_EQ(items(ui.records), (QStringList{"'A.DWG','TITLE','A-1'", "'B.DWG','TITLE','B-1'"}));
    EXPECT_EQ(ui.statusLabel->text(),
              "Attributes from 2 file(s) extracted in 0.00 second(s). Cancelled after 2 of 3 "
              "drawing(s).");
    EXPECT_FALSE(bar->isVisible()) << "the bar is put away when the run ends";
    EXPECT_FALSE(cancel->isVisible());

    // The next run starts afresh: the earlier click does not stop it.
    fakes.ui.onProcessEvents = nullptr;
    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 5);
}

// What went wrong is red; what was done is in the window's own text colour.
TEST_F(ExtractCommandTest, ProblemsAreRedAndNewsIsInTheTextColour) {
    MainWindow& w = *window;
    const QColor red(0xC0, 0x00, 0x00);
    const QColor text = QApplication::palette(ui.statusLabel).color(QPalette::WindowText);
    ASSERT_NE(text, red);
    auto colour = [&] { return ui.statusLabel->palette().color(QPalette::WindowText); };

    touch(templates + "/title.txt", "*INPUT\nBLOCK: OTHER\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n");
    chooseAll();
    w.extractAttributes();
    EXPECT_EQ(ui.statusLabel->text(), "No attributes extracted. ");
    EXPECT_EQ(colour(), red);

    touch(templates + "/title.txt",
          "*INPUT\nBLOCK: TITLE\n*OUTPUT\nBLOCK_NAME\n*ATTRIBUTE_TAGS\nDWGNO\n");
    chooseAll();
    w.extractAttributes();
    EXPECT_TRUE(ui.statusLabel->text().startsWith("Attributes from 2 file(s)"));
    EXPECT_EQ(colour(), text);
}

}  // namespace
