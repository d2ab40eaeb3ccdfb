// SPDX-License-Identifier: GPL-3.0-or-later
// The records of the window, kept in memory: long runs, their header row, and selections made
// with the keyboard.

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "main_window_fixture.h"
#include "output/send_grid.h"

namespace {

class RecordListTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawings = makeFolder("dwg");
        templates = makeFolder("tpl");
        touch(templates + "/title.txt",
              "*INPUT\nBLOCK: TITLE\n*OUTPUT\nBLOCK_NAME\n*ATTRIBUTE_TAGS\nDWGNO\nREV\n");
        setOption("Dir", drawings);
        setOption("Dir3", templates);
    }
    // A drawing on disk whose content is the memory model's: `count` title blocks.
    void addDrawing(const QString& name, std::size_t count, const QString& prefix) {
        touch(drawings + "/" + name);
        fake::MemDrawing drawing;
        fake::MemBlock title;
        title.name = "TITLE";
        drawing.blocks.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            title.handle = QString::number(i + 1, 16).toUpper();
            title.attributes = {{"DWGNO", prefix + QString::number(i)}, {"REV", "A"}};
            drawing.blocks.push_back(title);
        }
        model->addDrawing(drawings + "/" + name, drawing);
    }
    QString line(const QString& drawing) const {
        return drawings + "/" + drawing + "," + templates + "/title.txt\r\n";
    }

    QString drawings;
    QString templates;
};

TEST_F(RecordListTest, RunsPastSixteenBitCountsSendEveryRecord) {
    // 65,536 records wrapped the old 16-bit counter to 0: the send line was skipped and the run
    // reported that nothing was extracted.
    addDrawing("big.dwg", 65536, "D-");
    addDrawing("one.dwg", 1, "E-");
    const QString out = makeFolder("out");
    load();
    runListFile("DWGNAME\r\n" + line("big.dwg") + line("one.dwg") + "EXTRACT TO FILE " + out +
                "/all.txt\r\n");
    MainWindow& w = *window;
    EXPECT_EQ(w.records->count(), 65537);
    EXPECT_EQ(w.selectedRecordCount(), 65537) << "batch records stay selected";
    EXPECT_EQ(w.recordSelectionLabel->text(), "65537 of 65537 selected");
    EXPECT_EQ(w.records->maxFields(), 5) << "drawing name, block name and two tags";
    const QByteArray text = testfiles::read(out + "/all.txt");
    EXPECT_EQ(text.count("\r\n"), 65537);
    EXPECT_TRUE(text.endsWith("'ONE.DWG','TITLE','E-0','A'\r\n"));
    EXPECT_EQ(w.statusLabel->text(), "File " + out + "/all.txt saved.");
}

TEST_F(RecordListTest, HeaderRowOutlivesTheDrawingListRun) {
    // The header used to be read back from the extract file, whose path the run forgets at its
    // end: a send made afterwards had an empty header row.
    addDrawing("a.dwg", 2, "A-");
    load();
    runListFile("DWGNAME\r\n" + line("a.dwg"));
    MainWindow& w = *window;
    ASSERT_EQ(w.records->count(), 2);
    w.clipboardOption->setChecked(true);
    w.includeTagsCheck->setChecked(true);
    w.sendSelectedRecords();
    EXPECT_EQ(fakes.clipboard.text(),
              "'DRAWING_NAME','BLOCK_NAME','DWGNO','REV'\r\n"
              "'A.DWG','TITLE','A-0','A'\r\n'A.DWG','TITLE','A-1','A'\r\n");
}

TEST_F(RecordListTest, HeaderRowIsTheLastRunsAndSurvivesALostExtractFile) {
    addDrawing("a.dwg", 1, "A-");
    load();
    MainWindow& w = *window;
    w.selectAllDrawings();
    w.templateList->setCurrentRow(0);
    w.extractAttributes();
    ASSERT_EQ(w.records->count(), 1);
    QFile::remove(appDir.filePath("extract.txt"));
    EXPECT_EQ(output::headerLine(w.sendRequest().form, w.records->header(), false),
              "'DRAWING_NAME','BLOCK_NAME','DWGNO','REV'");
}

