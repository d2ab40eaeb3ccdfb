// SPDX-License-Identifier: GPL-3.0-or-later
// Sends from the window to .docx documents on real files, read back with python-docx: lines or a
// table at either end, a new document when none is chosen, and documents that cannot take the
// block.

#include "mainwindow/main_window_fixture.h"
#include "office/docx_python.h"
#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "platform/scratch_folder.h"
#include "records/record_list_model.h"

namespace {

using Shell = fake::RecordingShell;

// A portrait Letter document as python-docx makes it, with one paragraph of text.
const QString kMakeDocument = QStringLiteral(
    "import sys, docx\n"
    "d = docx.Document()\n"
    "d.add_paragraph('Existing text')\n"
    "d.save(sys.argv[1])\n");

QString withoutPageLine(const QString& dump) {
    return dump.section(QLatin1Char('\n'), 1);
}

class DocumentSendTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        out = makeFolder("out");
        load();
        window->office.startWordProcessor = [this](const QString&) {
            return office::startDocxWordProcessor(out);
        };
        window->documentOption->setChecked(true);
        window->includeDrawingNameCheck->setChecked(false);
        records({"'A','1'", "'B','2'"});
    }
    void records(const QStringList& texts) {
        window->records->clear();
        window->records->setHeader(QStringLiteral("'TAG','VAL'"));
        window->records->append(texts, 3);
        window->selectAllRecords();
    }
    void options(bool tags, bool table, bool append) {
        window->includeTagsCheck->setChecked(tags);
        window->createTableCheck->setChecked(table);
        window->documentAppendCheck->setChecked(append);
    }
    // A portrait document with one paragraph, chosen as the send's document.
    QString document(const QString& name = QStringLiteral("Report.docx")) {
        const QString path = out + "/" + name;
        EXPECT_EQ(runPython(kMakeDocument, {path}), QString());
        window->m_document = path;
        return path;
    }
    void send() {
        window->statusLabel->clear();
        window->sendSelectedRecords();
    }
    QString status() const { return window->statusLabel->text(); }
    std::vector<Shell::Call> opened(const QString& path) const {
        return {{Shell::Call::Kind::Document, path}};
    }

    QString out;
};

TEST_F(DocumentSendTest, LinesOrTableAtEitherEndOfALandscapePage) {
    SKIP_WITHOUT_PYTHON_DOCX();
    struct Case {
        const char* name;
        bool tags, table, append;
        QString expected;
    };
    const QString existing = QStringLiteral("P Existing text | None");
    const Case cases[] = {
        {"tags, lines, appended", true, false, true,
         existing + "\nP TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0"},
        {"tags, table, appended", true, true, true,
         existing + "\nT 3x2\nR HB TAG|VAL\nR -- A|1\nR -- B|2\nP  |"},
        {"no tags, table, appended", false, true, true,
         existing + "\nT 2x2\nR -- A|1\nR -- B|2\nP  |"},
        {"tags, lines, at the start", true, false, false,
         "P TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0\n" + existing},
        {"no tags, table, at the start", false, true, false,
         "T 2x2\nR -- A|1\nR -- B|2\nP  |\n" + existing},
        {"no tags, lines, appended", false, false, true, existing + "\nP A,1 | 8.0\nP B,2 | 8.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = document();
        ASSERT_TRUE(dumpDocument(path).startsWith("page portrait 12240 15840"));
        options(c.tags, c.table, c.append);
        fakes.shell.calls.clear();
        send();
        EXPECT_EQ(status(), "Data sent to Word.");
        const QString dump = dumpDocument(path);
        EXPECT_TRUE(dump.startsWith("page landscape 15840 12240")) << dump.toStdString();
        EXPECT_EQ(withoutPageLine(dump), c.expected);
        EXPECT_EQ(fakes.shell.calls, opened(path)) << "shown in the desktop's program";
        EXPECT_EQ(fakes.ui.beeps, 0);
        EXPECT_TRUE(fakes.dialogs.messageTexts().isEmpty());
    }
}

TEST_F(DocumentSendTest, DocumentChosenInTheFileListIsTheOneWritten) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString path = document("report.docx");
    touch(out + "/notes.txt", "not a document");
    window->outputFolderList->setPath(out);
    ASSERT_EQ(items(window->outputFileList), QStringList{"report.docx"});
    window->outputFileList->setCurrentRow(0);
    window->outputFileClicked();
    options(true, false, true);
    send();
    EXPECT_EQ(status(), "Data sent to Word.");
    EXPECT_EQ(withoutPageLine(dumpDocument(path)),
              "P Existing text | None\nP TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0");
    EXPECT_EQ(fakes.shell.calls, opened(path));
}

TEST_F(DocumentSendTest, SendsStackUpInOrder) {
    SKIP_WITHOUT_PYTHON_DOCX();
    for (const bool append : {true, false}) {
        SCOPED_TRACE(append ? "appended" : "at the start");
        const QString path = document();
        options(false, false, append);
        records({"'A','1'"});
        send();
        records({"'B','2'"});
        send();
        EXPECT_EQ(status(), "Data sent to Word.");
        EXPECT_EQ(withoutPageLine(dumpDocument(path)),
                  append ? "P Existing text | None\nP A,1 | 8.0\nP B,2 | 8.0"
                         : "P B,2 | 8.0\nP A,1 | 8.0\nP Existing text | None");
    }
}

