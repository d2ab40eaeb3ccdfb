// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-update run as a script runs it: extract with the handles, edit, plan, write back,
// undo; its exit statuses.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "program_run.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class UpdateProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"cooling-water.dxf", "tank-farm.dxf"}) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + name, dir.filePath(name)));
            QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    ProgramRun run(const QString& program, const QStringList& arguments) {
        return runProgram(program, arguments, {dir.path(), {}, dir.filePath("home")});
    }
    ProgramRun update(const QStringList& arguments) {
        return run(QStringLiteral(QUILLON_UPDATE_PROGRAM), arguments);
    }

    QTemporaryDir dir;
};

TEST_F(UpdateProgram, ExtractEditWriteBackAndUndo) {
    // The records with their drawings' full paths and handles, as the window's list sends them.
    const QByteArray before = testfiles::read(dir.filePath("tank-farm.dxf"));
    const ProgramRun extracted =
        run(QStringLiteral(QUILLON_EXTRACT_PROGRAM),
            {"--full-path", kExamples + "/titleblock.txt", dir.path(), "*.dxf"});
    ASSERT_EQ(extracted.status, 0) << extracted.errors.toStdString();
    QStringList lines = extracted.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << extracted.out.toStdString();
    // 'PATH','TITLE','HANDLE','DWGNO','TITLE','REV' becomes a source with a new revision.
    QString source = "DRAWING_NAME,BLOCK_NAME,BLOCK_HANDLE,DWGNO,TITLE,REV\r\n";
    for (QString line : lines) {
        line.replace('\'', '"');
        source += line.left(line.lastIndexOf(',')) + ",\"Z\"\r\n";
    }
    testfiles::write(dir.filePath("edited.csv"), source.toUtf8());

    const ProgramRun plan = update({"--plan", dir.filePath("edited.csv")});
    EXPECT_EQ(plan.status, 0) << plan.out.toStdString() << plan.errors.toStdString();
    EXPECT_TRUE(plan.out.contains("2 value(s) to change")) << plan.out.toStdString();
    EXPECT_EQ(testfiles::read(dir.filePath("tank-farm.dxf")), before) << "a plan changes nothing";

    const ProgramRun applied = update({dir.filePath("edited.csv")});
    EXPECT_EQ(applied.status, 0) << applied.out.toStdString() << applied.errors.toStdString();
    const QStringList undo = QDir(dir.path()).entryList({"edited-undo-*.csv"});
    ASSERT_EQ(undo.size(), 1) << applied.out.toStdString();
    const ProgramRun again = run(QStringLiteral(QUILLON_EXTRACT_PROGRAM),
                                 {kExamples + "/titleblock.txt", dir.path(), "tank*.dxf"});
    EXPECT_TRUE(again.out.contains("'Tank farm transfer','Z'")) << again.out.toStdString();

    const ProgramRun undone = update({"--no-backup", dir.filePath(undo[0])});
    EXPECT_EQ(undone.status, 0) << undone.out.toStdString();
    EXPECT_EQ(testfiles::read(dir.filePath("tank-farm.dxf")), before);
}

TEST_F(UpdateProgram, ExitStatusesSayWhatWasNotApplied) {
    testfiles::write(dir.filePath("bad.csv"),
                     "DRAWING_NAME,BLOCK_HANDLE,REV\r\ntank-farm.dxf,FFFF,Z\r\n");
    const struct {
        QStringList arguments;
        int status;
    } cases[] = {
        {{"--plan", dir.filePath("bad.csv")}, 1},
        {{dir.filePath("bad.csv")}, 1},
        {{}, 2},
        {{dir.filePath("missing.csv")}, 2},
        {{"--folder", dir.filePath("nowhere"), dir.filePath("bad.csv")}, 2},
        {{"--unknown", dir.filePath("bad.csv")}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun result = update(c.arguments);
        EXPECT_EQ(result.status, c.status)
            << result.out.toStdString() << result.errors.toStdString();
    }
}

// The program killed at any moment leaves the drawing either as it was or as written, never
// half written; a backup that is there is the old drawing whole.
TEST_F(UpdateProgram, KilledAtAnyMomentTheDrawingIsOldOrNew) {
    const QString drawing = dir.filePath("tank-farm.dxf");
    const QByteArray before = testfiles::read(drawing);
    testfiles::write(dir.filePath("edited.csv"),
                     "DRAWING_NAME,BLOCK_HANDLE,REV\r\ntank-farm.dxf,59,Z\r\n");
    ASSERT_EQ(update({"--no-backup", dir.filePath("edited.csv")}).status, 0);
    const QByteArray after = testfiles::read(drawing);
    ASSERT_NE(after, before);
    int killedBefore = 0, killedAfter = 0;
    for (int delay = 0; delay < 60; delay += 3) {
        SCOPED_TRACE(delay);
        testfiles::write(drawing, before);
        QFile::remove(dir.filePath("tank-farm.bak"));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(QUILLON_UPDATE_PROGRAM), {dir.filePath("edited.csv")});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(delay));
        process.kill();
        process.waitForFinished();
        const QByteArray now = testfiles::read(drawing);
        EXPECT_TRUE(now == before || now == after) << "a drawing half written";
        (now == before ? killedBefore : killedAfter) += 1;
        if (QFile::exists(dir.filePath("tank-farm.bak"))) {
            EXPECT_EQ(testfiles::read(dir.filePath("tank-farm.bak")), before);
        }
    }
    EXPECT_GT(killedBefore, 0) << "no kill came before the drawing was replaced";
}

}  // namespace
