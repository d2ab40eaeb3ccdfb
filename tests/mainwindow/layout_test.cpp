// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout: every caption whole in any font, nothing on top of anything else, the
// same places whichever destination is chosen, and lists that grow with the window.

#include <QFont>
#include <QLayout>
#include <QScrollBar>
#include <QTest>
#include <map>

#include "main_window_fixture.h"
#include "mainwindow/folder_path_box.h"
#include "support/gui/layout_faults.h"

namespace {

using fake::layoutFaults;

class LayoutTest : public MainWindowTest {
protected:
    void TearDown() override { QApplication::setFont(m_appFont); }

    MainWindow& shownWindow() {
        MainWindow& w = load();
        w.show();
        QApplication::processEvents();
        return w;
    }
    void settle() {
        if (QLayout* layout = window->layout()) layout->activate();
        QApplication::processEvents();
    }

    // The filter box shows its placeholder whole and the count its longest text, both on the
    // caption's line over the record table.
    void expectFilterAndCountFit(const std::string& state) {
        QLineEdit* filter = ui.recordFilterEdit;
        EXPECT_TRUE(filter->isVisible()) << state;
        EXPECT_GE(filter->width(),
                  filter->fontMetrics().horizontalAdvance(filter->placeholderText()))
            << state;
        QLabel* count = ui.recordCountLabel;
        EXPECT_TRUE(count->isVisible()) << state;
        EXPECT_GE(count->width(),
                  count->fontMetrics().horizontalAdvance(QStringLiteral("200000 of 200000 shown")))
            << state;
        for (QWidget* w : std::initializer_list<QWidget*>{filter, count}) {
            EXPECT_LE(w->geometry().bottom(), ui.recordList->geometry().top()) << state;
            EXPECT_GT(w->geometry().bottom(), ui.recordListLabel->geometry().top()) << state;
        }
    }

    const QFont m_appFont = QApplication::font();
};

// Each state of the window shows other captions: all of them must be whole.
TEST_F(LayoutTest, EveryCaptionFitsInTheDefaultFontAndALargerOne) {
    for (const qreal points : {0.0, 14.0}) {
        QFont font = m_appFont;
        if (points > 0) font.setPointSizeF(points);
        QApplication::setFont(font);
        window.reset();
        MainWindow& w = shownWindow();
        const std::string size = std::to_string(QFontInfo(w.font()).pointSizeF()) + " pt";
        EXPECT_EQ(QFontInfo(ui.cdfOption->font()).pointSizeF(), QFontInfo(font).pointSizeF())
            << "the window uses the application's font";

        const QSize first = w.size();
        QRect frame3;
        for (QRadioButton* destination :
             {ui.textFileOption, ui.clipboardOption, ui.spreadsheetOption, ui.databaseOption,
              ui.documentOption}) {
            destination->setChecked(true);
            for (QRadioButton* format : {ui.cdfOption, ui.sdfOption}) {
                format->setChecked(true);
                settle();
                const std::string state = size + ", " + destination->text().toStdString() + ", " +
                                          format->text().toStdString();
                EXPECT_EQ(layoutFaults(w), QStringList()) << state;
                EXPECT_EQ(w.size(), first) << state << ": the window keeps its size";
                if (frame3.isNull()) frame3 = ui.destinationFrame->geometry();
                EXPECT_EQ(ui.destinationFrame->geometry(), frame3) << state << ": no jumping";
            }
        }
        expectFilterAndCountFit(size);
        ui.includeDrawingNameCheck->click();  // hides "Use Full Path" and "Timestamp"
        settle();
        EXPECT_EQ(layoutFaults(w), QStringList()) << size << ", without the drawing name";

        // Made as small as it goes, the window still shows every caption whole.
        w.resize(50, 50);
        settle();
        EXPECT_EQ(layoutFaults(w), QStringList()) << size << ", smallest window";
        expectFilterAndCountFit(size + ", smallest window");
    }
}

// Laptops of 1366x768 at scale 1, and 1920x1080 screens at scale 1.5 (1280x720 in the
// window's own pixels), less a panel and the title bar: the window's smallest size fits both,
// in DejaVu Sans 10 pt, and it opens no larger than the screen.
TEST_F(LayoutTest, TheWindowFitsALaptopAndAScaledFullHdScreen) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    QApplication::setFont(font);
    window.reset();
    MainWindow& w = shownWindow();
    const QSize smallest = w.layout()->totalMinimumSize();
    const QSize room(1280, 720 - 32 - 32);
    EXPECT_LE(smallest.width(), room.width());
    EXPECT_LE(smallest.height(), room.height());
    w.resize(room);
    settle();
    EXPECT_EQ(w.size(), room);
    EXPECT_EQ(layoutFaults(w), QStringList()) << "at 1280x656";
}

TEST_F(LayoutTest, EnlargingTheWindowGrowsTheLists) {
    MainWindow& w = shownWindow();
    EXPECT_LT(w.minimumWidth(), w.maximumWidth()) << "the window can be resized";
    EXPECT_LT(w.minimumHeight(), w.maximumHeight());
    const QSize records = ui.recordList->size();
    const QSize drawings = ui.drawingList->size();
    const QSize templates = ui.templateList->size();
    w.resize(w.size() + QSize(300, 240));
    settle();
    EXPECT_GT(ui.recordList->width(), records.width() + 250);
    EXPECT_GT(ui.recordList->height(), records.height() + 60);
    EXPECT_GT(ui.drawingList->width(), drawings.width() + 60);
    EXPECT_GT(ui.drawingList->height(), drawings.height());
    EXPECT_GT(ui.templateList->width(), templates.width() + 60);
    EXPECT_GT(ui.templateList->height(), templates.height());
    EXPECT_EQ(layoutFaults(w), QStringList());
}

