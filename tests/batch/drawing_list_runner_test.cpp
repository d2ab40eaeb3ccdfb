// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing list runs against the runner alone: which lines run, what they extract, what they
// send and how a failed line is told.

#include <sys/stat.h>
#include <unistd.h>

#include <QStringEncoder>

#include "runner_fixture.h"

namespace {

using Outcome = batch::DrawingListResult::Outcome;

class DrawingListRunnerTest : public runnertest::RunnerTest {};

TEST_F(DrawingListRunnerTest, SendLinesSendEverythingExtractedSoFarAsRequests) {
    const QString file = out + "/titles.csv";
    const auto result =
        run("FULLDWGNAME\r\n" + line(proj + "/A-101.dwg") + "EXTRACT TO FILE " + file.toUtf8() +
            ",APPEND,TAGS\r\n" + line(proj + "/E-1.dwg") + "EXTRACT TO CLIPBOARD\r\n");
    EXPECT_EQ(result.outcome, Outcome::Finished);
    EXPECT_EQ(result.drawingsExtracted, 2);
    EXPECT_TRUE(result.sent);
    EXPECT_TRUE(window.form.includeDrawingName && window.form.fullPath && !window.form.timestamp);
    ASSERT_EQ(sender.sends.size(), 2u);
    const auto& [toFile, firstRecords] = sender.sends[0];
    EXPECT_EQ(toFile.destination, output::Destination::TextFile);
    EXPECT_EQ(toFile.file, file);
    EXPECT_TRUE(toFile.append && toFile.tags && toFile.fromList);
    EXPECT_EQ(toFile.form.fullPath, true) << "the header gets the records' drawing-name column";
    const qint64 firstCount = firstRecords.records.size();
    ASSERT_GT(firstCount, 0);
    EXPECT_TRUE(firstRecords.records[0].startsWith("'" + proj + "/A-101.dwg','TITLE',"))
        << firstRecords.records[0].toStdString();
    EXPECT_TRUE(firstRecords.header.startsWith("'BLOCK_NAME','BLOCK_HANDLE'"));
    const auto& [toClipboard, allRecords] = sender.sends[1];
    EXPECT_EQ(toClipboard.destination, output::Destination::Clipboard);
    EXPECT_FALSE(toClipboard.tags);
    EXPECT_GT(allRecords.records.size(), firstCount) << "the second send has both drawings'";
    EXPECT_EQ(allRecords.records.mid(0, firstCount), firstRecords.records);
    EXPECT_EQ(window.shown.size(), 2u);
    EXPECT_EQ(result.recordsAdded, window.model.count());
    EXPECT_TRUE(QFile::exists(scratch.path("program/extract.txt")));
}

TEST_F(DrawingListRunnerTest, SendLineBeforeAnyRecordSendsNothing) {
    const auto result = run("DWGNAME\r\nEXTRACT TO CLIPBOARD\r\n" + line(proj + "/missing.dwg"));
    EXPECT_TRUE(sender.sends.empty());
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.recordsAdded, 0);
}