TEST_F(RecordListTest, SelectAllAndUnselectAllAreOneChangeOnALongList) {
    load();
    MainWindow& w = *window;
    QStringList texts;
    for (int i = 0; i < 200000; ++i) texts << "'R-" + QString::number(i) + "','A'";
    QSignalSpy inserted(w.records, &QAbstractItemModel::rowsInserted);
    w.records->append(texts, 3);
    EXPECT_EQ(inserted.count(), 1) << "a run's records are one insertion";
    setRecordSelected(7, true);
    QSignalSpy changed(w.recordList->selectionModel(), &QItemSelectionModel::selectionChanged);
    w.selectAllRecords();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(w.selectedRecordCount(), 200000);
    EXPECT_EQ(w.recordSelectionLabel->text(), "200000 of 200000 selected");
    EXPECT_EQ(w.statusLabel->text(), "200000 item(s) selected.");
    w.unselectAllRecords();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(w.selectedRecordCount(), 0);
    EXPECT_EQ(w.statusLabel->text(), "200000 item(s) unselected.");
    EXPECT_TRUE(w.recordSelectionLabel->text().isEmpty());
    EXPECT_FALSE(w.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(w.sendButton->isEnabled());
    w.unselectAllRecords();
    EXPECT_EQ(w.statusLabel->text(), "200000 item(s) unselected.") << "with none selected too";
}

TEST_F(RecordListTest, ScrollRangeReachesTheLongestRecord) {
    addDrawing("a.dwg", 1, QString(400, QLatin1Char('W')));
    addDrawing("b.dwg", 1, "B-");
    load();
    MainWindow& w = *window;
    w.show();
    w.selectAllDrawings();
    w.templateList->setCurrentRow(0);
    w.extractAttributes();
    ASSERT_EQ(w.records->count(), 2);
    QApplication::processEvents();
    const int needed = QFontMetrics(w.recordList->font()).horizontalAdvance(w.records->record(0));
    QScrollBar* bar = w.recordList->horizontalScrollBar();
    EXPECT_GE(bar->maximum() + w.recordList->viewport()->width(), needed);
}

// A selection made with the keyboard counts as a click, in every list of the window.
TEST_F(RecordListTest, KeyboardSelectionIsAClickInEveryList) {
    addDrawing("a.dwg", 2, "A-");
    addDrawing("b.dwg", 1, "B-");
    touch(templates + "/other.txt", "*INPUT\n");
    const QString out = makeFolder("out");
    touch(out + "/a.txt");
    touch(out + "/b.txt");
    setOption("TPath", out);
    load();
    MainWindow& w = *window;
    w.show();

    // Drawings: the arrow moves, Space toggles; the count and date follow.
    w.drawingList->setFocus();
    w.drawingList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(w.drawingList, Qt::Key_Down);
    QTest::keyClick(w.drawingList, Qt::Key_Space);
    EXPECT_EQ(w.drawingSelectionLabel->text(), "1 sel");
    EXPECT_FALSE(w.drawingInfoLabel->text().isEmpty()) << "the selected drawing's date and size";
    QTest::keyClick(w.drawingList, Qt::Key_Up);
    QTest::keyClick(w.drawingList, Qt::Key_Space);
    EXPECT_EQ(w.drawingSelectionLabel->text(), "2 sel") << "drawings are chosen several at once";
    QTest::keyClick(w.drawingList, Qt::Key_Space);
    EXPECT_EQ(w.drawingSelectionLabel->text(), "1 sel");

    // Templates: the arrow selects; the extract command follows.
    w.templateList->setFocus();
    QTest::keyClick(w.templateList, Qt::Key_Down);
    ASSERT_EQ(w.templateList->selectedItems().size(), 1);
    EXPECT_TRUE(w.extractButton->isEnabled());
    EXPECT_FALSE(w.templateInfoLabel->text().isEmpty());
    const QString chosen = w.templateList->selectedItems()[0]->text();
    QTest::keyClick(w.templateList, chosen == "title.txt" ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(w.templateList->selectedItems()[0]->text(), "title.txt");
    w.extractAttributes();
    ASSERT_EQ(w.records->count(), 1);

    // Records: Space toggles the current record; the count and the send command follow.
    w.recordList->setFocus();
    w.recordList->setCurrentIndex(w.records->index(0));
    w.recordList->selectionModel()->clearSelection();
    QTest::keyClick(w.recordList, Qt::Key_Space);
    EXPECT_EQ(w.recordSelectionLabel->text(), "1 of 1 selected");
    EXPECT_TRUE(w.clearRecordSelectionButton->isEnabled());

    // Output files: the arrow selects the next file, which becomes the send target.
    w.outputFileList->setFocus();
    w.outputFileList->setCurrentRow(0);
    QTest::keyClick(w.outputFileList, Qt::Key_Down);
    EXPECT_EQ(w.m_textFile, out + "/b.txt");
    EXPECT_TRUE(w.sendButton->isEnabled());
}

}  // namespace
