// SPDX-License-Identifier: GPL-3.0-or-later
// Records as lines or a table at either end of a document, on a landscape page: in a running
// word processor, and in .docx files read back with python-docx.

#include "office/docx_python.h"
#include "output/sender_fixture.h"

namespace {

using output::Destination;

QString withoutPageLine(const QString& dump) {
    return dump.section(QLatin1Char('\n'), 1);
}

class DocumentSenderTest : public SenderTest {
protected:
    // `name` made by python-docx: a portrait Letter page holding `paragraphs`, a section each.
    QString document(const QString& name, const QStringList& paragraphs = {"Existing text"}) {
        EXPECT_EQ(runPython("import sys, docx\nd = docx.Document()\n"
                            "for i, text in enumerate(sys.argv[2:]):\n"
                            "    if i: d.add_section()\n"
                            "    d.add_paragraph(text)\n"
                            "d.save(sys.argv[1])\n",
                            QStringList{path(name)} + paragraphs),
                  "");
        return path(name);
    }
    output::SendRequest request(const QString& file, bool tags, bool table, bool append) const {
        auto request = to(Destination::Document);
        request.file = file;
        request.tags = tags;
        request.createTable = table;
        request.append = append;
        return request;
    }
};

TEST_F(DocumentSenderTest, LinesOrTableAtEitherEndOfALandscapePage) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString existing = "P Existing text | None";
    const struct {
        const char* name;
        bool tags, table, append;
        const char* records;  // one a line; none: the fixture's two
        QString expected;
    } cases[] = {
        {"tags, lines, appended", true, false, true, nullptr,
         existing + "\nP TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0"},
        {"tags, table, appended", true, true, true, nullptr,
         existing + "\nT 3x2\nR HB TAG|VAL\nR -- A|1\nR -- B|2\nP  |"},
        {"no tags, table, appended", false, true, true, nullptr,
         existing + "\nT 2x2\nR -- A|1\nR -- B|2\nP  |"},
        {"tags, lines, at the start", true, false, false, nullptr,
         "P TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0\n" + existing},
        {"no tags, table, at the start", false, true, false, nullptr,
         "T 2x2\nR -- A|1\nR -- B|2\nP  |\n" + existing},
        {"no tags, lines, appended", false, false, true, nullptr,
         existing + "\nP A,1 | 8.0\nP B,2 | 8.0"},
        // A tab is a character like any other: the later cells of its row stay in their columns.
        {"tabs inside values", true, true, true, "'A\tx','1'\n'\tB','2\t3'",
         existing + "\nT 3x2\nR HB TAG|VAL\nR -- A\tx|1\nR -- \tB|2\t3\nP  |"},
    };
    const output::SendRecords two = records;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        forgetWhatWasShown();
        const QString file = document("Report.docx");
        ASSERT_TRUE(dumpDocument(file).startsWith("page portrait 12240 15840"));
        records = two;
        if (c.records) records.records = QString(c.records).split('\n');
        EXPECT_EQ(send(request(file, c.tags, c.table, c.append)).status,
                  "Data sent to " + file + ".");
        const QString dump = dumpDocument(file);
        EXPECT_TRUE(dump.startsWith("page landscape 15840 12240")) << dump.toStdString();
        EXPECT_EQ(withoutPageLine(dump), c.expected);
        EXPECT_EQ(fakes.shell.calls, opened(file)) << "shown in the desktop's program";
        EXPECT_EQ(fakes.ui.beeps, 0);
        EXPECT_TRUE(fakes.dialogs.shown().empty());
    }
}

TEST_F(DocumentSenderTest, SendsStackUpInOrder) {
    SKIP_WITHOUT_PYTHON_DOCX();
    for (const bool append : {true, false}) {
        SCOPED_TRACE(append ? "appended" : "at the start");
        const QString file = document("Report.docx");
        for (const char* record : {"'A','1'", "'B','2'"}) {
            records.records = {record};
            EXPECT_EQ(send(request(file, false, false, append)).status,
                      "Data sent to " + file + ".");
        }
        EXPECT_EQ(withoutPageLine(dumpDocument(file)),
                  append ? "P Existing text | None\nP A,1 | 8.0\nP B,2 | 8.0"
                         : "P B,2 | 8.0\nP A,1 | 8.0\nP Existing text | None");
    }
}

