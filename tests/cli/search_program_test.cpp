// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search run as a script runs it: its arguments, standard output, standard error and
// exit status. What a criterion finds is the engine's, tested there; here each option only has
// to reach the search.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "program_run.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kProgram = QStringLiteral(QUILLON_SEARCH_PROGRAM);
const QString kHeader =
    QStringLiteral("Drawing,Space,Block,Layer,BHandle,Handle,X,Y,Z,AttributeTag,AttributeValue");

// What a run printed: its standard output as lines, each of which ends in CR LF.
struct Outcome : ProgramRun {
    QStringList lines;
};

Outcome search(const QStringList& arguments, const RunSettings& settings = {}) {
    Outcome outcome{runProgram(kProgram, arguments, settings), {}};
    outcome.lines = outcome.out.split(QStringLiteral("\r\n"));
    EXPECT_EQ(outcome.lines.takeLast(), QString()) << "every line ends with CR LF";
    return outcome;
}

class SearchProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("Examples/archive"));
        for (const char* name : {"cooling-water.dxf", "tank-farm.dxf", "boiler-feed.dxf",
                                 "archive/boiler-feed-rev-a.dwg", "titleblock.txt"}) {
            ASSERT_TRUE(QFile::copy(QUILLON_FIXTURES_DIR "/../../examples/" + QString(name),
                                    dir.filePath(QStringLiteral("Examples/") + name)));
        }
    }
    // The folder is named in other letter case than it has: it is found all the same.
    QString examples(const QString& pattern) const { return dir.filePath("EXAMPLES/" + pattern); }

    QTemporaryDir dir;
};

TEST_F(SearchProgram, PrintsHeaderAndLinesAndTotals) {
    const Outcome found = search({"pid-100", examples("*.dxf")});
    EXPECT_EQ(found.status, 0) << found.errors.toStdString();
    EXPECT_EQ(
        found.lines,
        (QStringList{kHeader, "boiler-feed.dxf,Paper,TITLE,BORDER,5E,60,230,10,0,DWGNO,PID-1002",
                     "boiler-feed.dxf,Paper,TITLE,BORDER,6A,6C,230,10,0,DWGNO,PID-1003",
                     "cooling-water.dxf,Paper,TITLE,BORDER,63,65,230,10,0,DWGNO,PID-1001"}));
    EXPECT_TRUE(found.errors.startsWith("3 hits in 2 files in ")) << found.errors.toStdString();
    EXPECT_TRUE(found.errors.endsWith(" seconds\n")) << found.errors.toStdString();
}

