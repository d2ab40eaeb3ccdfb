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
    EXPECT_EQ(ui.records->count(), 65537);
    EXPECT_EQ(selectedRecordCount(), 65537) << "batch records stay selected";
    EXPECT_EQ(ui.recordSelectionLabel->text(), "65537 of 65537 selected");
    EXPECT_EQ(ui.records->maxFields(), 5) << "drawing name, block name and two tags";
    const QByteArray text = testfiles::read(out + "/all.txt");
    EXPECT_EQ(text.count("\r\n"), 65537);
    EXPECT_TRUE(text.endsWith("'ONE.DWG','TITLE','E-0','A'\r\n"));
    EXPECT_EQ(ui.statusLabel->text(), "File " + out + "/all.txt saved.");
}

TEST_F(RecordListTest, HeaderRowOutlivesTheDrawingListRun) {
    // The header used to be read back from the extract file, whose path the run forgets at its
    // end: a send made afterwards had an empty header row.
    addDrawing("a.dwg", 2, "A-");
    load();
    runListFile("DWGNAME\r\n" + line("a.dwg"));
    MainWindow& w = *window;
    ASSERT_EQ(ui.records->count(), 2);
    ui.clipboardOption->setChecked(true);
    ui.includeTagsCheck->setChecked(true);
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
    ui.templateList->setCurrentRow(0);
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 1);
    QFile::remove(appDir.filePath("extract.txt"));
    ui.clipboardOption->setChecked(true);
    ui.includeTagsCheck->setChecked(true);
    w.selectAllRecords();
    w.sendSelectedRecords();
    EXPECT_TRUE(fakes.clipboard.text().startsWith("'DRAWING_NAME','BLOCK_NAME','DWGNO','REV'\r\n"))
        << fakes.clipboard.text().toStdString();
}

TEST_F(RecordListTest, SelectAllAndUnselectAllAreOneChangeOnALongList) {
    load();
    MainWindow& w = *window;
    QStringList texts;
    for (int i = 0; i < 200000; ++i) texts << "'R-" + QString::number(i) + "','A'";
    QSignalSpy inserted(ui.records, &QAbstractItemModel::rowsInserted);
    ui.records->append(texts, 3);
    EXPECT_EQ(inserted.count(), 1) << "a run's records are one insertion";
    setRecordSelected(7, true);
    QSignalSpy changed(ui.recordList->selectionModel(), &QItemSelectionModel::selectionChanged);
    w.selectAllRecords();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(selectedRecordCount(), 200000);
    EXPECT_EQ(ui.recordSelectionLabel->text(), "200000 of 200000 selected");
    EXPECT_EQ(ui.statusLabel->text(), "200000 item(s) selected.");
    w.unselectAllRecords();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(selectedRecordCount(), 0);
    EXPECT_EQ(ui.statusLabel->text(), "200000 item(s) unselected.");
    EXPECT_TRUE(ui.recordSelectionLabel->text().isEmpty());
    EXPECT_FALSE(ui.clearRecordSelectionButton->isEnabled());
    EXPECT_FALSE(ui.sendButton->isEnabled());
    w.unselectAllRecords();
    EXPECT_EQ(ui.statusLabel->text(), "200000 item(s) unselected.") << "with none selected too";
}