// In a document of two portrait sections only the section the records go into turns.
TEST_F(DocumentSenderTest, TheSectionTheRecordsGoIntoTurnsLandscape) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString dumpSections = QStringLiteral(
        "import sys, docx\n"
        "d = docx.Document(sys.argv[1])\n"
        "print(' '.join('landscape' if s.orientation == 1 else 'portrait' for s in d.sections))\n"
        "print(' / '.join(p.text for p in d.paragraphs if p.text))\n");
    const std::pair<bool, QString> cases[] = {
        {false, "landscape portrait\nTAG,VAL / A,1 / B,2 / first section / second section"},
        {true, "portrait landscape\nfirst section / second section / TAG,VAL / A,1 / B,2"},
    };
    for (const auto& [append, expected] : cases) {
        SCOPED_TRACE(append ? "appended" : "at the start");
        const QString file = document("Sections.docx", {"first section", "second section"});
        EXPECT_EQ(send(request(file, true, false, append)).status, "Data sent to " + file + ".");
        EXPECT_EQ(runPython(dumpSections, {file}).trimmed(), expected);
    }
}

TEST_F(DocumentSenderTest, NoDocumentNamedMakesANewOneNamedInTheStatus) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString first = path("Document1.docx");
    EXPECT_EQ(send(request({}, true, true, true)).status,
              "Data sent to the new document " + first + ".");
    const QString dump = dumpDocument(first);
    EXPECT_TRUE(dump.startsWith("page landscape")) << dump.toStdString();
    EXPECT_EQ(withoutPageLine(dump), "T 3x2\nR HB TAG|VAL\nR -- A|1\nR -- B|2\nP  |");
    EXPECT_EQ(fakes.shell.calls, opened(first));

    // The next send makes the next new document: the first one is left as it is.
    const QByteArray written = testfiles::read(first);
    EXPECT_EQ(send(request({}, true, true, true)).status,
              "Data sent to the new document " + path("Document2.docx") + ".");
    EXPECT_EQ(testfiles::read(first), written);
}

// A word processor already running: a new document takes the first send, the active one the next.
TEST_F(DocumentSenderTest, RunningWordProcessorsActiveDocumentTakesTheNextSend) {
    auto word = std::make_shared<fake::MemoryWordProcessor>();
    office = fake::officeOf(nullptr, nullptr, {}, word);
    EXPECT_EQ(send(request({}, true, false, true)).status,
              "Data sent to the new document Document1.");
    EXPECT_TRUE(word->visible);
    EXPECT_EQ(send(request({}, true, false, true)).status, "Data sent to Document1.");
    ASSERT_EQ(word->open.size(), 1u) << "the active document is written again";
    EXPECT_EQ(word->open[0].second->blocks.size(), 2u);
}

TEST_F(DocumentSenderTest, DocumentThatCannotTakeTheBlockIsReportedAndLeftAsItWas) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const struct {
        const char* name;
        QByteArray bytes;  // the document's content; empty: made by python-docx
        QString other;     // a file beside it
        QString reason;    // in the status
    } cases[] = {
        {"open in Word", "", "~$report.docx", "~$report.docx"},
        {"open in LibreOffice", "", ".~lock.report.docx#", ".~lock.report.docx#"},
        {"text named .docx", "just some text\r\n", "", "is not a document (.docx)"},
        {"cut-off document", "PK\x03\x04\x14", "", "is not a document (.docx)"},
    };
    for (const bool fromList : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (fromList ? " in a list" : ""));
            forgetWhatWasShown();
            const QString file = document("report.docx");
            if (!c.bytes.isEmpty()) touch("report.docx", c.bytes);
            if (!c.other.isEmpty()) touch(c.other, "lock");
            const auto before = folderSnapshot(out);
            auto sent = request(file, true, true, true);
            sent.fromList = fromList;
            const output::SendResult result = send(sent);
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.status.startsWith("Data not sent to the document: "));
            for (const QString& part : {file, c.reason})
                EXPECT_TRUE(result.status.contains(part)) << result.status.toStdString();
            EXPECT_EQ(fakes.ui.beeps, 1);
            EXPECT_TRUE(fakes.shell.calls.empty()) << "nothing to show";
            EXPECT_TRUE(fakes.dialogs.shown().empty()) << "the status says it all";
            EXPECT_TRUE(folderSnapshot(out) == before) << "every file as it was";
            if (!c.other.isEmpty()) QFile::remove(path(c.other));
        }
    }
}

}  // namespace
