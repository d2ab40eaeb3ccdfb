// SPDX-License-Identifier: GPL-3.0-or-later
// Sources that cannot be read exactly are refused whole, saying where and why: a malformed
// text file, a file too large, a workbook cell whose shown text is not known, a sheet or table
// that is not there, a database locked by another program.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>

#include "office/office_files.h"
#include "office/xlsx_workbook.h"
#include "platform/xlsx_openpyxl.h"
#include "support/files.h"
#include "writeback/database_table.h"
#include "writeback/delimited_file.h"
#include "writeback/workbook_sheet.h"

namespace {

class RefusalsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return scratch.filePath(name); }
    // The refusal `result` carries; a failure when it is none.
    static QString refusalOf(const core::Result<writeback::EditTable>& result) {
        EXPECT_FALSE(result.ok()) << "read as a table";
        return result.ok() ? QString() : result.error().description;
    }
    QTemporaryDir scratch;
};

TEST_F(RefusalsTest, MalformedTextNamesItsLine) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString refusal;
    } cases[] = {
        {"more values than names", "DRAWING_NAME,TITLE\nA.dxf,x\nB.dxf,Pump, left\n",
         "parts.csv, line 3: more values than the header has names (2)."},
        {"a quote left open",
         "DRAWING_NAME,TITLE\r\nA.dxf,\"two\r\nlines\"\r\nB.dxf,\"open\r\nC.dxf,x\r\n",
         "parts.csv, line 4: the quoted value that starts there has no closing quote."},
        {"text after a closing quote", "DRAWING_NAME;TITLE\nA.dxf;\"3/4\" valve\"\n",
         "parts.csv, line 2: text after the closing quote of a value; a quote inside a quoted "
         "value is doubled (\"\")."},
        {"an empty file", "", "parts.csv is empty: it has no header line."},
        {"blank lines only", "\r\n \t\r\n\n", "parts.csv is empty: it has no header line."},
        {"a line of another form among record lines", "'DRAWING_NAME','TITLE'\n'A','x'\nB,y\n",
         "parts.csv, line 3: not a record line in single quotes ('A','B') as the header is."},
        {"a record line with a value too many", "'DRAWING_NAME','TITLE'\n'A','x','y'\n",
         "parts.csv, line 2: more values than the header has names (2)."},
        {"space-delimited records", "DRAWING_NAME  TITLE\nA.DXF  x\n",
         "parts.csv, line 1: the names are separated by blanks only; space-delimited records "
         "cannot be read back. Send them comma-delimited."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testfiles::write(path("parts.csv"), c.bytes));
        EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("parts.csv"))), c.refusal);
    }
}

TEST_F(RefusalsTest, TextFileThatCannotBeReadOrIsTooLarge) {
    QFile large(path("large.csv"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(writeback::kMaxTextFileBytes + 1));  // sparse: nothing is written
    large.close();
    EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("large.csv"))),
              "large.csv is larger than 64 MB, the most a source of edited values may have.");
    EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("gone.csv"))),
              "gone.csv cannot be read: No such file or directory.");
    ASSERT_TRUE(QDir(scratch.path()).mkdir("folder.csv"));
    EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("folder.csv"))),
              "folder.csv cannot be read: Is a directory.");
    if (::geteuid() != 0) {  // the administrator reads everything
        ASSERT_TRUE(testfiles::write(path("secret.csv"), "DRAWING_NAME,TITLE\n"));
        ASSERT_TRUE(QFile::setPermissions(path("secret.csv"), QFile::WriteOwner));
        EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("secret.csv"))),
                  "secret.csv cannot be read: Permission denied.");
    }
    if (QProcess::execute("mkfifo", {path("pipe.csv")}) == 0) {
        EXPECT_EQ(refusalOf(writeback::readDelimitedFile(path("pipe.csv"))),
                  "pipe.csv cannot be read: not a regular file but a named pipe.");
    }
}

