// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search --register answers from a register file as the search over the drawings does.

#include <QElapsedTimer>

#include "search_comparison.h"
#include "support/qt_printers.h"

namespace {

TEST_F(RegisterTest, SearchOfTheRegisterFileFindsWhatTheFolderSearchFinds) {
    const QDateTime started = QDateTime::currentDateTimeUtc();
    prepareSearchedFolder();
    index();
    expectRegisterSearchesAsFolder(m_folder, m_database, started);
}

TEST_F(RegisterTest, SearchOfTheRegisterLeavesMissingDrawingsOutAndSearchesItWhole) {
    index();
    QFile::remove(path("examples/tank-farm.dxf"));
    index();
    const ProgramRun whole =
        runProgram(QUILLON_SEARCH_PROGRAM, {"--register", m_database, "--tag", "--whole", "DWGNO"});
    EXPECT_EQ(whole.status, 0) << whole.errors.toStdString();
    EXPECT_FALSE(whole.out.contains("tank-farm.dxf"));
    // Named by their full paths, in path order.
    EXPECT_TRUE(whole.out.contains(path("examples/boiler-feed.dxf") + ","));
    const ProgramRun nowhere =
        runProgram(QUILLON_SEARCH_PROGRAM, {"--register", m_dir.filePath("none.sqlite"), "a"});
    EXPECT_EQ(nowhere.status, 2);
}

// An index run writing: the search reads what was committed and does not wait for it.
TEST_F(RegisterTest, SearchOfTheRegisterDoesNotWaitForAnIndexRun) {
    index();
    auto writer = connect();
    ASSERT_TRUE(writer->execute("BEGIN IMMEDIATE").ok());
    ASSERT_TRUE(writer->execute("DELETE FROM attributes").ok());
    QElapsedTimer clock;
    clock.start();
    const ProgramRun run =
        runProgram(QUILLON_SEARCH_PROGRAM, {"--register", m_database, "pump", path("examples/*")});
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.out.contains("Feed pump 1"));
    writer->execute("ROLLBACK");
}

}  // namespace
