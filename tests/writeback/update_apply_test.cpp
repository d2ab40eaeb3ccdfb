// SPDX-License-Identifier: GPL-3.0-or-later
// Plans and their application on real drawings in a scratch folder: what a plan lists, what is
// written, the backup and the undo file, and every refusal leaving the drawing as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "drawing/dxf_reader.h"
#include "support/drawing_values.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "writeback/apply_update.h"
#include "writeback/delimited_file.h"
#include "writeback/undo_file.h"
#include "writeback/update_plan.h"

namespace {

using writeback::ValueStatus;

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class UpdateApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        drawing = dir.filePath("cooling-water.dxf");
        ASSERT_TRUE(QFile::copy(kExamples + "/cooling-water.dxf", drawing));
        QFile::setPermissions(drawing, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        original = testfiles::read(drawing);
    }
    // A by-reference source: DRAWING_NAME, BLOCK_HANDLE, then the tags.
    writeback::UpdatePlan plan(const QStringList& header, const std::vector<QStringList>& rows,
                               const writeback::UpdateOptions& options = {}) {
        writeback::EditTable table;
        table.header = header;
        table.rows = rows;
        const auto columns = writeback::editColumns(table);
        EXPECT_TRUE(columns) << columns.error().description.toStdString();
        if (!columns) return {};
        writeback::UpdateOptions given = options;
        if (given.folder.isEmpty()) given.folder = dir.path();
        return writeback::planUpdate(table, columns.value(), given);
    }
    writeback::UpdatePlan titlePlan(const QString& title) {
        return plan({"DRAWING_NAME", "BLOCK_HANDLE", "TITLE"}, {{drawing, "63", title}});
    }
    static QStringList valuesOf(const QString& path, const QString& handle) {
        return testfiles::attributeValuesOf(path, handle);
    }

    QTemporaryDir dir;
    QString drawing;
    QByteArray original;
};

TEST_F(UpdateApplyTest, PlanApplyAndUndoGiveBackTheOriginalBytes) {
    const QString title = QString::fromUtf8("Ø 図 \"quoted\", with comma");
    const writeback::UpdatePlan planned =
        plan({"DRAWING_NAME", "BLOCK_HANDLE", "DWGNO", "TITLE", "REV"},
             {{"COOLING-WATER.DXF", "63", "PID-1001", title, ""}});
    EXPECT_EQ(testfiles::read(drawing), original) << "a plan changes nothing";
    ASSERT_EQ(planned.drawings.size(), 1u);
    EXPECT_EQ(planned.drawings[0].path, drawing) << "a name in capitals finds the drawing";
    EXPECT_EQ(planned.count(ValueStatus::Change), 2);
    EXPECT_EQ(planned.count(ValueStatus::Unchanged), 1);
    const QString undo = dir.filePath("undo.csv");
    const writeback::ApplyResult applied =
        writeback::applyUpdate(planned, {}, {writeback::SourceKind::TextFile, undo, {}});
    ASSERT_EQ(applied.written(), 1) << applied.drawings[0].reason.toStdString();
    EXPECT_EQ(valuesOf(drawing, "63"), (QStringList{"DWGNO=PID-1001", "TITLE=" + title,
                                                    "REV=", "DATE=2026-03-14", "DRAWN=J. SMITH"}));
    EXPECT_EQ(testfiles::read(dir.filePath("cooling-water.bak")), original);
    EXPECT_EQ(QFileInfo(drawing).permissions(),
              QFileInfo(dir.filePath("cooling-water.bak")).permissions());
    EXPECT_EQ(applied.undo.path, undo);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary file is left";

    // The undo file is a source of its own: applying it restores the drawing byte for byte.
    const auto read = writeback::readDelimitedFile(undo);
    ASSERT_TRUE(read) << read.error().description.toStdString();
    const auto columns = writeback::editColumns(read.value());
    ASSERT_TRUE(columns);
    const writeback::UpdatePlan back = writeback::planUpdate(read.value(), columns.value(), {});
    EXPECT_EQ(back.count(ValueStatus::Change), 2);
    writeback::UpdateOptions noBackup;
    noBackup.keepBackup = false;
    EXPECT_EQ(writeback::applyUpdate(back, noBackup, {}).written(), 1);
    EXPECT_EQ(testfiles::read(drawing), original);
}

