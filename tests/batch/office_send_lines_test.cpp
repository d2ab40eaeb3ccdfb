// SPDX-License-Identifier: GPL-3.0-or-later
// List files whose send lines go to a database, a workbook or a document: a real drawing, real
// files, read back with the sqlite3 program, openpyxl and python-docx.

#include "drawing/drawing_file_reader.h"
#include "mainwindow/main_window_fixture.h"
#include "office/docx_python.h"
#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "platform/xlsx_openpyxl.h"
#include "records/record_list_model.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class OfficeSendLinesTest : public MainWindowTest {
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
        window->readerFactory = drawing::drawingFileReaderFactory();
        window->endProgram = [](int) {};
        window->office.openDatabase = office::openSqliteDatabase;
        window->office.startSpreadsheet = [this](const QString&) {
            return office::startXlsxSpreadsheet(out);
        };
        window->office.startWordProcessor = [this](const QString&) {
            return office::startDocxWordProcessor(window->m_documentFolder);
        };
    }
    // Runs a list file: no drawing name in the records, one drawing, then `sendLine`.
    void runList(const QString& sendLine) {
        runListFile("NODWGNAME\r\n" + appDir.filePath("proj/A.dwg") + "," +
                    appDir.filePath("proj/title.txt") + "\r\n" + sendLine + "\r\n");
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

TEST_F(OfficeSendLinesTest, AccessLineThatFailsKeepsTheTablesRows) {
    // The records start with the block name, which no INTEGER column takes.
    const QString db = out + "/parts.db";
    ASSERT_EQ(
        sqliteOutput(db,
                     "CREATE TABLE TITLES (N INTEGER, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV "
                     "TEXT); INSERT INTO TITLES VALUES (1, 'old', 'D-1', 'kept', 'A');"),
        "");
    runList("EXTRACT TO ACCESS " + db + ",TITLES");
    EXPECT_EQ(window->records->count(), 1);
    EXPECT_EQ(status(), "Data not sent to Access: field N: Data type conversion error.");
    EXPECT_TRUE(fakes.dialogs.messageTexts().isEmpty()) << "a batch shows no field message";
    EXPECT_EQ(sqliteOutput(db, "SELECT * FROM TITLES"), "1|old|D-1|kept|A");
}

TEST_F(OfficeSendLinesTest, AccessLineFindsTheTableInAnyLetterCase) {
    const QString db = out + "/parts.db";
    ASSERT_EQ(
        sqliteOutput(db,
                     "CREATE TABLE Titles (BLOCK TEXT, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV "
                     "TEXT); INSERT INTO Titles VALUES ('old', '', '', '', '');"),
        "");
    runList("EXTRACT TO ACCESS " + db + ",TITLES");
    EXPECT_EQ(status(), "Data sent to Access.");
    EXPECT_EQ(sqliteOutput(db, "SELECT BLOCK FROM Titles"), "TITLE") << "the old row replaced";
}

TEST_F(OfficeSendLinesTest, ExcelLineRowAndColumnTakeTheirLeadingNumber) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book = out + "/book.xlsx";
    ASSERT_EQ(runPython("import sys, openpyxl\nwb = openpyxl.Workbook()\n"
                        "wb.active['A1'] = 'first row'\nwb.save(sys.argv[1])",
                        {book}),
              "");
    runList("EXTRACT TO EXCEL " + book + ",SHEET,3ABC,2X");
    EXPECT_EQ(status(), "Data sent to Excel.");
    const QStringList cells = dumpWorkbook(book).split('\n');
    ASSERT_GE(cells.size(), 2);
    EXPECT_EQ(cells[0], "Sheet!A1 str 'first row'") << "the first row is not overwritten";
    EXPECT_EQ(cells[1], "Sheet!B3 str 'TITLE'") << "row 3, column 2";
}

TEST_F(OfficeSendLinesTest, WordLineAppendsATableWithItsHeadingRow) {
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

TEST_F(OfficeSendLinesTest, WordLineLinesAtTheStart) {
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

TEST_F(OfficeSendLinesTest, WordLineWithoutDocumentMakesANewOneInTheWordFolder) {
    SKIP_WITHOUT_PYTHON_DOCX();
    runList("EXTRACT TO WORD ");
    const QString made = out + "/Document1.docx";
    EXPECT_EQ(status(), "Data sent to Word. New document: " + made);
    const QString dump = dumpDocument(made);
    EXPECT_TRUE(dump.startsWith("page landscape")) << dump.toStdString();
    EXPECT_TRUE(fakes.shell.calls.empty());
}

}  // namespace
