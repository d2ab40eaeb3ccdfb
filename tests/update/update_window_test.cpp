// SPDX-License-Identifier: GPL-3.0-or-later
// The update window on real drawings: the plan it shows and its problem filter, Apply after the
// confirmation with backups and the undo file, Cancel between drawings, and sources it cannot
// use, each named on the status line.

#include <QDir>

#include "update_window_fixture.h"

namespace {

using platform::DialogButton;

const QByteArray kByReference =
    "DRAWING_NAME,BLOCK_HANDLE,TITLE,REV\r\n"
    "cooling-water.dxf,63,New cooling title,C\r\n"
    "BOILER-FEED.DXF,5E,New boiler title,B\r\n"
    "boiler-feed.dxf,FFFF,x,\r\n"
    "gone.dxf,63,x,\r\n";

TEST_F(UpdateWindowTest, ThePlanShowsEveryValueAndTheFilterKeepsTheProblems) {
    open();
    planCsv(kByReference);
    EXPECT_EQ(testfiles::read(cooling), coolingBytes) << "a plan writes nothing";
    EXPECT_EQ(testfiles::read(boiler), boilerBytes);
    const QStringList all = {
        "cooling-water.dxf|2|TITLE|63|TITLE|Cooling water circuit|New cooling title|Change",
        "cooling-water.dxf|2|TITLE|63|REV|C|C|Unchanged",
        "boiler-feed.dxf|3|TITLE|5E|TITLE|Boiler feed water, sheet 1|New boiler title|Change",
        "boiler-feed.dxf|3|TITLE|5E|REV|A|B|Change",
        "boiler-feed.dxf|4||FFFF|TITLE||x|Problem: no block reference has the handle FFFF",
        "boiler-feed.dxf|4||FFFF|REV|||Problem: no block reference has the handle FFFF",
        "gone.dxf|5||||||Problem: drawing not found"};
    EXPECT_EQ(shownPlan(), all);
    EXPECT_EQ(summary(),
              "3 value(s) to change, 1 unchanged, 3 that cannot be applied, in 3 drawing(s).");
    EXPECT_TRUE(control<QPushButton>("applyButton")->isEnabled());

    auto* problemsOnly = control<QCheckBox>("problemsOnlyCheck");
    problemsOnly->setChecked(true);
    EXPECT_EQ(shownPlan(), all.mid(4));
    // Sorting works on the filtered lines: by source row, numerically, last row first.
    control<QTableView>("planView")->sortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ(shownPlan().first(), all.last());
    problemsOnly->setChecked(false);
    EXPECT_EQ(shownPlan().size(), all.size());

    // A register updates every block the Blocks box lets through.
    control<QLineEdit>("blocksEdit")->setText("PUMP, TIT*");
    control<QTableView>("planView")->sortByColumn(3, Qt::AscendingOrder);  // by handle
    planCsv("DRAWING_NAME,REV\nboiler-feed.dxf,B\n", "register.csv");
    EXPECT_EQ(shownPlan(), (QStringList{"boiler-feed.dxf|2|TITLE|5E|REV|A|B|Change",
                                        "boiler-feed.dxf|2|TITLE|6A|REV|A|B|Change"}));
}

TEST_F(UpdateWindowTest, ApplyAsksFirstThenWritesKeepsBackupsAndNamesTheUndoFile) {
    open();
    const QString source = planCsv(
        "DRAWING_NAME,BLOCK_HANDLE,TITLE\n"
        "cooling-water.dxf,63,New cooling title\n"
        "boiler-feed.dxf,5E,New boiler title\n");
    auto* apply = control<QPushButton>("applyButton");
    fakes.dialogs.answerButton(DialogButton::No);
    apply->click();
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Write 2 value(s) into 2 drawing(s)?"});
    EXPECT_EQ(testfiles::read(cooling), coolingBytes) << "No writes nothing";

    fakes.dialogs.answerButton(DialogButton::Yes);
    apply->click();
    EXPECT_EQ(valuesOf(cooling, "63").mid(0, 2),
              (QStringList{"DWGNO=PID-1001", "TITLE=New cooling title"}));
    EXPECT_EQ(valuesOf(boiler, "5E").at(1), "TITLE=New boiler title");
    EXPECT_EQ(testfiles::read(dir.filePath("cooling-water.bak")), coolingBytes);
    EXPECT_EQ(testfiles::read(dir.filePath("boiler-feed.bak")), boilerBytes);
    const QString undo = QFileInfo(source).absolutePath() + "/edits-undo-20240305-140709.csv";
    EXPECT_TRUE(QFileInfo::exists(undo));
    EXPECT_EQ(status(), "2 drawing(s) written.\nUndo file: " + undo);
    EXPECT_EQ(control<QProgressBar>("progressBar")->value(), 2);
    EXPECT_FALSE(apply->isEnabled()) << "the plan no longer matches the drawings";
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);

    // Planned again, the drawings already hold the values.
    control<QPushButton>("planButton")->click();
    EXPECT_EQ(summary(),
              "0 value(s) to change, 2 unchanged, 0 that cannot be applied, in 2 drawing(s).");
    EXPECT_FALSE(apply->isEnabled());
}

