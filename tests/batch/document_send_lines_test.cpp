// SPDX-License-Identifier: GPL-3.0-or-later
// List files whose send lines go to a .docx document: a real drawing, real documents, read back
// with python-docx.

#include <QDirIterator>
#include <QFile>
#include <map>

#include "drawing/reader_application.h"
#include "mainwindow/main_window_fixture.h"
#include "office/docx_python.h"
#include "office/docx_word_processor.h"
#include "platform/scratch_folder.h"
#include "records/record_list_model.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = ScratchFolder::readFile(path);
    }
    return files;
}

class DocumentSendLinesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        out = makeFolder("out");
        makeFolder("proj");
        ASSERT_TRUE(QFile::copy(kExamples + "/cooling-water.dxf", appDir.filePath("proj/A.dwg")));
        ASSERT_TRUE(QFile::copy(kExamples + "/titleblock.txt", appDir.filePath("proj/title.txt")));
        // New documents go into the Word folder, as the program starts its word processor.
        setOption("WPath", out);
        load();
        window->drawingApplication = drawing::readerApplicationFactory();
        window->endProgram = [] {};
        window->office.startWordProcessor = [this] {
            return office::startDocxWordProcessor(window->m_documentFolder);
        };
    }
    // Runs a list file: no drawing name in the records, one drawing, then `sendLine`.
    void runList(const QString& sendLine) {
        const QString path = appDir.filePath("run.dlf");
        touch(path, ("NODWGNAME\r\n" + appDir.filePath("proj/A.dwg") + "," +
                     appDir.filePath("proj/title.txt") + "\r\n" + sendLine + "\r\n")
                        .toUtf8());
        window->m_commandLine = path;
        window->runDrawingListFile();
    }
    // A portrait document with one paragraph, made by python-docx.
    QString document(const QString& name) {
        const QString path = out + "/" + name;
        EXPECT_EQ(runPython("import sys, docx\nd = docx.Document()\n"
                            "d.add_paragraph('Existing text')\nd.save(sys.argv[1])",
                            {path}),
                  QString());
        return path;
    }
    QString status() const { return window->statusLabel->text(); }

    QString out;
};

TEST_F(DocumentSendLinesTest, WordLineAppendsATableWithItsHeadingRow) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString path = document("report.docx");
    // The name in another letter case finds the document.
    runList("EXTRACT TO WORD " + out + "/REPORT.DOCX,APPEND,TABLE,TAGS");
    EXPECT_EQ(window->records->count(), 1);
    EXPECT_EQ(status(), "Data sent to Word.");
    const QStringList dump = dumpDocument(path).split('\n');
    ASSERT_EQ(dump.size(), 6) << dump.join('\n').toStdString();
    EXPECT_TRUE(dump[0].startsWith("page landscape 15840 12240")) << dump[0].toStdString();
    EXPECT_EQ(dump[1], "P Existing text | None");
    EXPECT_EQ(dump[2], "T 2x5");
    EXPECT_TRUE(dump[3].startsWith("R HB ")) << "the tags are the heading row";
    EXPECT_TRUE(dump[4].startsWith("R -- TITLE|")) << dump[4].toStdString();
    EXPECT_EQ(dump[5], "P  |");
    EXPECT_TRUE(fakes.shell.calls.empty()) << "a list opens nothing for the user";
    EXPECT_TRUE(fakes.dialogs.messageTexts().isEmpty());
}

TEST_F(DocumentSendLinesTest, WordLineLinesAtTheStart) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString path = document("report.docx");
    runList("EXTRACT TO WORD " + path + ",,");
    EXPECT_EQ(status(), "Data sent to Word.");
    const QStringList dump = dumpDocument(path).split('\n');
    ASSERT_EQ(dump.size(), 3) << dump.join('\n').toStdString();
    EXPECT_TRUE(dump[1].startsWith("P TITLE,")) << "no tags, lines, before the text";
    EXPECT_TRUE(dump[1].endsWith(" | 8.0")) << dump[1].toStdString();
    EXPECT_EQ(dump[2], "P Existing text | None");
}

TEST_F(DocumentSendLinesTest, WordLineWithoutDocumentMakesANewOneInTheWordFolder) {
    SKIP_WITHOUT_PYTHON_DOCX();
    runList("EXTRACT TO WORD ");
    const QString made = out + "/Document1.docx";
    EXPECT_EQ(status(), "Data sent to Word. New document: " + made);
    const QString dump = dumpDocument(made);
    EXPECT_TRUE(dump.startsWith("page landscape")) << dump.toStdString();
    EXPECT_TRUE(fakes.shell.calls.empty());
}

TEST_F(DocumentSendLinesTest, WordLineToADocumentThatCannotBeWrittenLeavesIt) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const QString locked = document("locked.docx");
    touch(out + "/~$locked.docx", "owner");
    const QString text = out + "/notes.docx";
    touch(text, "just some text\r\n");
    const std::pair<QString, QString> cases[] = {
        {locked, "~$locked.docx"},
        {text, "is not a document (.docx)"},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        const auto before = snapshot(out);
        runList("EXTRACT TO WORD " + path + ",APPEND,TABLE,TAGS");
        EXPECT_TRUE(status().startsWith("Data not sent to Word: ")) << status().toStdString();
        EXPECT_TRUE(status().contains(reason)) << status().toStdString();
        EXPECT_TRUE(snapshot(out) == before) << "every file as it was";
        EXPECT_TRUE(fakes.dialogs.messageTexts().isEmpty()) << "a list asks nobody";
    }
}

}  // namespace