TEST_F(RecordListTest, EveryFieldOfTheLongestRecordShowsWhole) {
    addDrawing("a.dwg", 1, QString(400, QLatin1Char('W')));
    addDrawing("b.dwg", 1, "B-");
    load();
    MainWindow& w = *window;
    w.show();
    w.selectAllDrawings();
    ui.templateList->setCurrentRow(0);
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 2);
    QApplication::processEvents();
    const QFontMetrics metrics(ui.recordList->font());
    int total = 0;
    for (int column = 0; column < ui.shown->columnCount(); ++column) {
        const QString field = ui.records->field(0, column).toString();
        EXPECT_GE(ui.recordList->columnWidth(column), metrics.horizontalAdvance(field))
            << field.toStdString();
        total += ui.recordList->columnWidth(column);
    }
    QScrollBar* bar = ui.recordList->horizontalScrollBar();
    EXPECT_GE(bar->maximum() + ui.recordList->viewport()->width(), total)
        << "the scroll range reaches the last column";
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
    ui.drawingList->setFocus();
    ui.drawingList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(ui.drawingList, Qt::Key_Down);
    QTest::keyClick(ui.drawingList, Qt::Key_Space);
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "1 sel");
    EXPECT_FALSE(ui.drawingInfoLabel->text().isEmpty()) << "the selected drawing's date and size";
    QTest::keyClick(ui.drawingList, Qt::Key_Up);
    QTest::keyClick(ui.drawingList, Qt::Key_Space);
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "2 sel") << "drawings are chosen several at once";
    QTest::keyClick(ui.drawingList, Qt::Key_Space);
    EXPECT_EQ(ui.drawingSelectionLabel->text(), "1 sel");

    // Templates: the arrow selects; the extract command follows.
    ui.templateList->setFocus();
    QTest::keyClick(ui.templateList, Qt::Key_Down);
    ASSERT_EQ(ui.templateList->selectedItems().size(), 1);
    EXPECT_TRUE(ui.extractButton->isEnabled());
    EXPECT_FALSE(ui.templateInfoLabel->text().isEmpty());
    const QString chosen = ui.templateList->selectedItems()[0]->text();
    QTest::keyClick(ui.templateList, chosen == "title.txt" ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(ui.templateList->selectedItems()[0]->text(), "title.txt");
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 1);

    // Records: Space toggles the current record; the count and the send command follow.
    ui.recordList->setFocus();
    ui.recordList->setCurrentIndex(ui.shown->index(0, 0));
    ui.recordList->selectionModel()->clearSelection();
    QTest::keyClick(ui.recordList, Qt::Key_Space);
    EXPECT_EQ(ui.recordSelectionLabel->text(), "1 of 1 selected");
    EXPECT_TRUE(ui.clearRecordSelectionButton->isEnabled());

    // Output files: the arrow selects the next file, which becomes the send target.
    ui.outputFileList->setFocus();
    ui.outputFileList->setCurrentRow(0);
    QTest::keyClick(ui.outputFileList, Qt::Key_Down);
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).target, out + "/b.txt");
    EXPECT_TRUE(ui.sendButton->isEnabled());
}

// Each record knows its drawing, block and attributes, through an extraction, a drawing list
// and the removal of records before it.
TEST_F(RecordListTest, EachRecordKeepsWhereItCameFrom) {
    addDrawing("a.dwg", 2, "A-");
    addDrawing("b.dwg", 1, "B-");
    MainWindow& w = load();
    auto where = [this](qint64 row) {
        const RecordSource& source = ui.records->source(row);
        QStringList tags;
        for (const AttributeSource& attribute : source.attributes) tags << attribute.tag;
        return QFileInfo(source.drawingPath).fileName() + " " + source.blockName + " " +
               source.blockHandle + " " + tags.join(',');
    };
    w.selectAllDrawings();
    ui.templateList->setCurrentRow(0);
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 3);
    EXPECT_EQ(ui.records->source(0).drawingPath, drawings + "/a.dwg");
    EXPECT_EQ(where(1), "a.dwg TITLE 2 DWGNO,REV");
    EXPECT_EQ(where(2), "b.dwg TITLE 1 DWGNO,REV");
    setRecordSelected(0, true);
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    w.clearRecordSelection();
    ASSERT_EQ(ui.records->count(), 2);
    EXPECT_EQ(where(0), "a.dwg TITLE 2 DWGNO,REV");
    EXPECT_EQ(where(1), "b.dwg TITLE 1 DWGNO,REV");

    runListFile("DWGNAME\r\n" + line("b.dwg") + line("a.dwg"));
    ASSERT_EQ(ui.records->count(), 3);
    EXPECT_EQ(where(0), "b.dwg TITLE 1 DWGNO,REV");
    EXPECT_EQ(where(2), "a.dwg TITLE 2 DWGNO,REV");
}

}  // namespace
