// SPDX-License-Identifier: GPL-3.0-or-later
// What the workbook, database and document destinations refuse alike: a program that cannot be
// reached, a named file that is not there, records without fields, files without write
// permission. A refused send changes no file.

#include "output/sender_fixture.h"

namespace {

using output::Destination;
using OfficeSenderTest = SenderTest;

TEST_F(OfficeSenderTest, ProgramThatCannotBeReachedIsReported) {
    office = office::unavailableOffice();
    const QString noOffice = "429 : No office component is available in this program";
    const struct {
        Destination destination;
        bool fromList;  // a list leaves out the second message
        QString messages, status;
    } cases[] = {
        {Destination::Spreadsheet, true, noOffice, "Data not sent to the spreadsheet."},
        {Destination::Spreadsheet, false,
         noOffice + " | Error! Unable to establish link to the spreadsheet.",
         "Data not sent to the spreadsheet."},
        {Destination::Document, false,
         noOffice + " | Error! Unable to establish link to the document.",
         "Data not sent to the document."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages.toStdString());
        forgetWhatWasShown();
        auto request = to(c.destination);
        request.fromList = c.fromList;
        const output::SendResult result = send(request);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(fakes.dialogs.messageTexts().join(" | "), c.messages);
        EXPECT_EQ(fakes.ui.beeps, 1);
    }
}

TEST_F(OfficeSenderTest, NamedFileThatDoesNotExistIsRefusedAndNothingIsMade) {
    const std::pair<Destination, const char*> cases[] = {{Destination::Spreadsheet, "gone.xlsx"},
                                                         {Destination::Database, "gone.db"},
                                                         {Destination::Document, "gone.docx"}};
    for (const auto& [destination, name] : cases) {
        SCOPED_TRACE(name);
        forgetWhatWasShown();
        auto request = to(destination, name);
        request.table = "Tags";
        const output::SendResult result = send(request);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.status, "File '" + path(name) + "' does not exist.");
        EXPECT_EQ(fakes.ui.beeps, 1);
        EXPECT_TRUE(fakes.shell.calls.empty());
    }
    EXPECT_TRUE(folderSnapshot(out).empty()) << "nothing made";
}

TEST_F(OfficeSenderTest, SpaceDelimitedRecordsAreRefused) {
    ASSERT_EQ(sqliteOutput(path("parts.db"),
                           "CREATE TABLE Tags (TAG TEXT, VAL TEXT);"
                           "INSERT INTO Tags VALUES ('old', 'row');"),
              "");
    QDir(out).mkpath("documents");
    const auto made = office::startDocxWordProcessor(path("documents")).value()->AddDocument();
    ASSERT_TRUE(made.ok());
    auto database = to(Destination::Database, "parts.db");
    database.table = "Tags";
    database.fromList = true;  // the old rows would go without a question
    auto document = to(Destination::Document);
    document.file = made.value()->FullName().value();
    const std::pair<output::SendRequest, QString> destinations[] = {
        {database, "the database"},
        {to(Destination::Spreadsheet), "the spreadsheet"},  // a new workbook would be made
        {to(Destination::Document), "the document"},        // a new document would be made
        {document, "the document"},                         // its page would turn
    };
    const auto before = folderSnapshot(out);
    // Only space-delimited records (no field count), then a mixed selection.
    const output::SendRecords selections[] = {{{"A  1", "B  2"}, {}, 0},
                                              {{"'A','1'", "B  2"}, "'TAG','VAL'", 3}};
    for (const auto& selection : selections) {
        records = selection;
        for (const auto& [request, program] : destinations) {
            SCOPED_TRACE(selection.records.join(" | ").toStdString() + " to " +
                         request.file.toStdString());
            const output::SendResult result = send(request);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.status, "Data not sent to " + program +
                                         ": space-delimited records have no fields to send.");
        }
    }
    EXPECT_TRUE(folderSnapshot(out) == before) << "every file as it was, none made";
}

// Scripts and containers often run as root, whom permissions do not stop: a file without any
// write permission is refused by its write bits alone, by every destination that writes files,
// and keeps its bytes and its mode.
TEST_F(OfficeSenderTest, FilesWithoutWritePermissionAreRefusedAlsoForRoot) {
    touch("parts.txt", "old content\r\n");
    const auto book = office::startXlsxSpreadsheet(out).value()->AddWorkbook();
    const auto document = office::startDocxWordProcessor(out).value()->AddDocument();
    ASSERT_TRUE(book.ok() && document.ok());
    const struct {
        Destination destination;
        QString file;
        QString status;  // how it begins
    } cases[] = {
        {Destination::TextFile, path("parts.txt"), "File " + path("parts.txt") + " not saved: "},
        {Destination::Spreadsheet, book.value()->FullName().value(),
         "Data not sent to the spreadsheet: "},
        {Destination::Document, document.value()->FullName().value(),
         "Data not sent to the document: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        ASSERT_TRUE(
            QFile::setPermissions(c.file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const auto mode = QFile::permissions(c.file);
        const auto before = folderSnapshot(out);
        auto request = to(c.destination);
        request.file = c.file;
        request.fromList = true;
        const output::SendResult result = send(request);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.status.startsWith(c.status)) << result.status.toStdString();
        EXPECT_TRUE(result.status.contains("read-only")) << result.status.toStdString();
        EXPECT_TRUE(folderSnapshot(out) == before) << "the file as it was, nothing left beside it";
        EXPECT_EQ(QFile::permissions(c.file), mode);
    }
}

}  // namespace