// The undo file is of the source's own kind, holds a repeated tag in as many columns as the
// source did, and gives back the original bytes when applied. A second run within the same
// second does not overwrite the first run's undo file.
TEST_F(UpdateApplyTest, UndoFileInTheSourcesKindGivesBackTheOriginal) {
    // The title block with a second REV where DRAWN was.
    QByteArray twoRevisions = original;
    const qsizetype drawn = twoRevisions.lastIndexOf("\nDRAWN\r\n");
    ASSERT_GT(drawn, 0);
    twoRevisions.replace(drawn, 8, "\nREV\r\n");
    testfiles::write(drawing, twoRevisions);
    struct Case {
        writeback::SourceKind kind;
        const char* name;
        const char* table;
        QStringList header;
        QStringList values;
    };
    const std::vector<Case> cases = {
        {writeback::SourceKind::TextFile,
         "edits.txt",
         "",
         {"REV", "REV", "TITLE"},
         {"F", "G", "T"}},
        {writeback::SourceKind::Workbook,
         "edits.xlsx",
         "",
         {"REV", "REV", "TITLE"},
         {"F", "G", "1.50"}},
        {writeback::SourceKind::Database, "edits.db", "Tags", {"TITLE", "DWGNO"}, {"T", "007"}},
    };
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 30, 5));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const writeback::EditSource source{c.kind, dir.filePath(c.name), c.table};
        const writeback::UpdatePlan planned =
            plan(QStringList{"DRAWING_NAME", "BLOCK_HANDLE"} + c.header,
                 {QStringList{drawing, "63"} + c.values});
        ASSERT_EQ(planned.count(ValueStatus::Change), c.values.size());
        const writeback::ApplyResult applied =
            writeback::applyUpdate(planned, {}, writeback::undoSourceFor(source, now));
        ASSERT_EQ(applied.written(), 1);
        ASSERT_TRUE(applied.undoError.isEmpty()) << applied.undoError.toStdString();
        EXPECT_EQ(applied.undo.kind, c.kind);
        const QString suffix =
            QFileInfo(c.name).suffix() == "txt" ? "csv" : QFileInfo(c.name).suffix();
        EXPECT_EQ(applied.undo.path, dir.filePath("edits-undo-20261207-103005." + suffix));

        const auto undone = writeback::readEditSource(applied.undo);
        ASSERT_TRUE(undone) << undone.error().description.toStdString();
        EXPECT_EQ(undone.value().header, QStringList({"DRAWING_NAME", "BLOCK_HANDLE"}) + c.header);
        const auto columns = writeback::editColumns(undone.value());
        ASSERT_TRUE(columns);
        writeback::UpdateOptions noBackup;
        noBackup.keepBackup = false;
        const writeback::UpdatePlan back =
            writeback::planUpdate(undone.value(), columns.value(), noBackup);
        EXPECT_EQ(back.count(ValueStatus::Problem), 0);
        EXPECT_EQ(writeback::applyUpdate(back, noBackup, {}).written(), 1);
        EXPECT_EQ(testfiles::read(drawing), twoRevisions);

        const writeback::ApplyResult again =
            writeback::applyUpdate(plan(QStringList{"DRAWING_NAME", "BLOCK_HANDLE"} + c.header,
                                        {QStringList{drawing, "63"} + c.values}),
                                   noBackup, writeback::undoSourceFor(source, now));
        EXPECT_EQ(again.undo.path, dir.filePath("edits-undo-20261207-103005-2." + suffix));
        testfiles::write(drawing, twoRevisions);
    }
}