// The first line that is neither blank nor a comment is the header, whatever it holds; END
// ends the run where it stands.
TEST_F(DrawingListRunnerTest, TheFirstSignificantLineIsTheHeaderAndEndEndsTheRun) {
    const struct {
        const char* name;
        QByteArray list;
        Outcome outcome;
        QStringList names;
    } cases[] = {
        {"comments and blanks before the header; a name in another letter case",
         "' weekly title block run\r\n\r\nDWGNAME\r\n" + line(proj + "/a-101.dwg") + "END\r\n" +
             line(proj + "/E-1.dwg"),
         Outcome::Ended,
         {"'A-101.DWG'"}},
        {"a drawing as the header is lost, and the drawing-name options stay",
         line(proj + "/A-101.dwg") + line(proj + "/E-1.dwg"),
         Outcome::Finished,
         {"'" + proj + "/E-1.dwg'"}},
        {"no drawing name",
         "NODWGNAME\r\n" + line(proj + "/A-101.dwg"),
         Outcome::Finished,
         {"'TITLE'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.model.clear();
        window.added.clear();
        window.form.includeDrawingName = window.form.fullPath = true;
        const auto result = run(c.list);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(names(), c.names);
        EXPECT_EQ(result.drawingsExtracted, 1);
        EXPECT_EQ(result.failedLines, 0);
        using Added = std::vector<std::pair<qint64, qint64>>;
        EXPECT_EQ(window.added, (Added{{0, 1}})) << "the window selects what was added";
        EXPECT_EQ(errLog(), QStringList());
    }
}

// Without an extension a pattern reaches into subfolders, the folder's own files first, and
// takes no DXF file; a dxf extension stays, any other becomes dwg. A drawing the reader refuses
// is passed over, without an err.log line.
TEST_F(DrawingListRunnerTest, WildcardLinesExtractTheDrawingsTheyMatch) {
    scratch.writeFile("proj/sub/E-0.dwg", "not a drawing\r\n");
    const struct {
        const char* pattern;
        QStringList names;
    } cases[] = {
        {"/e*", {"'E-1.DWG'", "'E-2.DWG'", "'E-2.DWG'", "'E-3.DWG'"}},
        {"/sub/E*", {"'E-2.DWG'", "'E-2.DWG'", "'E-3.DWG'"}},
        {"/E*.BAK", {"'E-1.DWG'"}},
        {"/E*.dxfx", {"'E-1.DWG'"}},
        {"/E*.dxf", {"'E-9.DXF'"}},
        {"/e?9.Dxf", {"'E-9.DXF'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        window.model.clear();
        window.statuses.clear();
        run("DWGNAME\r\n" + line(proj + c.pattern));
        EXPECT_EQ(names(), c.names);
        EXPECT_EQ(errLog(), QStringList());
        EXPECT_TRUE(window.statuses.filter("Scanning " + proj).size() > 0)
            << window.statuses.join('\n').toStdString();
    }
}

TEST_F(DrawingListRunnerTest, WildcardOverDwgFilesOfEveryReleaseSendsEveryRecord) {
    const QString folder = scratch.makeFolder("autocad");
    const QStringList releases = {"2000", "2004", "2007", "2010", "2013", "2018"};
    QStringList expected;
    for (const QString& release : releases) {
        const QString name = "example_" + release + ".dwg";
        ASSERT_TRUE(QFile::copy(runnertest::kAutocad + "/" + name, folder + "/" + name));
        expected << "'" + name.toUpper() + "','190','valoro de la teksto en bloko'"
                 << "'" + name.toUpper() + "','756','valoro'";
    }
    const QString bloko = scratch.writeFile(
        "bloko.txt",
        "*INPUT\r\nBLOCK: bloko\r\n*OUTPUT\r\nBLOCK_HANDLE\r\n*ATTRIBUTE_TAGS\r\nETIKEDO\r\n");
    run("DWGNAME\r\n" + line(folder + "/example_*", bloko) + "EXTRACT TO FILE " +
        (out + "/bloko.csv").toUtf8() + "\r\n");
    EXPECT_EQ(errLog(), QStringList());
    ASSERT_EQ(sender.sends.size(), 1u);
    EXPECT_EQ(sender.sends[0].second.records, expected);
}

// Every drawing line and send line that fails says why on the status line and in err.log, is
// counted, and the list goes on.
TEST_F(DrawingListRunnerTest, FailedLinesAreLoggedCountedAndTheListGoesOn) {
    scratch.writeFile("bad.txt", "*INPUT\r\n");
    scratch.writeFile("proj/notes.dwg", "These are meeting notes, not a drawing.\r\n");
    scratch.writeFile(
        "proj/cut.dwg",
        ScratchFolder::readFile(runnertest::kAutocad + "/example_2018.dwg").left(6000));
    scratch.writeFile("proj/old.dwg", QByteArray("AC1002") + QByteArray(200, '\0'));
    QString deep = proj;
    while (deep.size() < 300000) deep += "/a";
    const QString lost = out + "/gone/lost.csv";
    const QString opening = "  Error: Error opening DWG file. (";
    const QString tooLong = ". (the path is longer than the system allows: ";
    const struct {
        QByteArray line;
        QStringList logged;  // each in the log line, the last one ending it
    } cases[] = {
        {line(proj + "/missing.dwg"),
         {"  Template: " + scratch.path("Title.txt") + "  Drawing: " + proj +
          "/missing.dwg  Error: DWG file not found."}},
        {line(proj + "/A-101.dwg", scratch.path("bad.txt")),
         {"  Error: Template file requires '*OUTPUT'."}},
        {line(proj + "/notes.dwg"), {opening, "not a drawing file", ")"}},
        {line(proj + "/cut.dwg"), {opening, "truncated", ")"}},
        {line(proj + "/old.dwg"), {opening, "AC1002", ")"}},
        {line(deep + "/A-101.dwg"), {"A-101.dwg  Error: DWG file not found" + tooLong, ")"}},
        {line(proj + "/A-101.dwg", deep + "/title.txt"), {"/title.txt'" + tooLong, ")"}},
        {"EXTRACT TO FILE " + lost.toUtf8() + "\r\n",
         {"  Send: EXTRACT TO FILE " + lost + "  Error: File " + lost + " not saved: ", "."}},
        {"EXTRACT TO PRINTER\r\n",
         {"  Send: EXTRACT TO PRINTER  Error: The send line names no destination: TO FILE, TO "
          "CLIPBOARD, TO WORD, TO EXCEL or TO ACCESS."}},
    };
    QByteArray list = "DWGNAME\r\n" + line(proj + "/A-101.dwg");
    for (const auto& c : cases) list += c.line;
    const QString sent = out + "/sent.csv";
    // A blank before APPEND makes no APPEND: the second send replaces the first one's file.
    list += "EXTRACT TO FILE " + sent.toUtf8() + ",APPEND\r\nEXTRACT TO FILE " + sent.toUtf8() +
            ", APPEND,TAGS\r\nEND\r\n";
    runnertest::RealSender real;
    const auto result = run(list, real.sender);

    EXPECT_EQ(result.outcome, Outcome::Ended);
    EXPECT_EQ(names(), QStringList{"'A-101.DWG'"});
    const QByteArray csv = ScratchFolder::readFile(sent);
    EXPECT_TRUE(csv.startsWith("\"DRAWING_NAME\",\"BLOCK_NAME\",\"BLOCK_HANDLE\",\"DWGNO\""))
        << "the run went on past the failures: " << csv.toStdString();
    EXPECT_TRUE(csv.contains("\r\n\"A-101.DWG\",\"TITLE\","));
    EXPECT_EQ(csv.count("\r\n"), 2);
    EXPECT_EQ(result.failedLines, std::size(cases));
    const QStringList log = errLog();
    ASSERT_EQ(log.size(), std::size(cases)) << log.join('\n').left(2000).toStdString();
    for (qsizetype i = 0; i < log.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.line.left(300).toStdString());
        for (const QString& part : c.logged) {
            EXPECT_TRUE(log[i].contains(part)) << log[i].right(300).toStdString();
        }
        EXPECT_TRUE(log[i].endsWith(c.logged.last())) << log[i].right(300).toStdString();
        const QString error = log[i].mid(log[i].indexOf("  Error: ") + 9);
        EXPECT_TRUE(window.statuses.contains(error)) << "the status line says so too";
    }
}

// A list saved as "Unicode" by a Windows editor is read as the text it is, to its END.
TEST_F(DrawingListRunnerTest, UnicodeListFilesAreReadToTheirEnd) {
    const QString text = "DWGNAME\r\n" + proj + "/A-101.dwg," + tpl() +
                         "\r\nEXTRACT TO CLIPBOARD\r\nEND\r\n" + proj + "/E-1.dwg," + tpl();
    const struct {
        const char* name;
        QStringConverter::Encoding encoding;
        QByteArray mark;
    } cases[] = {{"UTF-16LE", QStringConverter::Utf16LE, "\xFF\xFE"},
                 {"UTF-16BE", QStringConverter::Utf16BE, "\xFE\xFF"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.model.clear();
        sender.sends.clear();
        const auto result = run(c.mark + QStringEncoder(c.encoding).encode(text));
        EXPECT_EQ(result.outcome, Outcome::Ended);
        EXPECT_EQ(result.failedLines, 0);
        EXPECT_EQ(names(), QStringList{"'A-101.DWG'"});
        EXPECT_EQ(sender.sends.size(), 1u);
    }
}

// A list opens with a double-click: it may be a huge file, a path too long to look up, or one
// that may not be read. Each is refused before anything runs, saying why.
TEST(DrawingListFile, ListsThatCannotBeReadAreRefusedSayingWhy) {
    ScratchFolder scratch;
    QByteArray huge = "DWGNAME\r\n";
    huge += QByteArray(16 * 1024 * 1024 + 1 - huge.size(), '\'');
    QString deep = scratch.path();
    while (deep.size() < 5000) deep += "/a";
    std::vector<std::pair<QString, QString>> cases = {
        {scratch.writeFile("huge.dlf", huge),
         "larger than 16 MB, the most a drawing list may have"},
        {deep + "/run.dlf", "the path is longer than the system allows: 50"},
    };
    if (::geteuid() != 0) {  // the administrator reads everything
        const QString locked = scratch.writeFile("locked.dlf", "DWGNAME\r\n");
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
        cases.emplace_back(locked, "ermission");
    }
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.left(300).toStdString());
        platform::LineReader list;
        EXPECT_FALSE(list.open(path, batch::listFileLimit()));
        EXPECT_TRUE(list.errorString().contains(reason)) << list.errorString().toStdString();
        QString line;
        EXPECT_FALSE(list.readLine(line)) << "nothing is left to run";
    }
}

// The bar counts the list's drawing lines, and a wildcard line's drawings while it scans them;
// Cancel stops between two drawings and nothing after the click runs: no send, no END.
TEST_F(DrawingListRunnerTest, ProgressCountsDrawingLinesAndCancelStopsTheList) {
    const QByteArray list = "DWGNAME\r\n" + line(proj + "/A-101.dwg") + line(proj + "/e*") +
                            line(proj + "/E-9.dxf") + line(proj + "/E-1.dwg") +
                            "EXTRACT TO CLIPBOARD\r\nEND\r\n";
    const struct {
        const char* cancelWhen;
        Outcome outcome;
        QStringList progress;
        qint64 linesRun;
        QStringList names;
    } cases[] = {
        {"",
         Outcome::Ended,
         {"0/4", "1/4", "0/3", "1/3", "2/3", "2/4", "3/4", "0/0"},
         4,
         {"'A-101.DWG'", "'E-1.DWG'", "'E-2.DWG'", "'E-2.DWG'", "'E-3.DWG'", "'E-9.DXF'",
          "'E-1.DWG'"}},
        {"1/3",
         Outcome::Cancelled,
         {"0/4", "1/4", "0/3", "1/3", "0/0"},
         2,
         {"'A-101.DWG'", "'E-1.DWG'", "'E-2.DWG'", "'E-2.DWG'"}},
        {"0/4", Outcome::Cancelled, {"0/4", "0/0"}, 1, {"'A-101.DWG'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancelWhen);
        window.model.clear();
        window.progress.clear();
        window.cancelClicked = false;
        window.cancelWhen = c.cancelWhen;
        sender.sends.clear();
        const auto result = run(list);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(window.progress, c.progress);
        EXPECT_EQ(result.drawingLinesRun, c.linesRun);
        EXPECT_EQ(result.drawingLines, 4);
        EXPECT_EQ(names(), c.names);
        EXPECT_EQ(sender.sends.size(), c.outcome == Outcome::Ended ? 1u : 0u);
    }
}

}  // namespace
