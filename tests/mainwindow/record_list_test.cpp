// The records of the window, kept in memory: long runs, their header row, and selections made
// with the keyboard.

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "form1_fixture.h"
#include "output/send_grid.h"

namespace {

class RecordListTest : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        drawings = makeFolder("dwg");
        templates = makeFolder("tpl");
        touch(templates + "/title.txt",
              "*INPUT\nBLOCK: TITLE\n*OUTPUT\nBLOCK_NAME\n*ATTRIBUTE_TAGS\nDWGNO\nREV\n");
        setOption("Dir", drawings);
        setOption("Dir3", templates);
    }
    // A drawing on disk whose content is the memory model's: `count` title blocks.
    void addDrawing(const QString& name, int count, const QString& prefix) {
        touch(drawings + "/" + name);
        fake::MemDrawing drawing;
        fake::MemBlock title;
        title.name = "TITLE";
        drawing.blocks.reserve(count);
        for (int i = 0; i < count; ++i) {
            title.handle = QString::number(i + 1, 16).toUpper();
            title.attributes = {{"DWGNO", prefix + QString::number(i)}, {"REV", "A"}};
            drawing.blocks.push_back(title);
        }
        model->addDrawing(drawings + "/" + name, drawing);
    }
    // Runs `text` as a drawing list file given on the command line.
    void runList(const QString& text) {
        const QString path = appDir.filePath("run.dlf");
        touch(path, text.toUtf8());
        window->mstrCmdLine = path;
        window->Command5_Click();
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
    runList("DWGNAME\r\n" + line("big.dwg") + line("one.dwg") + "EXTRACT TO FILE " + out +
            "/all.txt\r\n");
    Form1& w = *window;
    EXPECT_EQ(w.records->count(), 65537);
    EXPECT_EQ(w.selectedRecordCount(), 65537) << "batch records stay selected";
    EXPECT_EQ(w.Label11->text(), "65537 of 65537 selected");
    EXPECT_EQ(w.records->maxFields(), 5) << "drawing name, block name and two tags";
    const QByteArray text = testfiles::read(out + "/all.txt");
    EXPECT_EQ(text.count("\r\n"), 65537);
    EXPECT_TRUE(text.endsWith("'ONE.DWG','TITLE','E-0','A'\r\n"));
    EXPECT_EQ(w.Label4->text(), "File " + out + "/all.txt saved.");
}

TEST_F(RecordListTest, HeaderRowOutlivesTheDrawingListRun) {
    // The header used to be read back from the extract file, whose path the run forgets at its
    // end: a send made afterwards had an empty header row.
    addDrawing("a.dwg", 2, "A-");
    load();
    runList("DWGNAME\r\n" + line("a.dwg"));
    Form1& w = *window;
    ASSERT_EQ(w.records->count(), 2);
    w.Option4->setChecked(true);
    w.Check9->setChecked(true);
    w.Command1_Click();
    EXPECT_EQ(fakes.clipboard.text(),
              "'DRAWING_NAME','BLOCK_NAME','DWGNO','REV'\r\n"
              "'A.DWG','TITLE','A-0','A'\r\n'A.DWG','TITLE','A-1','A'\r\n");
}

TEST_F(RecordListTest, HeaderRowIsTheLastRunsAndSurvivesALostExtractFile) {
    addDrawing("a.dwg", 1, "A-");
    load();
    Form1& w = *window;
    w.Command13_Click();
    w.List1->setCurrentRow(0);
    w.Command15_Click();
    ASSERT_EQ(w.records->count(), 1);
    QFile::remove(appDir.filePath("extract.txt"));
    EXPECT_EQ(output::headerLine(w.sendRequest().form, w.records->header(), false),
              "'DRAWING_NAME','BLOCK_NAME','DWGNO','REV'");
}

TEST_F(RecordListTest, SelectAllAndUnselectAllAreOneChangeOnALongList) {
    load();
    Form1& w = *window;
    QStringList texts;
    for (int i = 0; i < 200000; ++i) texts << "'R-" + QString::number(i) + "','A'";
    QSignalSpy inserted(w.records, &QAbstractItemModel::rowsInserted);
    w.records->append(texts, 3);
    EXPECT_EQ(inserted.count(), 1) << "a run's records are one insertion";
    QSignalSpy changed(w.recordView->selectionModel(), &QItemSelectionModel::selectionChanged);
    w.Command6_Click();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(w.Label11->text(), "200000 of 200000 selected");
    EXPECT_EQ(w.Label4->text(), "200000 item(s) selected.");
    w.Command7_Click();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(w.Label11->text().isEmpty());
    EXPECT_FALSE(w.Command16->isEnabled());
}

TEST_F(RecordListTest, ScrollRangeReachesTheLongestRecord) {
    addDrawing("a.dwg", 1, QString(400, QLatin1Char('W')));
    addDrawing("b.dwg", 1, "B-");
    load();
    Form1& w = *window;
    w.show();
    w.Command13_Click();
    w.List1->setCurrentRow(0);
    w.Command15_Click();
    ASSERT_EQ(w.records->count(), 2);
    QApplication::processEvents();
    const int needed = QFontMetrics(w.recordView->font()).horizontalAdvance(w.records->record(0));
    QScrollBar* bar = w.recordView->horizontalScrollBar();
    EXPECT_GE(bar->maximum() + w.recordView->viewport()->width(), needed);
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
    Form1& w = *window;
    w.show();

    // Drawings: the arrow moves, Space toggles; the count and date follow.
    w.List2->setFocus();
    w.List2->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(w.List2, Qt::Key_Down);
    QTest::keyClick(w.List2, Qt::Key_Space);
    EXPECT_EQ(w.Label12->text(), "1 sel");
    EXPECT_FALSE(w.Label2->text().isEmpty()) << "the selected drawing's date and size";

    // Templates: the arrow selects; the extract command follows.
    w.List1->setFocus();
    QTest::keyClick(w.List1, Qt::Key_Down);
    ASSERT_EQ(w.List1->selectedItems().size(), 1);
    EXPECT_TRUE(w.Command15->isEnabled());
    EXPECT_FALSE(w.Label6->text().isEmpty());
    const QString chosen = w.List1->selectedItems()[0]->text();
    QTest::keyClick(w.List1, chosen == "title.txt" ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(w.List1->selectedItems()[0]->text(), "title.txt");
    w.Command15_Click();
    ASSERT_EQ(w.records->count(), 1);

    // Records: Space toggles the current record; the count and the send command follow.
    w.recordView->setFocus();
    w.recordView->setCurrentIndex(w.records->index(0));
    w.recordView->selectionModel()->clearSelection();
    QTest::keyClick(w.recordView, Qt::Key_Space);
    EXPECT_EQ(w.Label11->text(), "1 of 1 selected");
    EXPECT_TRUE(w.Command16->isEnabled());

    // Output files: the arrow selects the next file, which becomes the send target.
    w.List4->setFocus();
    w.List4->setCurrentRow(0);
    QTest::keyClick(w.List4, Qt::Key_Down);
    EXPECT_EQ(w.mstrTextFile, out + "/b.txt");
    EXPECT_TRUE(w.Command1->isEnabled());
}

}  // namespace