// Everything that cannot be applied is listed with its reason, and keeps nothing else from
// being written.
TEST_F(UpdateApplyTest, RowsThatCannotBeAppliedSayWhyAndBlockNothingElse) {
    const writeback::UpdatePlan planned =
        plan({"DRAWING_NAME", "BLOCK_HANDLE", "TITLE", "NOSUCHTAG"},
             {{drawing, "63", "New title", ""},
              {drawing, "FFFF", "x", ""},
              {drawing, "63", "", "value"},
              {dir.filePath("gone.dxf"), "63", "x", ""},
              {"", "63", "x", ""}});
    QStringList reasons;
    for (const auto& value : planned.unplaced) reasons << value.reason;
    for (const auto& d : planned.drawings) {
        for (const auto& value : d.values) {
            if (value.status == ValueStatus::Problem) reasons << value.reason;
        }
    }
    EXPECT_EQ(reasons,
              (QStringList{"the row names no drawing", "rows give this attribute different values",
                           "no block reference has the handle FFFF",
                           "no block reference has the handle FFFF",
                           "rows give this attribute different values",
                           "the block TITLE has no tag NOSUCHTAG", "drawing not found"}));
    EXPECT_EQ(testfiles::read(drawing), original);

    // A value the file cannot hold is a problem of its own; the row's other value still goes.
    const writeback::UpdatePlan broken = plan({"DRAWING_NAME", "BLOCK_HANDLE", "DWGNO", "REV"},
                                              {{drawing, "63", "two\nlines", "D"}});
    ASSERT_EQ(broken.drawings.size(), 1u);
    ASSERT_EQ(broken.drawings[0].values.size(), 2u);
    EXPECT_EQ(broken.drawings[0].values[0].status, ValueStatus::Problem);
    EXPECT_TRUE(broken.drawings[0].values[0].reason.contains("line break"))
        << broken.drawings[0].values[0].reason.toStdString();
    EXPECT_EQ(broken.drawings[0].values[1].status, ValueStatus::Change);

    const writeback::UpdatePlan good =
        plan({"DRAWING_NAME", "BLOCK_HANDLE", "TITLE", "REV"},
             {{drawing, "63", "New title", "D"}, {drawing, "FFFF", "x", ""}});
    EXPECT_EQ(good.count(ValueStatus::Change), 2);
    EXPECT_EQ(writeback::applyUpdate(good, {}, {}).written(), 1) << "the bad row blocks nothing";
    EXPECT_EQ(valuesOf(drawing, "63").mid(1, 2), (QStringList{"TITLE=New title", "REV=D"}));
}

