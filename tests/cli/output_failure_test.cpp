// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search and quillon-extract writing to an output that refuses what they write: the
// run is a failure with the system's reason, never a success with the results lost.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "program_run.h"
#include "support/qt_printers.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");
// Every write to it fails as on a full disk.
const QString kFullDevice = QStringLiteral("/dev/full");

ProgramRun runTo(const QString& program, const QStringList& arguments, const QString& output) {
    RunSettings settings;
    settings.outputFile = output;
    return runProgram(program, arguments, settings);
}

TEST(ProgramOutput, ResultsThatCannotBeWrittenFailWithTheReason) {
    if (!QFile::exists(kFullDevice)) GTEST_SKIP() << "no " << kFullDevice.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString search = QStringLiteral(QUILLON_SEARCH_PROGRAM);
    const QString extract = QStringLiteral(QUILLON_EXTRACT_PROGRAM);
    const struct {
        QString program;
        QStringList arguments;
        int statusWhenWritten;
        int statusWhenRefused;
        const char* reason;  // the start of the last line on standard error; empty: none
    } cases[] = {
        {search, {"PID", kExamples + "/*.dxf"}, 0, 3, "Cannot write the results: "},
        {search, {"--help"}, 0, 3, "Cannot write the results: "},
        // Nothing to write: nothing failed.
        {search, {"no such value anywhere", kExamples + "/*.dxf"}, 1, 1, ""},
        {extract, {kExamples + "/titleblock.txt", kExamples}, 0, 3, "Cannot write the records: "},
    };
    for (const auto& c : cases) {
        const std::string what = (c.program + " " + c.arguments.join(' ')).toStdString();
        const ProgramRun written = runTo(c.program, c.arguments, dir.filePath("out.txt"));
        EXPECT_EQ(written.status, c.statusWhenWritten) << what << written.errors.toStdString();
        EXPECT_FALSE(written.errors.contains("Cannot write")) << what;

        const ProgramRun refused = runTo(c.program, c.arguments, kFullDevice);
        EXPECT_EQ(refused.status, c.statusWhenRefused) << what << refused.errors.toStdString();
        if (*c.reason) {
            const QString last = refused.errors.trimmed().section('\n', -1);
            EXPECT_TRUE(last.startsWith(QString::fromLatin1(c.reason)))
                << what << ": " << last.toStdString();
            EXPECT_GT(last.size(), qsizetype(qstrlen(c.reason))) << "the system's reason follows";
        }
    }
}

// A folder that is not there is said to be missing, as quillon-search says it, not taken for a
// folder without drawings.
TEST(ProgramOutput, ExtractNamesAMissingFolderWithStatusTwo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath("no-such-folder");
    const ProgramRun run = runTo(QStringLiteral(QUILLON_EXTRACT_PROGRAM),
                                 {kExamples + "/titleblock.txt", missing}, dir.filePath("out.txt"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "Folder " + missing + " not found.\n");
    const ProgramRun empty =
        runTo(QStringLiteral(QUILLON_EXTRACT_PROGRAM), {kExamples + "/titleblock.txt", dir.path()},
              dir.filePath("out.txt"));
    EXPECT_EQ(empty.status, 1) << "an empty folder has no drawings: nothing found";
}

}  // namespace
