// SPDX-License-Identifier: GPL-3.0-or-later
// List files whose send lines go to a database or a workbook: real drawings, real files, read
// back with the sqlite3 program and openpyxl.

#include <QProcess>

#include "drawing/reader_application.h"
#include "mainwindow/main_window_fixture.h"
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
        load();
        window->drawingApplication = drawing::readerApplicationFactory();
        window->endProgram = [] {};
        window->office.openDatabase = office::openSqliteDatabase;
        window->office.startSpreadsheet = [this] { return office::startXlsxSpreadsheet(out); };
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
    static QString sql(const QString& path, const QString& statements) {
        QProcess cli;
        cli.start("sqlite3", {path, statements});
        if (!cli.waitForFinished(10000)) return QStringLiteral("sqlite3 did not answer");
        return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError())
            .trimmed();
    }

    QString out;
};

TEST_F(OfficeSendLinesTest, AccessLineThatFailsKeepsTheTablesRows) {
    // The records start with the block name, which no INTEGER column takes.
    const QString db = out + "/parts.db";
    ASSERT_EQ(sql(db,
                  "CREATE TABLE TITLES (N INTEGER, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV "
                  "TEXT); INSERT INTO TITLES VALUES (1, 'old', 'D-1', 'kept', 'A');"),
              "");
    runList("EXTRACT TO ACCESS " + db + ",TITLES");
    EXPECT_EQ(window->records->count(), 1);
    EXPECT_EQ(window->statusLabel->text(),
              "Data not sent to Access: field N: Data type conversion error.");
    EXPECT_TRUE(fakes.dialogs.messageTexts().isEmpty()) << "a batch shows no field message";
    EXPECT_EQ(sql(db, "SELECT * FROM TITLES"), "1|old|D-1|kept|A");
}

TEST_F(OfficeSendLinesTest, AccessLineFindsTheTableInAnyLetterCase) {
    const QString db = out + "/parts.db";
    ASSERT_EQ(sql(db,
                  "CREATE TABLE Titles (BLOCK TEXT, HANDLE TEXT, DWGNO TEXT, TITLE TEXT, REV "
                  "TEXT); INSERT INTO Titles VALUES ('old', '', '', '', '');"),
              "");
    runList("EXTRACT TO ACCESS " + db + ",TITLES");
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Access.");
    EXPECT_EQ(sql(db, "SELECT BLOCK FROM Titles"), "TITLE") << "the old row replaced";
}

TEST_F(OfficeSendLinesTest, ExcelLineRowAndColumnTakeTheirLeadingNumber) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book = out + "/book.xlsx";
    ASSERT_EQ(runPython("import sys, openpyxl\nwb = openpyxl.Workbook()\n"
                        "wb.active['A1'] = 'first row'\nwb.save(sys.argv[1])",
                        {book}),
              "");
    runList("EXTRACT TO EXCEL " + book + ",SHEET,3ABC,2X");
    EXPECT_EQ(window->statusLabel->text(), "Data sent to Excel.");
    const QStringList cells = dumpWorkbook(book).split('\n');
    ASSERT_GE(cells.size(), 2);
    EXPECT_EQ(cells[0], "Sheet!A1 str 'first row'") << "the first row is not overwritten";
    EXPECT_EQ(cells[1], "Sheet!B3 str 'TITLE'") << "row 3, column 2";
}

}  // namespace
