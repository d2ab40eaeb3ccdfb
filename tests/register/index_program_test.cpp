// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-index as a script runs it: exit statuses, the status listing, and a register other
// programs read.

#include <QDateTime>
#include <QProcess>

#include "cli/program_run.h"
#include "register_fixture.h"
#include "support/qt_printers.h"

namespace {

TEST_F(RegisterTest, ProgramExitStatuses) {
    const QString database = "--database=" + m_database;
    const QString broken = path("examples/broken.dxf");
    const struct {
        const char* name;
        QStringList arguments;
        int status;
    } cases[] = {
        {"help", {"--help"}, 0},
        {"version", {"--version"}, 0},
        {"no folder", {database}, 2},
        {"unknown option", {"--no-such-option", m_folder}, 2},
        {"jobs not a number", {"--jobs", "many", database, m_folder}, 2},
        {"jobs zero", {"--jobs", "0", database, m_folder}, 2},
        {"folder missing", {database, path("nowhere")}, 2},
        {"not a database", {"--database", path("examples/tank-farm.dxf"), m_folder}, 2},
        {"every drawing read", {"--jobs", "3", database, m_folder}, 0},
        {"a drawing unreadable", {database, m_folder}, 1},
    };
    for (const auto& run : cases) {
        SCOPED_TRACE(run.name);
        if (run.status == 1) writeFile(broken, "not a drawing");
        const ProgramRun result = runProgram(QUILLON_INDEX_PROGRAM, run.arguments);
        EXPECT_EQ(result.status, run.status) << result.errors.toStdString();
        if (run.arguments == QStringList("--version")) {
            EXPECT_TRUE(result.out.trimmed().endsWith(" " QUILLON_VERSION));
        }
        if (run.status == 1) {
            EXPECT_TRUE(result.errors.contains(broken));
        } else if (run.arguments.contains(m_folder) && run.status == 0) {
            EXPECT_TRUE(result.errors.contains("31 of 31 drawings"));
        }
    }
}

TEST_F(RegisterTest, ProgramStatusListsWhatChangedAndTheSqliteToolReadsTheRegister) {
    const QString database = "--database=" + m_database;
    ASSERT_EQ(runProgram(QUILLON_INDEX_PROGRAM, {database, m_folder}).status, 0);
    QProcess sqlite;
    sqlite.start("sqlite3", {m_database, "select count(*) from attributes"});
    if (!sqlite.waitForFinished()) GTEST_SKIP() << "the sqlite3 tool is not installed";
    EXPECT_EQ(QString(sqlite.readAllStandardOutput()).trimmed(),
              value("SELECT count(*) FROM attributes"));
    EXPECT_NE(value("SELECT count(*) FROM attributes"), "0");

    writeFile(path("examples/new.dxf"), "0\nEOF\n");
    QFile::remove(path("examples/tank-farm.dxf"));
    writeFile(path("examples/boiler-feed.dxf"), "changed");
    QFile touched(path("examples/cooling-water.dxf"));
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
    const ProgramRun status = runProgram(QUILLON_INDEX_PROGRAM, {database, "--status", m_folder});
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out.split('\n', Qt::SkipEmptyParts),
              QStringList({"changed\t" + path("examples/boiler-feed.dxf"),
                           "new\t" + path("examples/new.dxf"),
                           "missing\t" + path("examples/tank-farm.dxf")}));
}

}  // namespace
