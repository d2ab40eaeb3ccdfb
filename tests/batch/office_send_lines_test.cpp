// SPDX-License-Identifier: GPL-3.0-or-later
// Send lines to a database, a workbook or a document, through the program's sender: a real
// drawing, real files, read back with the sqlite3 program, openpyxl and python-docx.

#include <functional>

#include "office/docx_python.h"
#include "office/office_files.h"
#include "platform/xlsx_openpyxl.h"
#include "runner_fixture.h"

namespace {

// A portrait document that takes a table too wide for it turns landscape.
const QString kLandscape = "page landscape 15840 12240 margins 1800 1440 1800 1440";

class OfficeSendLinesTest : public runnertest::RunnerTest {
protected:
    // A portrait document with one paragraph, made by python-docx.
    QString makeDocument(const QString& path) {
        return runPython(
            "import sys, docx\nd = docx.Document()\n"
            "d.add_paragraph('Existing text')\nd.save(sys.argv[1])",
            {path});
    }
};

TEST_F(OfficeSendLinesTest, EachOfficeDestinationGetsTheRunsRecords) {
    const QString db = out + "/parts.db";
    const QString otherDb = out + "/other.db";
    const QString book = out + "/book.xlsx";
    const QString report = out + "/report.docx";
    const QString made = out + "/Document1.docx";
    auto sql = [](const QString& path, const QString& statements) {
        return [=] { return sqliteOutput(path, statements); };
    };
    const struct {
        const char* name;
        bool (*available)();               // the reader of the result is there
        std::function<QString()> prepare;  // its output: empty when it went well
        QString sendLine;
        QString status;
        std::function<QString()> read;
        QStringList readBack;
    } cases[] = {
        // The records start with the block name, which no INTEGER column takes.
        {"a failed database send keeps the table's rows",
         nullptr,
         sql(db,
             "CREATE TABLE TITLES (N INTEGER, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV TEXT); "
             "INSERT INTO TITLES VALUES (1, 'old', 'D-1', 'kept', 'A');"),
         "EXTRACT TO ACCESS " + db + ",TITLES",
         "Data not sent to the database: field N: Data type conversion error.",
         sql(db, "SELECT * FROM TITLES"),
         {"1|old|D-1|kept|A"}},
        {"the table is found in any letter case; its old row replaced",
         nullptr,
         sql(otherDb,
             "CREATE TABLE Titles (BLOCK TEXT, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV TEXT); "
             "INSERT INTO Titles VALUES ('old', '', '', '', '');"),
         "EXTRACT TO ACCESS " + otherDb + ",TITLES",
         "Data sent to " + otherDb + ", table TITLES.",
         sql(otherDb, "SELECT BLOCK FROM Titles"),
         {"TITLE"}},
        {"a workbook gets the records from the line's row and column",
         haveOpenpyxl,
         [&] {
             return runPython(
                 "import sys, openpyxl\nwb = openpyxl.Workbook()\n"
                 "wb.active['A1'] = 'first row'\nwb.save(sys.argv[1])",
                 {book});
         },
         "EXTRACT TO EXCEL " + book + ",SHEET,3ABC,2X",
         "Data sent to " + book + ", sheet SHEET.",
         [&] { return dumpWorkbook(book); },
         {"Sheet!A1 str 'first row'", "Sheet!B3 str 'TITLE'", "Sheet!C3 int 63",
          "Sheet!D3 str 'PID-1001'", "Sheet!E3 str 'Cooling water circuit'", "Sheet!F3 str 'C'"}},
        {"a document named in another letter case gets a table with a heading row at its end",
         havePythonDocx,
         [&] { return makeDocument(report); },
         "EXTRACT TO WORD " + out + "/REPORT.DOCX,APPEND,TABLE,TAGS",
         "Data sent to " + report + ".",
         [&] { return dumpDocument(report); },
         {kLandscape, "P Existing text | None", "T 2x5",
          "R HB BLOCK_NAME|BLOCK_HANDLE|DWGNO|TITLE|REV",
          "R -- TITLE|63|PID-1001|Cooling water circuit|C", "P  |"}},
        {"lines without tags go before the document's text",
         havePythonDocx,
         [&] { return makeDocument(report); },
         "EXTRACT TO WORD " + report + ",,",
         "Data sent to " + report + ".",
         [&] { return dumpDocument(report); },
         {kLandscape, "P TITLE,63,PID-1001,Cooling water circuit,C | 8.0",
          "P Existing text | None"}},
        {"no document named: a new one in the request's folder",
         havePythonDocx,
         nullptr,
         "EXTRACT TO WORD ",
         "Data sent to the new document " + made + ".",
         [&] { return dumpDocument(made); },
         {"page landscape 16838 11906 margins 1417 1417 1417 1417",
          "P TITLE,63,PID-1001,Cooling water circuit,C | 8.0"}},
    };
    QStringList unread;
    runnertest::RealSender real;
    window.windowRequest.newFileFolder = out;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.available && !c.available()) {
            unread << c.name;
            continue;
        }
        if (c.prepare) {
            ASSERT_EQ(c.prepare(), "");
        }
        window.model.clear();
        window.statuses.clear();
        const auto result =
            run("NODWGNAME\r\n" + line(proj + "/A-101.dwg") + c.sendLine.toUtf8() + "\r\n",
                real.sender);
        const bool ok = !c.status.startsWith("Data not sent");
        EXPECT_EQ(window.statuses.last(), c.status);
        EXPECT_EQ(result.failedLines, ok ? 0 : 1);
        EXPECT_EQ(errLog().size(), ok ? 0 : 1);
        EXPECT_EQ(c.read().split('\n'), c.readBack);
        EXPECT_TRUE(real.dialogs.shown().empty()) << "a list asks nobody";
        EXPECT_TRUE(real.shell.calls.empty()) << "a list opens nothing for the user";
    }
    if (!unread.isEmpty()) GTEST_SKIP() << "not read back: " << unread.join("; ").toStdString();
}

}  // namespace
