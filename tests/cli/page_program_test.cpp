// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-page run as a script runs it: where the page goes, the path it prints, its exit
// status and its reasons. The page's content is the engine's, tested there.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "program_run.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

class PageProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFile::copy(QUILLON_FIXTURES_DIR "/../../examples/tank-farm.dxf",
                                dir.filePath("Tank-Farm.dxf")));
    }
    // Runs `program` in the scratch folder with a home of its own, so no settings or data
    // folder of the user is used.
    ProgramRun run(const QStringList& arguments,
                   const QString& program = QStringLiteral(QUILLON_PAGE_PROGRAM)) {
        RunSettings settings;
        settings.folder = dir.path();
        settings.home = dir.filePath("home");
        return runProgram(program, arguments, settings);
    }

    QTemporaryDir dir;
};

TEST_F(PageProgram, WritesTheNamedPageAndPrintsItsPath) {
    const ProgramRun result = run({"Tank-Farm.dxf", "out/../tank.htm"});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(result.out, dir.filePath("tank.htm") + "\n");
    EXPECT_TRUE(testfiles::read(dir.filePath("tank.htm"))
                    .contains(("11 attributes in " + dir.filePath("Tank-Farm.dxf")).toUtf8()));
}

TEST_F(PageProgram, WithoutAnOutputThePageGoesToTheProgramFolder) {
    // A copy of the program in a folder of its own: that folder is where attr.htm belongs.
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    const QString program = dir.filePath("bin/quillon-page");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_PAGE_PROGRAM), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The drawing named in other letter case is found all the same.
    const ProgramRun result = run({"tank-farm.DXF"}, program);
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(result.out, dir.filePath("bin/attr.htm") + "\n");
    EXPECT_TRUE(testfiles::read(dir.filePath("bin/attr.htm")).contains("11 attributes in "));
}

TEST_F(PageProgram, ADrawingOrPageThatCannotBeUsedGivesStatusOneAndTheReason) {
    ASSERT_TRUE(testfiles::write(dir.filePath("cut.dxf"), "  0\r\nSECTION\r\n  2\r\nENTI"));
    ASSERT_TRUE(testfiles::write(dir.filePath("old.htm"), "kept"));
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{"missing.dxf", "old.htm"}, "File MISSING.DXF not found.\n"},
        {{"cut.dxf", "old.htm"}, "Error opening file. ("},
        {{"Tank-Farm.dxf", "no/such/folder/page.htm"}, "Error creating HTML file. ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun result = run(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.errors.startsWith(c.reason)) << result.errors.toStdString();
        EXPECT_EQ(testfiles::read(dir.filePath("old.htm")), "kept");
    }
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
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.errors.startsWith("The page would replace the drawing "))
            << result.errors.toStdString();
        EXPECT_EQ(testfiles::read(dir.filePath("Tank-Farm.dxf")), drawing);
    }
    // A page beside the drawing, in the same folder, is no drawing.
    EXPECT_EQ(run({"Tank-Farm.dxf", "sub/../Tank-Farm.htm"}).status, 0);
    EXPECT_EQ(testfiles::read(dir.filePath("Tank-Farm.dxf")), drawing);
}

TEST_F(PageProgram, HelpAndWrongUse) {
    const ProgramRun help = run({"--help"});
    EXPECT_TRUE(help.out.contains("DRAWING")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("attr.htm"));
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"a.dxf", "b.htm", "c"}).status, 2);
}

}  // namespace
