// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search run as a script runs it: real drawings in a scratch folder, its standard output,
// standard error and exit status.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include "support/files.h"
#include "support/qt_printers.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef QUILLON_ADDRESS_SANITIZER
#define QUILLON_ADDRESS_SANITIZER 0
#endif

namespace {

const QString kProject = QStringLiteral(QUILLON_FIXTURES_DIR "/../..");
const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");

struct Outcome {
    int status = -1;  // -1: did not finish, -2: crashed
    QStringList lines;
    QString errors;
};

Outcome search(const QStringList& arguments, const QString& folder = QDir::tempPath()) {
    QProcess program;
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(QUILLON_SEARCH_PROGRAM), arguments);
    Outcome outcome;
    if (!program.waitForFinished(60000)) {
        program.kill();
        return outcome;
    }
    outcome.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    if (arguments.contains(QStringLiteral("--help"))) {
        outcome.lines = {out};
    } else {
        outcome.lines = out.split(QStringLiteral("\r\n"));
        EXPECT_EQ(outcome.lines.takeLast(), QString()) << "every line ends with CR LF";
    }
    outcome.errors = QString::fromUtf8(program.readAllStandardError());
    return outcome;
}

const QString kHeader =
    QStringLiteral("Drawing,Space,Block,Layer,BHandle,Handle,X,Y,Z,AttributeTag,AttributeValue");

class SearchProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("Examples/archive"));
        for (const char* name : {"cooling-water.dxf", "tank-farm.dxf", "boiler-feed.dxf",
                                 "archive/boiler-feed-rev-a.dwg", "titleblock.txt"}) {
            ASSERT_TRUE(QFile::copy(kProject + "/examples/" + name,
                                    dir.filePath(QStringLiteral("Examples/") + name)));
        }
    }
    QString examples(const QString& pattern) const { return dir.filePath("EXAMPLES/" + pattern); }

    QTemporaryDir dir;
};

TEST_F(SearchProgram, PrintsHeaderAndLinesAndTotals) {
    const Outcome found = search({"pid-100", examples("*.dxf")});
    EXPECT_EQ(found.status, 0) << found.errors.toStdString();
    EXPECT_EQ(found.lines, (QStringList{kHeader,
                                        "boiler-feed.dxf,Paper,TITLE,BORDER,5E,60,230,10,0,DWGNO,"
                                        "PID-1002",
                                        "boiler-feed.dxf,Paper,TITLE,BORDER,6A,6C,230,10,0,DWGNO,"
                                        "PID-1003",
                                        "cooling-water.dxf,Paper,TITLE,BORDER,63,65,230,10,0,DWGNO,"
                                        "PID-1001"}));
    EXPECT_TRUE(found.errors.startsWith("3 hits in 2 files in ")) << found.errors.toStdString();
    EXPECT_TRUE(found.errors.endsWith(" seconds\n")) << found.errors.toStdString();
}

TEST_F(SearchProgram, CriteriaTable) {
    struct Case {
        QStringList arguments;
        QStringList valuesOrTags;  // the last field, or the last two with --tag
        int status;
    };
    const Case cases[] = {
        // A lower-case value without match case finds it in any case, inside longer values.
        {{"pid-1001"}, {"PID-1001"}, 0},
        {{"--case", "pid-1001"}, {}, 1},
        {{"--whole", "pid-100"}, {}, 1},
        {{"--whole", "pid-1001"}, {"PID-1001"}, 0},
        {{"--whole", "--case", "PID-1001"}, {"PID-1001"}, 0},
        {{"--whole", "--case", "Pid-1001"}, {}, 1},
        // A tag search shows tag and value; values are never compared.
        {{"--tag", "--whole", "dwgno", "--blocks", "title"},
         {"DWGNO,PID-1002", "DWGNO,PID-1003", "DWGNO,PID-1001", "DWGNO,PID-2001"},
         0},
        {{"--tag", "PID"}, {}, 1},
        // Two block names, blanks and commas, any letter case; a name's beginning is no name.
        {{"--space", "Paper", "--blocks", "tit, nothing", "PID"}, {}, 1},
        {{"--space", "Model", "PID"}, {}, 1},
        {{"--layers", "border", "--blocks", "TITLE,pump", "2001"}, {"PID-2001"}, 0},
    };
    for (const Case& c : cases) {
        const Outcome outcome = search(c.arguments + QStringList{examples("*.DXF")});
        EXPECT_EQ(outcome.status, c.status) << c.arguments.join(' ').toStdString();
        QStringList last;
        for (const QString& line : outcome.lines.mid(1)) {
            last << line.section(',', c.arguments.contains("--tag") ? -2 : -1);
        }
        EXPECT_EQ(last, c.valuesOrTags) << c.arguments.join(' ').toStdString();
        if (c.status == 1) {
            EXPECT_TRUE(outcome.lines.isEmpty()) << "no header without hits";
        }
    }
}

