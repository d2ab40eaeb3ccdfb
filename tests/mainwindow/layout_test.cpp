// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout: every caption whole in any font, nothing on top of anything else, the
// same places whichever destination is chosen, and lists that grow with the window.

#include <QFont>
#include <QLayout>
#include <QScrollBar>
#include <map>

#include "main_window_fixture.h"
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
        EXPECT_EQ(QFontInfo(w.cdfOption->font()).pointSizeF(), QFontInfo(font).pointSizeF())
            << "the window uses the application's font";

        const QSize first = w.size();
        QRect frame3;
        for (QRadioButton* destination : {w.textFileOption, w.clipboardOption, w.spreadsheetOption,
                                          w.databaseOption, w.documentOption}) {
            destination->setChecked(true);
            for (QRadioButton* format : {w.cdfOption, w.sdfOption}) {
                format->setChecked(true);
                settle();
                const std::string state = size + ", " + destination->text().toStdString() + ", " +
                                          format->text().toStdString();
                EXPECT_EQ(layoutFaults(w), QStringList()) << state;
                EXPECT_EQ(w.size(), first) << state << ": the window keeps its size";
                if (frame3.isNull()) frame3 = w.destinationFrame->geometry();
                EXPECT_EQ(w.destinationFrame->geometry(), frame3) << state << ": no jumping";
            }
        }
        w.includeDrawingNameCheck->click();  // hides "Use Full Path" and "Timestamp"
        settle();
        EXPECT_EQ(layoutFaults(w), QStringList()) << size << ", without the drawing name";

        // Made as small as it goes, the window still shows every caption whole.
        w.resize(50, 50);
        settle();
        EXPECT_EQ(layoutFaults(w), QStringList()) << size << ", smallest window";
    }
}

TEST_F(LayoutTest, EnlargingTheWindowGrowsTheLists) {
    MainWindow& w = shownWindow();
    EXPECT_LT(w.minimumWidth(), w.maximumWidth()) << "the window can be resized";
    EXPECT_LT(w.minimumHeight(), w.maximumHeight());
    const QSize records = w.recordList->size();
    const QSize drawings = w.drawingList->size();
    const QSize templates = w.templateList->size();
    w.resize(w.size() + QSize(300, 240));
    settle();
    EXPECT_GT(w.recordList->width(), records.width() + 250);
    EXPECT_GT(w.recordList->height(), records.height() + 60);
    EXPECT_GT(w.drawingList->width(), drawings.width() + 60);
    EXPECT_GT(w.drawingList->height(), drawings.height());
    EXPECT_GT(w.templateList->width(), templates.width() + 60);
    EXPECT_GT(w.templateList->height(), templates.height());
    EXPECT_EQ(layoutFaults(w), QStringList());
}

// The sheet or table list sits under the output folder's files; where a destination has none,
// the files take its room.
TEST_F(LayoutTest, OutputFilesTakeTheRoomOfAMissingSheetList) {
    MainWindow& w = shownWindow();
    std::map<QRadioButton*, int> heights;
    for (QRadioButton* destination :
         {w.spreadsheetOption, w.textFileOption, w.databaseOption, w.documentOption}) {
        destination->setChecked(true);
        settle();
        heights[destination] = w.outputFileList->height();
        if (w.sheetOrTableCombo->isVisible()) {
            EXPECT_LE(w.outputFileList->geometry().bottom(), w.sheetOrTableCombo->geometry().top());
        }
    }
    EXPECT_EQ(heights[w.spreadsheetOption], heights[w.databaseOption]) << "Excel and Access";
    EXPECT_EQ(heights[w.textFileOption], heights[w.documentOption]) << "text file and Word";
    EXPECT_GT(heights[w.textFileOption],
              heights[w.spreadsheetOption] + w.sheetOrTableCombo->height() / 2);
}

// The template folder and list belong to their frame, so they move and grow with it.
TEST_F(LayoutTest, TemplateControlsLieInTheirFrame) {
    MainWindow& w = shownWindow();
    for (QWidget* c :
         std::initializer_list<QWidget*>{w.templateDriveList, w.templateFolderList, w.templateList,
                                         w.templateCountLabel, w.templateInfoLabel}) {
        EXPECT_TRUE(w.templatesFrame->isAncestorOf(c)) << c->objectName().toStdString();
    }
    for (QWidget* c : std::initializer_list<QWidget*>{w.outputDriveList, w.outputFolderList,
                                                      w.columnEdit, w.databaseAppendCheck,
                                                      w.documentAppendCheck, w.createTableCheck}) {
        EXPECT_TRUE(w.destinationFrame->isAncestorOf(c)) << c->objectName().toStdString();
    }
}

}  // namespace