// A drawing that is open elsewhere, read-only, changed since the plan or a DWG file is not
// written: its bytes stay as they were and the reason is given.
TEST_F(UpdateApplyTest, DrawingsThatMustNotBeWrittenStayAsTheyWere) {
    struct Case {
        const char* name;
        std::function<void()> before;  // after the plan, before applying
        const char* reason;
        std::function<void()> after;
    };
    const QString bak = dir.filePath("cooling-water.bak");
    std::vector<Case> cases = {
        {"CAD lock file", [&] { testfiles::write(dir.filePath("cooling-water.dwl"), "x"); },
         "open in another program (cooling-water.dwl)",
         [&] { QFile::remove(dir.filePath("cooling-water.dwl")); }},
        {"office lock file",
         [&] { testfiles::write(dir.filePath(".~lock.cooling-water.dxf#"), "x"); },
         "open in another program",
         [&] { QFile::remove(dir.filePath(".~lock.cooling-water.dxf#")); }},
        {"read-only drawing", [&] { QFile::setPermissions(drawing, QFile::ReadOwner); },
         "the drawing is read-only",
         [&] { QFile::setPermissions(drawing, QFile::ReadOwner | QFile::WriteOwner); }},
        {"changed after the plan", [&] { testfiles::write(drawing, original + "999\r\nEOF\r\n"); },
         "changed after the plan was made", [&] { testfiles::write(drawing, original); }},
        // The backup cannot take its name: the step before the drawing is replaced fails.
        {"backup step fails", [&] { QDir(dir.path()).mkpath("cooling-water.bak/inside"); },
         "cannot be replaced", [&] { QDir(bak).removeRecursively(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const writeback::UpdatePlan planned = titlePlan("Changed");
        ASSERT_EQ(planned.count(ValueStatus::Change), 1);
        c.before();
        const QByteArray bytes = testfiles::read(drawing);
        const writeback::ApplyResult applied = writeback::applyUpdate(planned, {}, {});
        ASSERT_EQ(applied.drawings.size(), 1u);
        EXPECT_FALSE(applied.drawings[0].written);
        EXPECT_TRUE(applied.drawings[0].reason.contains(c.reason))
            << applied.drawings[0].reason.toStdString();
        EXPECT_EQ(testfiles::read(drawing), bytes);
        EXPECT_TRUE(
            QDir(dir.path()).entryList({"*.quillon-*"}, QDir::Files | QDir::Hidden).isEmpty())
            << "no temporary file is left";
        c.after();
    }

    testfiles::write(dir.filePath("a.dwg"), QByteArray("AC1032") + QByteArray(200, '\0'));
    const writeback::UpdatePlan dwg =
        plan({"DRAWING_NAME", "BLOCK_HANDLE", "TITLE"}, {{dir.filePath("a.dwg"), "63", "x"}});
    ASSERT_EQ(dwg.drawings.size(), 1u);
    // DWG drawings are planned like DXF ones: this one is no drawing at all.
    EXPECT_TRUE(dwg.drawings[0].refusal.startsWith("the drawing cannot be read completely"))
        << dwg.drawings[0].refusal.toStdString();
}

// A register row: every block passing the filter that has the tag; an empty cell leaves the
// attribute as it is.
TEST_F(UpdateApplyTest, RegisterRowsReachEveryBlockWithTheTag) {
    writeback::UpdateOptions titles;
    titles.blockFilter = {"ti*"};
    const writeback::UpdatePlan planned =
        plan({"DRAWING_NAME", "REV", "TITLE"}, {{"cooling-water.dxf", "E", ""}}, titles);
    EXPECT_EQ(planned.count(ValueStatus::Change), 1);
    EXPECT_EQ(planned.count(ValueStatus::Problem), 0);
    writeback::UpdateOptions none;
    none.blockFilter = {"PUMP"};
    const writeback::UpdatePlan other =
        plan({"DRAWING_NAME", "REV"}, {{"cooling-water.dxf", "E"}}, none);
    ASSERT_EQ(other.count(ValueStatus::Problem), 1);
    EXPECT_EQ(writeback::applyUpdate(planned, {}, {}).written(), 1);
    EXPECT_TRUE(valuesOf(drawing, "63").contains("REV=E"));
}

// A register with one row per layout: each row reaches the title blocks of its own layout
// only, named as the layout's tab shows it (letter case ignored).
TEST_F(UpdateApplyTest, RegisterRowPerLayout) {
    const QString layouts = dir.filePath("layouts.dxf");
    ASSERT_TRUE(QFile::copy(QUILLON_FIXTURES_DIR "/dxf/layouts_R2000.dxf", layouts));
    const writeback::UpdatePlan planned =
        plan({"DRAWING_NAME", "SPACE", "TAG1", "TAG2"}, {{"layouts.dxf", "Layout1", "L1 new", ""},
                                                         {"layouts.dxf", "layout4", "L4 new", ""},
                                                         {"layouts.dxf", "MODEL", "", "m"},
                                                         {"layouts.dxf", "Layout9", "x", ""}});
    QStringList problems;
    for (const auto& value : planned.drawings.at(0).values) {
        if (value.status == ValueStatus::Problem) problems << value.reason;
    }
    EXPECT_EQ(problems, QStringList{"no block reference in Layout9 has the tag TAG1"});
    ASSERT_EQ(writeback::applyUpdate(planned, {}, {}).written(), 1);
    const QStringList expected[][2] = {
        {{"58"}, {"TAG1=Value 1", "TAG2=m"}}, {{"64"}, {"TAG1=dict", "TAG2=m"}},
        {{"69"}, {"TAG1=L1 new", "TAG2=x"}},  {{"83"}, {"TAG1=L4 new", "TAG2=w"}},
        {{"73"}, {"TAG1=Layout2", "TAG2=y"}},
    };
    for (const auto& [handle, values] : expected) {
        SCOPED_TRACE(handle.front().toStdString());
        EXPECT_EQ(valuesOf(layouts, handle.front()), values);
    }
}

// An attribute whose value a field computes (a date, a sheet number) is not written: the CAD
// program would compute it again over the new value. The block's other values still go.
TEST_F(UpdateApplyTest, AFieldsValueIsNotWritten) {
    QByteArray withField = original;
    // DATE (handle 68) gets an extension dictionary holding ACAD_FIELD.
    const QByteArray date = "  5\r\n68\r\n";
    ASSERT_TRUE(withField.contains(date));
    withField.replace(date, date + "102\r\n{ACAD_XDICTIONARY\r\n360\r\nF0\r\n102\r\n}\r\n");
    const QByteArray objects =
        "  0\r\nDICTIONARY\r\n  5\r\nF0\r\n330\r\n68\r\n100\r\nAcDbDictionary\r\n280\r\n1\r\n"
        "281\r\n1\r\n  3\r\nACAD_FIELD\r\n360\r\nF1\r\n  0\r\nFIELD\r\n  5\r\nF1\r\n330\r\n"
        "F0\r\n100\r\nAcDbField\r\n  1\r\n_text\r\n";
    const qsizetype end = withField.lastIndexOf("  0\r\nENDSEC\r\n");
    ASSERT_GT(end, 0);
    withField.insert(end, objects);
    testfiles::write(drawing, withField);

    const writeback::UpdatePlan planned = plan({"DRAWING_NAME", "BLOCK_HANDLE", "DATE", "TITLE"},
                                               {{drawing, "63", "2027-01-01", "T"}});
    ASSERT_EQ(planned.drawings.size(), 1u);
    const auto& values = planned.drawings[0].values;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].status, ValueStatus::Problem);
    EXPECT_EQ(values[0].reason,
              "the value comes from a field; change the field in the CAD program");
    EXPECT_EQ(values[1].status, ValueStatus::Change);
    ASSERT_EQ(writeback::applyUpdate(planned, {}, {}).written(), 1);
    EXPECT_TRUE(valuesOf(drawing, "63").contains("DATE=2026-03-14"));
    EXPECT_TRUE(valuesOf(drawing, "63").contains("TITLE=T"));
}

// A drawing written without handles (R12): the undo file names its references by their number
// in file order, and gives the original back.
TEST_F(UpdateApplyTest, UndoReachesReferencesWithoutHandles) {
    const QString r12 = dir.filePath("r12.dxf");
    ASSERT_TRUE(QFile::copy(QUILLON_FIXTURES_DIR "/dxf/r12_no_handles.dxf", r12));
    QFile::setPermissions(r12, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = testfiles::read(r12);
    const writeback::UpdatePlan planned =
        plan({"DRAWING_NAME", "DWGNO", "T"}, {{"r12.dxf", "A-102", "changed"}});
    ASSERT_EQ(planned.count(ValueStatus::Change), 2);
    const QString undo = dir.filePath("undo.csv");
    const writeback::ApplyResult applied =
        writeback::applyUpdate(planned, {}, {writeback::SourceKind::TextFile, undo, {}});
    ASSERT_EQ(applied.written(), 1);
    const auto read = writeback::readDelimitedFile(undo);
    ASSERT_TRUE(read);
    ASSERT_EQ(read.value().rows.size(), 2u);
    EXPECT_EQ(read.value().rows[0].value(1), "#1");
    EXPECT_EQ(read.value().rows[1].value(1), "#3");
    const auto columns = writeback::editColumns(read.value());
    ASSERT_TRUE(columns);
    const writeback::UpdatePlan back = writeback::planUpdate(read.value(), columns.value(), {});
    EXPECT_EQ(back.count(ValueStatus::Problem), 0);
    EXPECT_EQ(writeback::applyUpdate(back, {}, {}).written(), 1);
    EXPECT_EQ(testfiles::read(r12), before);
}

}  // namespace