TEST_F(SearchProgram, FullPathDelimiterAndFolderInAnyCase) {
    const Outcome found =
        search({"--full-path", "--delimiter", ";", "PID", examples("ARCHIVE/*.dwg")});
    EXPECT_EQ(found.status, 0);
    ASSERT_EQ(found.lines.size(), 3);
    EXPECT_EQ(found.lines[0], QString(kHeader).replace(',', ';'));
    EXPECT_EQ(found.lines[1], dir.filePath("Examples/archive/boiler-feed-rev-a.dwg") +
                                  ";Paper;TITLE;BORDER;5E;60;230;10;0;DWGNO;PID-1002");
}

TEST_F(SearchProgram, DrawingsThatDoNotOpenAreNamedWithTheirReasonAndTheSearchGoesOn) {
    testfiles::write(dir.filePath("Examples/broken.dxf"), "0\r\nSECTION\r\n2\r\nENTITIES\r\n");
    const Outcome found = search({"PID-2001", examples("*.dxf")});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.lines.size(), 2);
    EXPECT_TRUE(found.errors.contains("Cannot open " + dir.filePath("Examples/broken.dxf") + " ("))
        << found.errors.toStdString();
    EXPECT_TRUE(found.errors.contains("1 hits in 1 files in ")) << found.errors.toStdString();
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
        {"--unknown", "PID", examples("*.dxf")},
        {"   ", examples("*.dxf")},
        {"PID", "  "},
    };
    for (const QStringList& arguments : bad) {
        const Outcome outcome = search(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.lines.isEmpty());
        EXPECT_TRUE(outcome.errors.contains("Usage:")) << arguments.join(' ').toStdString();
    }
    const Outcome help = search({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.lines.join("").contains("FOLDER_SPEC"));
    EXPECT_EQ(search({"PID", examples("*.nothing")}).status, 1);
}

// A folder that is not there, or cannot be read, is said to be so: it is not a search
// without hits (status 1, "0 hits in 0 files"), which a script would take as a clean result.
TEST_F(SearchProgram, AFolderThatCannotBeSearchedIsNamedWithStatusTwo) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("locked"));
    const struct {
        QString folderPattern;
        QString message;
    } cases[] = {
        {dir.filePath("no-such-folder/*.dxf"),
         "Folder " + dir.filePath("no-such-folder/") + " not found.\n"},
        {dir.filePath("no-such-folder/deeper/") + "*.dwg",
         "Folder " + dir.filePath("no-such-folder/deeper/") + " not found.\n"},
        // A file is no folder.
        {examples("titleblock.txt/*.dxf"),
         "Folder " + dir.filePath("Examples/titleblock.txt/") + " not found.\n"},
        {dir.filePath("locked/*.dxf"), "Folder " + dir.filePath("locked/") + " cannot be read.\n"},
    };
    QFile::setPermissions(dir.filePath("locked"), QFileDevice::Permissions{});
    // Permissions do not stop an administrator: then the locked folder reads as empty.
    const bool lockHolds = !QDir(dir.filePath("locked")).isReadable();
    for (const auto& c : cases) {
        if (c.folderPattern.contains("locked") && !lockHolds) continue;
        const Outcome outcome = search({"PID", c.folderPattern});
        EXPECT_EQ(outcome.status, 2) << c.folderPattern.toStdString();
        EXPECT_TRUE(outcome.lines.isEmpty());
        EXPECT_EQ(outcome.errors, c.message);
    }
    QFile::setPermissions(dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // An empty folder is a search without hits.
    EXPECT_EQ(search({"PID", dir.filePath("locked/*.dxf")}).status, 1);
}