TEST_F(RefusalsTest, WorkbookSheetThatIsNotThereOrNotAWorkbook) {
    ASSERT_TRUE(office::xlsx::XlsxWorkbook::create(path("book.xlsx"), u'.').ok());
    ASSERT_TRUE(testfiles::write(path("text.xlsx"), "DRAWING_NAME,TITLE\n"));
    EXPECT_EQ(refusalOf(writeback::readWorkbookSheet(path("book.xlsx"), "Parts")),
              "book.xlsx: the workbook has no sheet 'Parts' (its sheets: Sheet1).");
    EXPECT_EQ(refusalOf(writeback::readWorkbookSheet(path("book.xlsx"), "sheet1")),
              "book.xlsx, sheet Sheet1: the sheet is empty.");
    EXPECT_EQ(refusalOf(writeback::readWorkbookSheet(path("text.xlsx"), "Sheet1")),
              "The file '" + path("text.xlsx") + "' is not a workbook (.xlsx): Not a zip archive");
    EXPECT_EQ(refusalOf(writeback::readWorkbookSheet(path("gone.xlsx"), "Sheet1")),
              "Cannot find the workbook '" + path("gone.xlsx") + "'.");
}

TEST_F(RefusalsTest, WorkbookCellWhoseShownTextIsNotKnownNamesTheCell) {
    SKIP_WITHOUT_OPENPYXL();
    const struct {
        const char* name;
        const char* cell;  // openpyxl's lines on the sheet `ws`, below a header in row 1
        QString refusal;
    } cases[] = {
        {"a formula never calculated (openpyxl saves no results)", "ws['B3'] = '=1+1'",
         "book.xlsx, sheet Sheet, cell B3: a formula whose result was not saved with the "
         "workbook; open the workbook in a spreadsheet program and save it."},
        {"an error value", "ws['B2'] = '#REF!'",
         "book.xlsx, sheet Sheet, cell B2: it shows the error #REF!."},
        {"a number format not shown exactly",
         "ws['B2'] = 1234.5\nws['B2'].number_format = '0.0E+00'",
         "book.xlsx, sheet Sheet, cell B2: it shows its number in a format this program does not "
         "show exactly (0.0E+00); make the column General or Text."},
        {"a date before the first day", "ws['B2'] = -1\nws['B2'].number_format = 'yyyy-mm-dd'",
         "book.xlsx, sheet Sheet, cell B2: it shows its number in a format this program does not "
         "show exactly (yyyy-mm-dd); make the column General or Text."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(runPython(QStringLiteral("import sys, openpyxl\nwb = openpyxl.Workbook()\n"
                                           "ws = wb.active\nws.append(['DRAWING_NAME', 'TITLE'])\n"
                                           "ws.append(['A.dxf', 'x'])\n%1\nwb.save(sys.argv[1])")
                                .arg(c.cell),
                            {path("book.xlsx")}),
                  "");
        EXPECT_EQ(refusalOf(writeback::readWorkbookSheet(path("book.xlsx"), "Sheet")), c.refusal);
    }
}

TEST_F(RefusalsTest, DatabaseTableThatCannotBeRead) {
    const QString db = path("parts.db");
    ASSERT_EQ(sqliteOutput(db,
                           "CREATE TABLE Parts (DRAWING_NAME TEXT, TITLE);"
                           "INSERT INTO Parts VALUES ('A.dxf', 'x');"
                           "CREATE TABLE Pictures (DRAWING_NAME TEXT, TITLE);"
                           "INSERT INTO Pictures VALUES ('A.dxf', 'x'), ('B.dxf', X'00FF');"),
              "");
    ASSERT_TRUE(testfiles::write(path("text.db"), "DRAWING_NAME,TITLE\n"));
    EXPECT_EQ(refusalOf(writeback::readDatabaseTable(db, "Tags")),
              "parts.db: the database has no table 'Tags' (its tables: Parts, Pictures).");
    EXPECT_EQ(refusalOf(writeback::readDatabaseTable(db, "pictures")),
              "parts.db, table Pictures, row 2, column TITLE: a value of bytes, not text.");
    EXPECT_EQ(refusalOf(writeback::readDatabaseTable(path("text.db"), "Parts")),
              "text.db cannot be read (file is not a database).");
    EXPECT_EQ(refusalOf(writeback::readDatabaseTable(path("gone.db"), "Parts")),
              "gone.db cannot be found: " + path("gone.db") + ".");
    EXPECT_FALSE(QFile::exists(path("gone.db"))) << "no database made of a missing file";

    // Another program writing the database holds it locked.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(refusalOf(writeback::readDatabaseTable(db, "Parts")),
              "parts.db is locked by another program; try again when it is done (database is "
              "locked).");
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    const auto table = writeback::readDatabaseTable(db, "Parts");
    ASSERT_TRUE(table.ok()) << table.error().description.toStdString();
    EXPECT_EQ(table.value().rows, std::vector<QStringList>({{"A.dxf", "x"}}));
}

}  // namespace