// The sheet or table list sits under the output folder's files; where a destination has none,
// the files take its room.
TEST_F(LayoutTest, OutputFilesTakeTheRoomOfAMissingSheetList) {
    shownWindow();
    std::map<QRadioButton*, int> heights;
    for (QRadioButton* destination :
         {ui.spreadsheetOption, ui.textFileOption, ui.databaseOption, ui.documentOption}) {
        destination->setChecked(true);
        settle();
        heights[destination] = ui.outputFileList->height();
        if (ui.sheetOrTableCombo->isVisible()) {
            EXPECT_LE(ui.outputFileList->geometry().bottom(),
                      ui.sheetOrTableCombo->geometry().top());
        }
    }
    EXPECT_EQ(heights[ui.spreadsheetOption], heights[ui.databaseOption]) << "Excel and Access";
    EXPECT_EQ(heights[ui.textFileOption], heights[ui.documentOption]) << "text file and Word";
    EXPECT_GT(heights[ui.textFileOption],
              heights[ui.spreadsheetOption] + ui.sheetOrTableCombo->height() / 2);
}

// The template folder and list belong to their frame, so they move and grow with it.
TEST_F(LayoutTest, TemplateControlsLieInTheirFrame) {
    MainWindow& w = shownWindow();
    for (QWidget* c : std::initializer_list<QWidget*>{ui.templateDriveList, ui.templateFolderList,
                                                      ui.templateList, ui.templateCountLabel,
                                                      ui.templateInfoLabel}) {
        EXPECT_TRUE(ui.templatesFrame->isAncestorOf(c)) << c->objectName().toStdString();
    }
    for (QWidget* c : std::initializer_list<QWidget*>{
             ui.outputDriveList, ui.outputFolderList, ui.columnEdit, ui.databaseAppendCheck,
             ui.documentAppendCheck, ui.createTableCheck}) {
        EXPECT_TRUE(ui.destinationFrame->isAncestorOf(c)) << c->objectName().toStdString();
    }
    // Each folder choice: its path and "…" beside the drive, over the folder list, in its frame.
    const std::tuple<const char*, QGroupBox*, DriveListBox*, FolderListBox*> choices[] = {
        {"drawing", ui.drawingsFrame, ui.drawingDriveList, ui.drawingFolderList},
        {"template", ui.templatesFrame, ui.templateDriveList, ui.templateFolderList},
        {"output", ui.destinationFrame, ui.outputDriveList, ui.outputFolderList}};
    for (const auto& [name, frame, drive, folder] : choices) {
        SCOPED_TRACE(name);
        auto* path = w.findChild<FolderPathBox*>(QString(name) + "PathBox");
        auto* browse = w.findChild<QWidget*>(QString(name) + "BrowseButton");
        ASSERT_TRUE(path && browse);
        EXPECT_TRUE(frame->isAncestorOf(path));
        EXPECT_TRUE(frame->isAncestorOf(browse));
        EXPECT_EQ(path->geometry().center().y(), drive->geometry().center().y());
        EXPECT_LT(drive->geometry().right(), path->geometry().left());
        EXPECT_LT(path->geometry().right(), browse->geometry().left());
        EXPECT_LT(path->geometry().bottom(), folder->geometry().top());
        EXPECT_GE(path->width(), path->fontMetrics().averageCharWidth() * 12)
            << "room for a path's start";
    }
    // The output folder's path and "…" come and go with its lists.
    ui.clipboardOption->setChecked(true);
    EXPECT_FALSE(w.findChild<QWidget*>("outputPathBox")->isVisible());
    EXPECT_FALSE(w.findChild<QWidget*>("outputBrowseButton")->isVisible());
    ui.textFileOption->setChecked(true);
    EXPECT_TRUE(w.findChild<QWidget*>("outputPathBox")->isVisible());
}

// Tab walks the steps in their numbers, and reaches the destinations at the one chosen.
TEST_F(LayoutTest, TabFollowsTheStepsAndLandsOnTheChosenDestination) {
    MainWindow& w = shownWindow();
    w.activateWindow();
    ui.spreadsheetOption->setChecked(true);
    for (QPushButton* b : w.findChildren<QPushButton*>()) b->setEnabled(true);
    ui.drawingDriveList->setFocus();
    QStringList order;
    for (QWidget* at = QApplication::focusWidget(); at && !order.contains(at->objectName());
         at = QApplication::focusWidget()) {
        order << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
    }
    const QStringList steps = {
        "drawingDriveList", "drawingList",        "selectAllDrawingsButton", "templateDriveList",
        "templateList",     "cdfOption",          "includeDrawingNameCheck", "extractButton",
        "recordList",       "clearRecordsButton", "spreadsheetOption",       "outputDriveList",
        "outputFileList",   "sendButton"};
    qsizetype last = -1;
    for (const QString& step : steps) {
        const qsizetype at = order.indexOf(step);
        EXPECT_GT(at, last) << step.toStdString() << " in " << order.join(' ').toStdString();
        last = std::max(last, at);
    }
    for (const char* other :
         {"textFileOption", "clipboardOption", "databaseOption", "documentOption", "sdfOption"}) {
        EXPECT_FALSE(order.contains(other)) << other << ": only the chosen option takes Tab";
    }
    // The arrow keys still move among the options and choose as they go.
    ui.spreadsheetOption->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui.spreadsheetOption, Qt::Key_Down);
    EXPECT_TRUE(ui.databaseOption->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), ui.databaseOption);
    ui.recordList->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui.recordList, Qt::Key_Tab);
    for (int i = 0; i < 6 && QApplication::focusWidget() != ui.databaseOption; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), ui.databaseOption);
    EXPECT_FALSE(ui.textFileOption->hasFocus());
}

}  // namespace