TEST_F(SearchProgram, EachOptionReachesTheSearch) {
    struct Case {
        QStringList arguments;
        QStringList valuesOrTags;  // the last field, or the last two with --tag
    };
    const Case cases[] = {
        {{"--case", "pid-1001"}, {}},
        {{"--whole", "pid-100"}, {}},
        {{"--whole", "pid-1001"}, {"PID-1001"}},
        {{"--tag", "--whole", "dwgno", "--blocks", "title"},
         {"DWGNO,PID-1002", "DWGNO,PID-1003", "DWGNO,PID-1001", "DWGNO,PID-2001"}},
        {{"--space", "Model", "PID"}, {}},
        {{"--layers", "border", "--blocks", "TITLE,pump", "2001"}, {"PID-2001"}},
        {{"--layers", "0", "2001"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome outcome = search(c.arguments + QStringList{examples("*.DXF")});
        EXPECT_EQ(outcome.status, c.valuesOrTags.isEmpty() ? 1 : 0);
        QStringList last;
        for (const QString& line : outcome.lines.mid(1)) {
            last << line.section(',', c.arguments.contains("--tag") ? -2 : -1);
        }
        EXPECT_EQ(last, c.valuesOrTags);
        if (c.valuesOrTags.isEmpty()) {
            EXPECT_TRUE(outcome.lines.isEmpty()) << "no header without hits";
        }
    }
}

TEST_F(SearchProgram, FullPathAndDelimiter) {
    const Outcome found =
        search({"--full-path", "--delimiter", ";", "PID", examples("ARCHIVE/*.dwg")});
    EXPECT_EQ(found.status, 0);
    ASSERT_EQ(found.lines.size(), 3);
    EXPECT_EQ(found.lines[0], QString(kHeader).replace(',', ';'));
    EXPECT_EQ(found.lines[1], dir.filePath("Examples/archive/boiler-feed-rev-a.dwg") +
                                  ";Paper;TITLE;BORDER;5E;60;230;10;0;DWGNO;PID-1002");
}

// A file that does not read as a drawing is named with its reason and the search goes on; a
// file of gigabytes that only begins like a DWG file among them is refused within far less
// memory than its size.
TEST_F(SearchProgram, DrawingsThatDoNotOpenAreNamedWithTheirReasonAndTheSearchGoesOn) {
    testfiles::write(dir.filePath("Examples/broken.dxf"), "0\r\nSECTION\r\n2\r\nENTITIES\r\n");
    QFile huge(dir.filePath("Examples/huge.dwg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_EQ(huge.write("AC1032"), 6);
    ASSERT_TRUE(huge.resize(qint64{3} << 30));  // a hole: no disk space taken
    huge.close();
    RunSettings limited;
    limited.limitMemory = true;
    const Outcome found = search({"PID-100", examples("*.*")}, limited);
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.lines.size(), 4);
    for (const char* failure : {"broken.dxf (", "huge.dwg (the file header is corrupt)"}) {
        EXPECT_TRUE(found.errors.contains("Cannot open " + dir.filePath("Examples/") + failure))
            << found.errors.toStdString();
    }
    EXPECT_TRUE(found.errors.contains("3 hits in 2 files in ")) << found.errors.toStdString();
}

TEST_F(SearchProgram, BadArgumentsExitWithTwo) {
    const QStringList bad[] = {
        {},
        {"PID"},
        {"PID", examples("*.dxf"), "extra"},
        {"--space", "model", "PID", examples("*.dxf")},
        {"--delimiter", "", "PID", examples("*.dxf")},
        {"--delimiter", ";;", "PID", examples("*.dxf")},
        {"--delimiter", " ", "PID", examples("*.dxf")},
        {"   ", examples("*.dxf")},
        {"PID", "  "},
    };
    for (const QStringList& arguments : bad) {
        const Outcome outcome = search(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.lines.isEmpty());
        EXPECT_TRUE(outcome.errors.contains("Usage:")) << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(runProgram(kProgram, {"--help"}).out.contains("FOLDER_SPEC"));
    EXPECT_EQ(search({"PID", examples("*.nothing")}).status, 1);
}

// A folder that is not there, or cannot be read, is said to be so: it is not a search
// without hits (status 1, "0 hits in 0 files"), which a script would take as a clean result.
TEST_F(SearchProgram, AFolderThatCannotBeSearchedIsNamedWithStatusTwo) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("locked"));
    const struct {
        QString folderPattern;
        QString folder;
        const char* reason;
    } cases[] = {
        {dir.filePath("no-such-folder/*.dxf"), dir.filePath("no-such-folder/"), "not found"},
        // A file is no folder.
        {examples("titleblock.txt/*.dxf"), dir.filePath("Examples/titleblock.txt/"), "not found"},
        {dir.filePath("locked/*.dxf"), dir.filePath("locked/"), "cannot be read"},
    };
    QFile::setPermissions(dir.filePath("locked"), QFileDevice::Permissions{});
    // Permissions do not stop an administrator: then the locked folder reads as empty.
    const bool lockHolds = !QDir(dir.filePath("locked")).isReadable();
    for (const auto& c : cases) {
        if (c.folderPattern.contains("locked") && !lockHolds) continue;
        const Outcome outcome = search({"PID", c.folderPattern});
        EXPECT_EQ(outcome.status, 2) << c.folderPattern.toStdString();
        EXPECT_TRUE(outcome.lines.isEmpty());
        EXPECT_EQ(outcome.errors, "Folder " + c.folder + " " + c.reason + ".\n");
    }
    QFile::setPermissions(dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // An empty folder is a search without hits.
    EXPECT_EQ(search({"PID", dir.filePath("locked/*.dxf")}).status, 1);
}

// Odd texts as arguments never crash the program, and every line it prints holds the text.
TEST_F(SearchProgram, OddTextsNeverCrashOrMatchWrongly) {
    const QStringList odd = {"\"",   "'",   "*",   "?",          "*.*",
                             ";",    "a;b", "%s",  "\\",         QString(10000, 'P'),
                             "P\tI", "1",   "PID", "\U0001F600", QString(QChar(0xD800)),
                             "é"};
    for (const QString& text : odd) {
        for (const QStringList& lists : {QStringList{}, QStringList{"--blocks", text},
                                         QStringList{"--layers", text + ",BORDER"}}) {
            const Outcome outcome = search(lists + QStringList{text, examples("*.*")});
            EXPECT_TRUE(outcome.status == 0 || outcome.status == 1 || outcome.status == 2)
                << outcome.status << " for a text of " << text.size() << " characters";
            for (const QString& line : outcome.lines.mid(1)) {
                EXPECT_TRUE(line.section(',', -1).contains(text, Qt::CaseInsensitive))
                    << line.toStdString();
            }
        }
    }
}

}  // namespace