// A file of gigabytes that only begins like a DWG file, among the drawings of a folder, is
// named with its reason and the search goes on, within far less memory than the file's size.
TEST_F(SearchProgram, AHugeFileThatBeginsLikeADwgFileDoesNotEndTheSearch) {
    QFile huge(dir.filePath("Examples/huge.dwg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_EQ(huge.write("AC1032"), 6);
    ASSERT_TRUE(huge.resize(qint64{3} << 30));  // a hole: no disk space taken
    huge.close();
    QProcess program;
#if defined(Q_OS_UNIX) && !defined(__SANITIZE_ADDRESS__) && !QUILLON_ADDRESS_SANITIZER
    // A gigabyte of address space: reading the file whole would fail to allocate.
    program.setChildProcessModifier([] {
        const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
        setrlimit(RLIMIT_AS, &limit);
    });
#endif
    program.start(QStringLiteral(QUILLON_SEARCH_PROGRAM), {"PID-100", examples("*.*")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()).count("PID-100"), 3);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(errors.contains("Cannot open " + dir.filePath("Examples/huge.dwg") +
                                " (the file header is corrupt)"))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains("3 hits in 2 files in ")) << errors.toStdString();
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

// What the reader finds in a .dwg equals what its .dxf twin says, line for line, handles and
// coordinates included.
TEST_F(SearchProgram, DwgAndDxfTwinsGiveTheSameLines) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("twins"));
    QStringList stems;
    for (const QString& name : QDir(kAutocad).entryList({"*.dwg"})) {
        const QString stem = QFileInfo(name).completeBaseName();
        QByteArray twin = testfiles::read(kAutocad + "/" + stem + ".dxf");
        if (twin.isEmpty()) {
            QProcess gzip;
            gzip.start("gzip", {"-dc", kAutocad + "/" + stem + ".dxf.gz"});
            ASSERT_TRUE(gzip.waitForFinished(60000));
            twin = gzip.readAllStandardOutput();
        }
        ASSERT_FALSE(twin.isEmpty()) << stem.toStdString();
        ASSERT_TRUE(testfiles::write(dir.filePath("twins/" + stem + ".dxf"), twin));
        ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, dir.filePath("twins/" + name)));
        stems << stem;
    }
    ASSERT_GE(stems.size(), 10);
    // Every attribute of these drawings has a T in its tag; the twins hold a handful each.
    auto linesOf = [&](const QString& file) {
        QStringList lines;
        for (const QString& line :
             search({"--tag", "t", dir.filePath("twins/" + file)}).lines.mid(1)) {
            lines << line.section(',', 1);
        }
        return lines;
    };
    // The R13 and R14 samples were saved down by a later release, which kept the names it
    // shows beside the upper-case ones those releases store; their twins were written with
    // the stored names.
    auto namesShown = [](QStringList lines) {
        for (QString& line : lines)
            line.replace(",BLOKO,", ",bloko,").replace(",TAVOLO_3,", ",Tavolo 3,");
        return lines;
    };
    int withHits = 0;
    for (const QString& stem : stems) {
        const QStringList fromDwg = linesOf(stem + ".dwg");
        const QStringList fromTwin = linesOf(stem + ".dxf");
        const bool savedDown = stem == "example_r13" || stem == "example_r14";
        EXPECT_EQ(fromDwg, savedDown ? namesShown(fromTwin) : fromTwin) << stem.toStdString();
        if (!fromDwg.isEmpty()) ++withHits;
    }
    EXPECT_GE(withHits, 9);
    const QStringList archive = linesOf("../Examples/archive/boiler-feed-rev-a.dwg");
    EXPECT_EQ(archive.size(), 8);
    EXPECT_EQ(archive, linesOf("../Examples/boiler-feed.dxf"));
}

}  // namespace
