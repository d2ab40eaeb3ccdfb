// The program itself started with a drawing list file on its command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kProject = QStringLiteral(QUILLON_FIXTURES_DIR "/../..");

// A run with its own home folder: no settings of the user read or written, no other copy found.
int runProgram(const QTemporaryDir& home, const QStringList& arguments, const QString& folder) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(QUILLON_PROGRAM), arguments);
    if (!program.waitForFinished(60000)) {
        program.kill();
        return -1;
    }
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
}

TEST(Program, QuickStartListRunsAndEndsTheProgram) {
    QTemporaryDir home;
    QTemporaryDir work;
    ASSERT_TRUE(QDir(work.path()).mkpath("build"));
    ASSERT_TRUE(QDir(work.path()).mkpath("examples/archive"));
    for (const char* name : {"quickstart.dlf", "titleblock.txt", "cooling-water.dxf",
                             "tank-farm.dxf", "archive/boiler-feed-rev-a.dwg"}) {
        ASSERT_TRUE(QFile::copy(kProject + "/examples/" + name,
                                work.filePath(QStringLiteral("examples/") + name)));
    }
    EXPECT_EQ(runProgram(home, {"examples/quickstart.dlf"}, work.path()), 0);
    const QByteArray csv = testfiles::read(work.filePath("build/quickstart.csv"));
    EXPECT_TRUE(csv.startsWith("\"DRAWING_NAME\",\"BLOCK_NAME\",\"BLOCK_HANDLE\",\"DWGNO\""));
    EXPECT_EQ(csv.count("\r\n"), 5) << csv.toStdString();
    EXPECT_TRUE(csv.contains("\"BOILER-FEED-REV-A.DWG\",\"TITLE\",\"6A\",\"PID-1003\""));
    EXPECT_FALSE(QFile::exists(home.filePath("config/Quillon/Quillon.conf")))
        << "END leaves the settings unstored";
}

}  // namespace
