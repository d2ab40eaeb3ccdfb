// SPDX-License-Identifier: GPL-3.0-or-later
// The records as a table: columns named by the header row, sorting and filtering that leave what
// is sent as it was, and a new run shown where it landed.

#include <QHeaderView>
#include <QTest>

#include "drawing/drawing_file_reader.h"
#include "main_window_fixture.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class RecordTableTest : public MainWindowTest {
protected:
    // The bundled example drawings through the real reader, with their title block template.
    void loadExamples() {
        drawings = makeFolder("Drawings");
        const QString templates = makeFolder("templates");
        for (const char* name : {"boiler-feed.dxf", "cooling-water.dxf", "tank-farm.dxf"}) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + name, drawings + "/" + name));
        }
        touch(templates + "/title.txt", testfiles::read(kExamples + "/titleblock.txt"));
        setOption("Dir", drawings);
        setOption("Dir3", templates);
        setOption("FExt", "*.dxf");
        readerFactory = drawing::drawingFileReaderFactory();
        load();
        window->show();
    }
    void extract() {
        MainWindow& w = *window;
        w.selectAllDrawings();
        ui.templateList->setCurrentRow(0);
        w.extractAttributes();
        QApplication::processEvents();
    }
    QStringList columnNames() const {
        QStringList names;
        for (int c = 0; c < ui.shown->columnCount(); ++c) {
            names << ui.shown->headerData(c, Qt::Horizontal).toString();
        }
        return names;
    }
    // The cells of shown row `row`, as the table draws them.
    QStringList cells(int row) const {
        QStringList texts;
        for (int c = 0; c < ui.shown->columnCount(); ++c) {
            texts << ui.shown->index(row, c).data().toString();
        }
        return texts;
    }
    int column(const QString& name) const { return int(columnNames().indexOf(name)); }
    // A click on a column's header, as a user sorts.
    void clickHeader(int section) {
        QHeaderView* header = ui.recordList->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 4, header->height() / 2));
    }
    // A click on a shown row: toggles its selection.
    void clickRow(int row) {
        const QRect cell = ui.recordList->visualRect(ui.shown->index(row, 0));
        QTest::mouseClick(ui.recordList->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString sentToClipboard() {
        ui.clipboardOption->setChecked(true);
        ui.includeTagsCheck->setChecked(false);
        window->sendSelectedRecords();
        return fakes.clipboard.text();
    }

    QString drawings;
};

TEST_F(RecordTableTest, ColumnsAreTheHeaderRowsNamesInEveryForm) {
    loadExamples();
    MainWindow& w = *window;
    const QStringList tags = {"BLOCK_NAME", "BLOCK_HANDLE", "DWGNO", "TITLE", "REV"};
    struct Case {
        const char* form;
        bool name, fullPath, timestamp, sdf;
        QStringList labels;  // before the template's fields and tags
    };
    const Case cases[] = {
        {"comma-delimited with the drawing name", true, false, false, false, {"DRAWING_NAME"}},
        {"space-delimited, full path and timestamp",
         true,
         true,
         true,
         true,
         {"DRAWING_NAME", "TIMESTAMP"}},
        {"without the drawing name", false, false, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        if (!ui.records->isEmpty()) {
            fakes.dialogs.answerButton(platform::DialogButton::Yes);
            w.clearRecords();
        }
        setCheckValue(ui.includeDrawingNameCheck,
                      c.name ? CheckValue::Checked : CheckValue::Unchecked);
        ui.fullPathCheck->setChecked(c.fullPath);
        ui.timestampCheck->setChecked(c.timestamp);
        (c.sdf ? ui.sdfOption : ui.cdfOption)->setChecked(true);
        ui.fieldSpacesEdit->setText("3");
        extract();
        ASSERT_EQ(ui.records->count(), 4) << "two sheets of the boiler feed, one of each other";
        EXPECT_EQ(columnNames(), c.labels + tags);
        // The last record is the tank farm's title block, field by field.
        QStringList row = cells(3);
        ASSERT_EQ(row.size(), c.labels.size() + tags.size()) << row.join('|').toStdString();
        if (c.name) {
            EXPECT_EQ(row[0], c.fullPath ? drawings + "/tank-farm.dxf" : "TANK-FARM.DXF");
        }
        if (c.timestamp) {
            EXPECT_FALSE(row[1].isEmpty());
        }
        row = row.mid(c.labels.size());
        EXPECT_EQ(row[0], "TITLE");
        EXPECT_FALSE(row[1].isEmpty()) << "the block's handle";
        EXPECT_EQ(row.mid(2), QStringList({"PID-2001", "Tank farm transfer", "B"}));
    }

    // Fields past the header row's names are numbered.
    ui.records->append({"'A','B','C','D','E','F','G'"});
    EXPECT_EQ(columnNames().mid(4), QStringList({"REV", "Field 6", "Field 7"}));
}

// Sorting changes what the table shows, never the list: the selection keeps its records and a send
// carries them in list order, with their text as extracted.
TEST_F(RecordTableTest, SortedTableSendsTheSelectedRecordsInListOrder) {
    loadExamples();
    extract();
    ASSERT_EQ(ui.records->count(), 4);
    const QStringList list = ui.records->texts();
    clickRow(3);  // the tank farm, last in the list
    const int dwgno = column("DWGNO");
    ASSERT_GE(dwgno, 0);

    clickHeader(dwgno);
    clickHeader(dwgno);  // descending
    QStringList numbers;
    for (int row = 0; row < 4; ++row) numbers << cells(row)[dwgno];
    EXPECT_EQ(numbers, QStringList({"PID-2001", "PID-1003", "PID-1002", "PID-1001"}));
    EXPECT_EQ(ui.recordSelectionLabel->text(), "1 of 4 selected") << "the sort kept the selection";
    EXPECT_TRUE(ui.recordList->selectionModel()->isRowSelected(0, {})) << "on its record";

    clickRow(3);  // the cooling water circuit, third in the list
    EXPECT_EQ(sentToClipboard(), list[2] + "\r\n" + list[3] + "\r\n");

    clickHeader(dwgno);  // a third click: list order again
    EXPECT_EQ(ui.shown->sortColumn(), -1);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(cells(row)[dwgno], ui.records->field(row, dwgno));
    EXPECT_EQ(ui.recordSelectionLabel->text(), "2 of 4 selected");
    EXPECT_TRUE(ui.recordList->selectionModel()->isRowSelected(2, {}));
    EXPECT_TRUE(ui.recordList->selectionModel()->isRowSelected(3, {}));
}

// Numbers in a field sort by their value and letter case does not split equal names; equal fields
// keep list order, in either direction.
TEST_F(RecordTableTest, FieldsSortAsPeopleReadThem) {
    load();
    ui.records->append({"'B-10','1'", "'b-9','2'", "'A-0100','3'", "'b-9','4'", "'B-9a','5'"});
    auto sorted = [this](Qt::SortOrder order) {
        ui.recordList->sortByColumn(0, order);
        QStringList second;
        for (int row = 0; row < ui.shown->rowCount(); ++row) second << cells(row)[1];
        return second.join(' ');
    };
    EXPECT_EQ(sorted(Qt::AscendingOrder), "3 2 4 5 1");
    EXPECT_EQ(sorted(Qt::DescendingOrder), "1 5 2 4 3");
}

// The filter shows the records holding its text, whatever its letter case, and the count says how
// many. Select All selects what is shown; a record the filter hides is no longer selected, so a
// send never carries a record the user cannot see.
TEST_F(RecordTableTest, FilterShowsMatchingRecordsAndSelectAllSelectsThem) {
    loadExamples();
    MainWindow& w = *window;
    EXPECT_EQ(ui.recordFilterEdit->placeholderText(), "Filter records");
    EXPECT_EQ(ui.recordCountLabel->text(), "0 records");
    extract();
    ASSERT_EQ(ui.records->count(), 4);
    EXPECT_EQ(ui.recordCountLabel->text(), "4 records");
    const QStringList list = ui.records->texts();

    struct Case {
        const char* filter;
        int shown;
        const char* count;
    };
    for (const Case& c : {Case{"tank", 1, "1 of 4 shown"}, Case{"PID-", 4, "4 records"},
                          Case{"water C", 1, "1 of 4 shown"}, Case{"sheet 2", 1, "1 of 4 shown"},
                          Case{"no such", 0, "0 of 4 shown"}}) {
        ui.recordFilterEdit->clear();
        QTest::keyClicks(ui.recordFilterEdit, c.filter);
        EXPECT_EQ(ui.shown->rowCount(), c.shown) << c.filter;
        EXPECT_EQ(ui.recordCountLabel->text(), c.count) << c.filter;
    }

    ui.recordFilterEdit->clear();
    w.selectAllRecords();
    ui.recordFilterEdit->setText("TANK");
    EXPECT_EQ(ui.recordSelectionLabel->text(), "1 of 4 selected") << "hidden records unselected";
    w.unselectAllRecords();
    w.selectAllRecords();
    EXPECT_EQ(ui.statusLabel->text(), "1 item(s) selected.");
    EXPECT_EQ(ui.recordSelectionLabel->text(), "1 of 4 selected");
    EXPECT_EQ(sentToClipboard(), list[3] + "\r\n");

    ui.recordFilterEdit->clear();
    EXPECT_EQ(ui.recordCountLabel->text(), "4 records");
    EXPECT_EQ(ui.recordSelectionLabel->text(), "1 of 4 selected") << "the selection stays";
    w.selectAllRecords();
    EXPECT_EQ(ui.statusLabel->text(), "4 item(s) selected.");
}

TEST_F(RecordTableTest, ANewRunIsScrolledToAndMarked) {
    const QString folder = makeFolder("dwg");
    touch(folder + "/title.txt", "*INPUT\nBLOCK: TITLE\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n");
    auto addDrawing = [&](const QString& name, int count) {
        fake::MemDrawing drawing;
        for (int i = 0; i < count; ++i) {
            fake::MemBlock title;
            title.name = "TITLE";
            title.attributes = {{"DWGNO", name + "-" + QString::number(i)}};
            drawing.blocks.push_back(title);
        }
        touch(folder + "/" + name);
        model->addDrawing(folder + "/" + name, drawing);
    };
    addDrawing("a.dwg", 500);
    setOption("Dir", folder);
    setOption("Dir3", folder);
    MainWindow& w = load();
    w.show();
    auto run = [&] {
        w.selectAllDrawings();
        ui.templateList->setCurrentRow(0);
        w.extractAttributes();
        QApplication::processEvents();
    };
    auto isNew = [this](int row) {
        return ui.shown->index(row, 0).data(RecordListModel::NewRecordRole).toBool();
    };
    auto inView = [this](int row) {
        return ui.recordList->viewport()->rect().intersects(
            ui.recordList->visualRect(ui.shown->index(row, 0)));
    };
    run();
    ASSERT_EQ(ui.records->count(), 500);
    EXPECT_TRUE(isNew(0) && isNew(499));

    QFile::remove(folder + "/a.dwg");
    addDrawing("b.dwg", 3);
    w.drawingFolderChanged();
    run();
    ASSERT_EQ(ui.records->count(), 503);
    EXPECT_EQ(ui.recordList->currentIndex().row(), 500) << "the run's first record is current";
    EXPECT_TRUE(inView(500));
    EXPECT_FALSE(inView(0));
    EXPECT_FALSE(isNew(499));
    EXPECT_TRUE(isNew(500) && isNew(502));
    EXPECT_EQ(selectedRecordCount(), 0) << "marking is no selection";

    // Sorted descending, the new run lands among the others: its topmost row is scrolled to.
    ui.recordList->sortByColumn(column("DWGNO"), Qt::DescendingOrder);
    addDrawing("a.dwg", 500);
    QFile::remove(folder + "/b.dwg");
    w.drawingFolderChanged();
    ui.recordList->scrollToBottom();
    run();
    ASSERT_EQ(ui.records->count(), 1003);
    const int current = ui.recordList->currentIndex().row();
    EXPECT_TRUE(isNew(current));
    EXPECT_TRUE(inView(current));
    EXPECT_FALSE(isNew(current - 1)) << "the first new row in the table's order";
}

}  // namespace