// A drawing the plan shows as not written stays so, even when its lock has gone by Apply: only
// what the user confirmed is written.
TEST_F(UpdateWindowTest, ADrawingOpenElsewhereIsShownAsNotWrittenAndLeftAlone) {
    const QString lock = dir.filePath("cooling-water.dwl");
    ASSERT_TRUE(testfiles::write(lock, "someone"));
    open();
    planCsv(
        "DRAWING_NAME,BLOCK_HANDLE,TITLE\n"
        "cooling-water.dxf,63,New cooling title\n"
        "boiler-feed.dxf,5E,New boiler title\n");
    EXPECT_TRUE(
        shownPlan().first().endsWith("|Not written: the drawing is open in another "
                                     "program (cooling-water.dwl)"))
        << shownPlan().first().toStdString();
    control<QCheckBox>("problemsOnlyCheck")->setChecked(true);
    EXPECT_EQ(shownPlan().size(), 1);
    EXPECT_EQ(summary(),
              "1 value(s) to change, 0 unchanged, 1 that cannot be applied, in 2 drawing(s).");
    QFile::remove(lock);
    fakes.dialogs.answerButton(DialogButton::Yes);
    control<QPushButton>("applyButton")->click();
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Write 1 value(s) into 1 drawing(s)?"});
    EXPECT_EQ(testfiles::read(cooling), coolingBytes);
    EXPECT_EQ(valuesOf(boiler, "5E").at(1), "TITLE=New boiler title");
}

TEST_F(UpdateWindowTest, CancelStopsBeforeTheNextDrawing) {
    open();
    planCsv(
        "DRAWING_NAME,BLOCK_HANDLE,TITLE\n"
        "cooling-water.dxf,63,New cooling title\n"
        "boiler-feed.dxf,5E,New boiler title\n");
    control<QCheckBox>("backupCheck")->setChecked(false);
    auto* cancel = control<QPushButton>("cancelButton");
    EXPECT_FALSE(cancel->isEnabled());
    fakes.ui.onProcessEvents = [&] {
        // Between the first drawing and the second, as a click arrives.
        if (control<QProgressBar>("progressBar")->value() != 1) return;
        EXPECT_FALSE(control<QPushButton>("planButton")->isEnabled());
        ASSERT_TRUE(cancel->isEnabled());
        cancel->click();
    };
    fakes.dialogs.answerButton(DialogButton::Yes);
    control<QPushButton>("applyButton")->click();
    EXPECT_EQ(valuesOf(cooling, "63").at(1), "TITLE=New cooling title");
    EXPECT_EQ(testfiles::read(boiler), boilerBytes);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cooling-water.bak"))) << "Keep Backup was off";
    EXPECT_TRUE(status().startsWith(
        "1 drawing(s) written.\nCancelled: 1 drawing(s) left as they were.\nUndo file: "))
        << status().toStdString();
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_TRUE(control<QPushButton>("planButton")->isEnabled());
}

// Each source the window cannot use says why on the status line; the plan shown before goes.
TEST_F(UpdateWindowTest, SourcesThatCannotBeUsedSayWhy) {
    const struct {
        const char* name;
        SourceKind kind;
        const char* file;  // nullptr: no file is written
        QByteArray content;
        const char* item;
        const char* status;  // how the status line starts
    } cases[] = {
        {"no file named", SourceKind::TextFile, "", {}, "", "Choose the file of edited values."},
        {"missing", SourceKind::TextFile, nullptr, {}, "", "The source cannot be read: "},
        {"no drawing column", SourceKind::TextFile, "bad.csv", "TITLE,REV\nx,y\n", "",
         "The source cannot be written back: bad.csv: the header has no DRAWING_NAME column"},
        {"open quote", SourceKind::TextFile, "quote.csv",
         "DRAWING_NAME,BLOCK_HANDLE,TITLE\ncooling-water.dxf,63,\"open\n", "",
         "The source cannot be read: quote.csv"},
        {"not a workbook", SourceKind::Workbook, "book.xlsx", "DRAWING_NAME,TITLE\n", "",
         "The source cannot be read: "},
        {"no table", SourceKind::Database, "data.db", "x", "",
         "Choose the table of edited values."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        planCsv(kByReference);
        ASSERT_FALSE(shownPlan().isEmpty());
        QString path = dir.filePath(c.file ? QLatin1String(c.file) : QLatin1String("none.csv"));
        if (c.file && *c.file) {
            ASSERT_TRUE(testfiles::write(path, c.content));
        }
        if (c.file && !*c.file) path.clear();
        control<QComboBox>("kindCombo")->setCurrentIndex(static_cast<int>(c.kind));
        control<QLineEdit>("sourceEdit")->setText(path);
        control<QComboBox>("sheetCombo")->setEditText(QLatin1String(c.item));
        control<QPushButton>("planButton")->click();
        EXPECT_TRUE(status().startsWith(QLatin1String(c.status))) << status().toStdString();
        EXPECT_EQ(fakes.ui.hourglassDepth, 0);
        if (QString::fromLatin1(c.status).startsWith("The source")) {
            EXPECT_GT(status().size(), QString::fromLatin1(c.status).size() + 10)
                << "a reason follows";
            EXPECT_TRUE(shownPlan().isEmpty());
            EXPECT_TRUE(summary().isEmpty());
            EXPECT_FALSE(control<QPushButton>("applyButton")->isEnabled());
        }
    }
}

}  // namespace
