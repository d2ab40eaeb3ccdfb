// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search --register answers from a register file as the search over the drawings does.

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

}  // namespace
