// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-page run as a script runs it: the page it writes, the path it prints, its exit status
// and its reasons.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

struct PageRun {
    int status = -1;  // -1: did not finish, -2: crashed
    QString out;
    QString errors;
};

class PageProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::copy(kExamples + "/tank-farm.dxf", dir.filePath("Tank-Farm.dxf")));
    }
    // Runs `program` with a home of its own, so no settings or data folder of the user is used.
    PageRun run(const QStringList& arguments,
                const QString& program = QStringLiteral(QUILLON_PAGE_PROGRAM)) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("XDG_DATA_HOME", dir.filePath("home/data"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("home/config"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        PageRun result;
        if (!process.waitForFinished(60000)) {
            process.kill();
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.errors = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir dir;
};

TEST_F(PageProgram, WritesTheNamedPageAndPrintsItsPath) {
    const PageRun result = run({"Tank-Farm.dxf", "out/../tank.htm"});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(result.out, dir.filePath("tank.htm") + "\n");
    const QByteArray page = testfiles::read(dir.filePath("tank.htm"));
    EXPECT_TRUE(page.startsWith("<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n"));
    EXPECT_TRUE(page.contains(
        ("<STRONG><CENTER>11 attributes in " + dir.filePath("Tank-Farm.dxf")).toUtf8()));
    EXPECT_EQ(page.count("<TR "), 13);
    EXPECT_TRUE(page.contains("<TD>Transfer pump</TD>"));
}

TEST_F(PageProgram, WithoutAnOutputThePageGoesToTheProgramFolder) {
    // A copy of the program in a folder of its own: that folder is where attr.htm belongs.
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    const QString program = dir.filePath("bin/quillon-page");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_PAGE_PROGRAM), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The drawing named in other letter case is found all the same.
    const PageRun result = run({"tank-farm.DXF"}, program);
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(result.out, dir.filePath("bin/attr.htm") + "\n");
    EXPECT_TRUE(testfiles::read(dir.filePath("bin/attr.htm")).contains("11 attributes in "));
}

TEST_F(PageProgram, ADrawingThatCannotBeReadGivesStatusOneAndTheReason) {
    ASSERT_TRUE(testfiles::write(dir.filePath("cut.dxf"), "  0\r\nSECTION\r\n  2\r\nENTI"));
    ASSERT_TRUE(testfiles::write(dir.filePath("old.htm"), "kept"));
    const struct {
        const char* drawing;
        const char* reason;
    } cases[] = {
        {"missing.dxf", "File MISSING.DXF not found.\n"},
        {"cut.dxf", "Error opening file. ("},
    };
    for (const auto& c : cases) {
        const PageRun result = run({c.drawing, "old.htm"});
        EXPECT_EQ(result.status, 1) << c.drawing;
        EXPECT_EQ(result.out, "") << c.drawing;
        EXPECT_TRUE(result.errors.startsWith(c.reason)) << result.errors.toStdString();
        EXPECT_EQ(testfiles::read(dir.filePath("old.htm")), "kept") << c.drawing;
    }
}

TEST_F(PageProgram, AnUnwritablePageGivesStatusOneAndTheReason) {
    const PageRun result = run({"Tank-Farm.dxf", "no/such/folder/page.htm"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.errors.startsWith("Error creating HTML file. ("))
        << result.errors.toStdString();
}

// An OUTPUT that is the drawing itself, however it is spelled, is refused before anything is
// written: the drawing keeps every byte.
TEST_F(PageProgram, AnOutputThatIsTheDrawingItselfIsRefused) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    ASSERT_TRUE(QFile::link(dir.filePath("Tank-Farm.dxf"), dir.filePath("sub/link.dxf")));
#ifdef Q_OS_UNIX
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("Tank-Farm.dxf")).constData(),
                     QFile::encodeName(dir.filePath("hard.dxf")).constData()),
              0);
#endif
    const QByteArray drawing = testfiles::read(dir.filePath("Tank-Farm.dxf"));
    const QStringList spellings[] = {
        {"Tank-Farm.dxf", "Tank-Farm.dxf"},   {"Tank-Farm.dxf", "sub/../sub/./../Tank-Farm.dxf"},
        {"tank-farm.DXF", "./Tank-Farm.dxf"}, {"Tank-Farm.dxf", dir.filePath("Tank-Farm.dxf")},
        {"Tank-Farm.dxf", "sub/link.dxf"},    {"sub/link.dxf", "Tank-Farm.dxf"},
#ifdef Q_OS_UNIX
        {"Tank-Farm.dxf", "hard.dxf"},
#endif
    };
    for (const QStringList& arguments : spellings) {
        const PageRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.errors.startsWith("The page would replace the drawing "))
            << result.errors.toStdString();
        EXPECT_EQ(testfiles::read(dir.filePath("Tank-Farm.dxf")), drawing)
            << arguments.join(' ').toStdString();
    }
    // A page beside the drawing, in the same folder, is no drawing.
    EXPECT_EQ(run({"Tank-Farm.dxf", "sub/../Tank-Farm.htm"}).status, 0);
    EXPECT_EQ(testfiles::read(dir.filePath("Tank-Farm.dxf")), drawing);
}

TEST_F(PageProgram, HelpAndWrongUse) {
    const PageRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("DRAWING")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("attr.htm"));
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"a.dxf", "b.htm", "c"}).status, 2);
}

}  // namespace
