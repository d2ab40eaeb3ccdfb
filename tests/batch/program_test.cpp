// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself started with a drawing list file on its command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <memory>
#include <vector>

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

// A script that runs a list learns from the exit status whether every line went through; a
// list saved as UTF-16 is understood and ends at its END like any other.
TEST(Program, ListEndsWithAStatusThatSaysWhetherEveryLineWentThrough) {
    QTemporaryDir home;
    QTemporaryDir work;
    for (const char* name : {"titleblock.txt", "cooling-water.dxf"}) {
        ASSERT_TRUE(QFile::copy(kProject + "/examples/" + name, work.filePath(name)));
    }
    const QString drawing = "DWGNAME\r\ncooling-water.dxf,titleblock.txt\r\n";
    const struct {
        const char* name;
        QString list;
        QStringConverter::Encoding encoding;
        int status;
    } cases[] = {
        {"sent", drawing + "EXTRACT TO FILE sent.csv\r\nEND\r\n", QStringConverter::Utf8, 0},
        {"not sent",
         drawing + "EXTRACT TO FILE gone/lost.csv\r\nEXTRACT TO FILE sent.csv\r\nEND\r\n",
         QStringConverter::Utf8, 1},
        {"utf-16", drawing + "EXTRACT TO FILE sent.csv\r\nEND\r\n", QStringConverter::Utf16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(work.filePath("sent.csv"));
        ASSERT_TRUE(testfiles::write(
            work.filePath("run.dlf"),
            QStringEncoder(c.encoding, QStringEncoder::Flag::WriteBom).encode(c.list)));
        EXPECT_EQ(runProgram(home, {"run.dlf"}, work.path()), c.status);
        EXPECT_TRUE(testfiles::read(work.filePath("sent.csv")).contains("\"COOLING-WATER.DXF\""));
    }
}

// quillon-extract keeps extract.txt and err.log in its own folder when it may write there, so
// copies started at once by a script share that folder. Each must print its own drawings'
// records, all of them, and no other.
TEST(Program, ExtractRunsAtOnceEachPrintTheirOwnRecords) {
    constexpr int kRuns = 8;
    const QStringList examples = {"cooling-water.dxf", "tank-farm.dxf", "boiler-feed.dxf"};
    QTemporaryDir work;
    ASSERT_TRUE(QFile::copy(kProject + "/examples/titleblock.txt", work.filePath("title.txt")));
    // Every folder holds the same names over other drawings, so a record read back from
    // another run's file shows under the wrong name.
    for (int run = 0; run < kRuns; ++run) {
        const QString folder = work.filePath(QString::number(run));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (int d = 0; d < 12; ++d) {
            ASSERT_TRUE(QFile::copy(kProject + "/examples/" + examples[(run + d) % 3],
                                    folder + QStringLiteral("/d%1.dxf").arg(d, 2, 10, QChar('0'))));
        }
    }
    // A copy of the program in a folder of its own: other tests run the program beside this
    // one, and their working files are not this test's to count.
    const QString program = work.filePath("bin/quillon-extract");
    ASSERT_TRUE(QDir().mkpath(work.filePath("bin")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_EXTRACT_PROGRAM), program));
    auto start = [&](int run) {
        auto process = std::make_unique<QProcess>();
        process->setWorkingDirectory(work.path());
        process->start(program, {"title.txt", QString::number(run)});
        return process;
    };
    auto finish = [](QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    };

    QList<QByteArray> alone;
    for (int run = 0; run < kRuns; ++run) {
        auto process = start(run);
        alone << finish(*process);
        EXPECT_GE(alone.last().count("\r\n"), 12) << alone.last().toStdString();
    }
    ASSERT_NE(alone[0], alone[1]);

    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> together;
        for (int run = 0; run < kRuns; ++run) together.push_back(start(run));
        for (int run = 0; run < kRuns; ++run) {
            EXPECT_EQ(finish(*together[static_cast<std::size_t>(run)]), alone[run])
                << "run " << run << ", round " << round;
        }
    }
    const QDir programFolder = QFileInfo(program).dir();
    EXPECT_EQ(programFolder.entryList({".extract-*"}, QDir::Files | QDir::Hidden), QStringList{})
        << "no run leaves its working file behind";
    const QByteArray extract = testfiles::read(programFolder.filePath("extract.txt"));
    EXPECT_TRUE(extract.startsWith("HEADER:'BLOCK_NAME','BLOCK_HANDLE','DWGNO','TITLE','REV'\r\n"))
        << "the last drawing's file of some run, whole: " << extract.toStdString();
}

}  // namespace