TEST_F(DocumentSendTest, NoDocumentChosenMakesANewOneNamedOnTheStatusLine) {
    SKIP_WITHOUT_PYTHON_DOCX();
    options(true, true, true);
    window->m_document.clear();
    send();
    const QString first = out + "/Document1.docx";
    EXPECT_EQ(status(), "Data sent to Word. New document: " + first);
    const QString dump = dumpDocument(first);
    EXPECT_TRUE(dump.startsWith("page landscape")) << dump.toStdString();
    EXPECT_EQ(withoutPageLine(dump), "T 3x2\nR HB TAG|VAL\nR -- A|1\nR -- B|2\nP  |");
    EXPECT_EQ(fakes.shell.calls, opened(first));

    // The next send makes the next new document: the first one is left as it is.
    const QByteArray written = ScratchFolder::readFile(first);
    send();
    EXPECT_EQ(status(), "Data sent to Word. New document: " + out + "/Document2.docx");
    EXPECT_EQ(ScratchFolder::readFile(first), written);
}

// A tab is a character of a value like any other: its cell holds it, and the later cells of the
// row stay in their columns.
TEST_F(DocumentSendTest, TabsInsideValuesStayInTheirTableCells) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString path = document();
    options(true, true, true);
    records({"'A\tx','1'", "'\tB','2\t3'"});
    send();
    EXPECT_EQ(status(), "Data sent to Word.");
    EXPECT_EQ(withoutPageLine(dumpDocument(path)),
              "P Existing text | None\nT 3x2\nR HB TAG|VAL\nR -- A\tx|1\nR -- \tB|2\t3\nP  |");
}

// In a document of two portrait sections the records land on a landscape page at either end,
// and the other section keeps its page.
TEST_F(DocumentSendTest, TheSectionTheRecordsGoIntoTurnsLandscape) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString makeTwoSections = QStringLiteral(
        "import sys, docx\n"
        "d = docx.Document()\n"
        "d.add_paragraph('first section')\n"
        "d.add_section()\n"
        "d.add_paragraph('second section')\n"
        "d.save(sys.argv[1])\n");
    const QString dumpSections = QStringLiteral(
        "import sys, docx\n"
        "d = docx.Document(sys.argv[1])\n"
        "print(' '.join('landscape' if s.orientation == 1 else 'portrait' for s in d.sections))\n"
        "print(' / '.join(p.text for p in d.paragraphs if p.text))\n");
    const struct {
        bool append;
        QString expected;
    } cases[] = {
        {false, "landscape portrait\nTAG,VAL / A,1 / B,2 / first section / second section"},
        {true, "portrait landscape\nfirst section / second section / TAG,VAL / A,1 / B,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.append ? "appended" : "at the start");
        const QString path = out + "/Sections.docx";
        ASSERT_EQ(runPython(makeTwoSections, {path}), QString());
        window->m_document = path;
        options(true, false, c.append);
        send();
        EXPECT_EQ(status(), "Data sent to Word.");
        EXPECT_EQ(runPython(dumpSections, {path}).trimmed(), c.expected);
    }
}

TEST_F(DocumentSendTest, MissingDocumentIsNamedAndNothingIsMade) {
    const QString missing = out + "/missing.docx";
    window->m_document = missing;
    send();
    EXPECT_EQ(status(), "File '" + missing + "' does not exist.");
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_TRUE(folderSnapshot(out).empty()) << "no document made";
    EXPECT_TRUE(fakes.shell.calls.empty());
}

TEST_F(DocumentSendTest, DocumentThatCannotTakeTheBlockIsReportedAndLeftAsItWas) {
    SKIP_WITHOUT_PYTHON_DOCX();
    struct Case {
        const char* name;
        QByteArray bytes;  // the document's content; empty: made by python-docx
        QString other;     // a file beside it
        QString reason;    // in the status line
    };
    const Case cases[] = {
        {"open in Word", {}, "~$report.docx", "~$report.docx"},
        {"open in LibreOffice", {}, ".~lock.report.docx#", ".~lock.report.docx#"},
        {"text named .docx", "just some text\r\n", {}, "is not a document (.docx)"},
        {"cut-off document", "PK\x03\x04\x14\x00\x00\x00", {}, "is not a document (.docx)"},
    };
    for (const bool fromList : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (fromList ? " in a list" : ""));
            const QString path = document("report.docx");
            if (!c.bytes.isEmpty()) touch(path, c.bytes);
            if (!c.other.isEmpty()) touch(out + "/" + c.other, "lock");
            const auto before = folderSnapshot(out);
            options(true, true, true);
            fakes.shell.calls.clear();
            fakes.ui.beeps = 0;
            fakes.dialogs.clearShown();
            window->m_batchSend = fromList;
            send();
            window->m_batchSend = false;
            EXPECT_TRUE(status().startsWith("Data not sent to Word: ")) << status().toStdString();
            EXPECT_TRUE(status().contains(path)) << status().toStdString();
            EXPECT_TRUE(status().contains(c.reason)) << status().toStdString();
            EXPECT_EQ(fakes.ui.beeps, 1);
            EXPECT_TRUE(fakes.shell.calls.empty()) << "nothing to show";
            EXPECT_TRUE(!fromList || fakes.dialogs.messageTexts().isEmpty())
                << "a list asks nobody";
            EXPECT_TRUE(folderSnapshot(out) == before) << "every file as it was";
            if (!c.other.isEmpty()) QFile::remove(out + "/" + c.other);
        }
    }
}

}  // namespace
