// SPDX-License-Identifier: GPL-3.0-or-later
// Update lines of a drawing list: the plan written beside err.log, the drawings written, and
// what cannot be applied logged.

#include "runner_fixture.h"

namespace {

using runnertest::RunnerTest;

class UpdateLinesTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        drawing = proj + "/E-9.dxf";
        before = ScratchFolder::readFile(drawing);
        // Row 3 names a handle the drawing does not have.
        source = scratch.writeFile("edited.csv",
                                   "DRAWING_NAME,BLOCK_HANDLE,REV\r\n"
                                   "proj/E-9.dxf,59,Z\r\n"
                                   "proj/E-9.dxf,FFFF,Z\r\n");
    }
    QString drawing, source;
    QByteArray before;
};

TEST_F(UpdateLinesTest, APlanLineWritesThePlanAndNoDrawing) {
    const auto result =
        run(("DWGNAME\r\nUPDATE DRAWINGS FROM FILE " + source + ",PLAN\r\n").toUtf8());
    EXPECT_EQ(ScratchFolder::readFile(drawing), before);
    const QString plan =
        QString::fromUtf8(ScratchFolder::readFile(scratch.path("program/update-plan.csv")));
    EXPECT_TRUE(plan.startsWith("DRAWING,ROW,BLOCK,HANDLE,TAG,NOW,NEW,STATUS,REASON\r\n"));
    EXPECT_TRUE(plan.contains(drawing + ",2,TITLE,59,REV,B,Z,change,\r\n")) << plan.toStdString();
    EXPECT_TRUE(plan.contains(",3,,FFFF,REV,,Z,problem,no block reference has the handle FFFF"))
        << plan.toStdString();
    EXPECT_EQ(result.failedLines, 1);
    ASSERT_EQ(errLog().size(), 1);
    EXPECT_TRUE(errLog()[0].endsWith("row 3 REV: no block reference has the handle FFFF"))
        << errLog()[0].toStdString();
}

TEST_F(UpdateLinesTest, AnUpdateLineWritesTheDrawingsAndLogsWhatItCouldNot) {
    const auto result = run(("DWGNAME\r\nupdate drawings from file " + source + "\r\n" +
                             "UPDATE DRAWINGS FROM SOMEWHERE x\r\n")
                                .toUtf8());
    EXPECT_NE(ScratchFolder::readFile(drawing), before);
    EXPECT_EQ(ScratchFolder::readFile(proj + "/E-9.bak"), before);
    EXPECT_TRUE(window.statuses.contains(
        QStringLiteral("The update line names no source: FROM FILE path, FROM EXCEL path,sheet "
                       "or FROM ACCESS path,table.")));
    EXPECT_EQ(result.failedLines, 2) << "the unknown handle, the line naming no source";
    EXPECT_EQ(QDir(scratch.path()).entryList({"edited-undo-*.csv"}).size(), 1);
}

}  // namespace
