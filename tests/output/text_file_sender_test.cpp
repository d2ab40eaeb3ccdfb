// SPDX-License-Identifier: GPL-3.0-or-later
// Records as lines: in a text file (CSV quotes when its name ends in .csv) or on the clipboard.

#include "output/sender_fixture.h"
#include "platform/xlsx_openpyxl.h"

namespace {

using output::Destination;
using TextFileSenderTest = SenderTest;

TEST_F(TextFileSenderTest, LinesHoldHeaderAndRecordsInTheirFormat) {
    const QByteArray lines = "'TAG','VAL'\r\n'A','1'\r\n'B','2'\r\n";
    const struct {
        const char* file;  // none: the clipboard
        bool tags;
        bool append;  // sent twice: a second header follows the first records
        QByteArray expected;
        QString clipboardStatus;
    } cases[] = {
        {"out.txt", true, false, lines, ""},
        {"out.CSV", true, false, "\"TAG\",\"VAL\"\r\n\"A\",\"1\"\r\n\"B\",\"2\"\r\n", ""},
        {"log.txt", true, true, lines + lines, ""},
        {"bare.txt", false, false, "'A','1'\r\n'B','2'\r\n", ""},
        {nullptr, false, false, "'A','1'\r\n'B','2'\r\n", "18 bytes copied to the clipboard."},
        {nullptr, true, false, lines, "31 bytes copied to the clipboard."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "clipboard");
        auto request = c.file ? to(Destination::TextFile, c.file) : to(Destination::Clipboard);
        request.tags = c.tags;
        request.append = c.append;
        if (c.append) send(request);
        const output::SendResult result = send(request);
        EXPECT_TRUE(result.ok);
        if (c.file) {
            EXPECT_EQ(result.status, "File " + path(c.file) + " saved.");
            EXPECT_EQ(testfiles::read(path(c.file)), c.expected);
        } else {
            EXPECT_EQ(result.status, c.clipboardStatus);
            EXPECT_EQ(fakes.clipboard.text().toUtf8(), c.expected);
        }
    }
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(TextFileSenderTest, FileInAFolderThatIsNotThereIsNotSaved) {
    const auto request = to(Destination::TextFile, "missing-folder/parts.txt");
    const output::SendResult result = send(request);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.status.startsWith("File " + request.file + " not saved: "))
        << result.status.toStdString();
    EXPECT_FALSE(QFile::exists(request.file));
}

TEST_F(TextFileSenderTest, CsvReadsBackThroughPythonsCsvModule) {
    if (!QFile::exists(kSystemPython)) GTEST_SKIP() << "no " << kSystemPython.toStdString();
    records = {
        {QString::fromUtf8("'3/4\" VALVE','a, b','Größe ✓'"), "'24\" PIPE','plain',''"}, {}, 4};
    ASSERT_TRUE(send(to(Destination::TextFile, "values.csv")).ok);
    EXPECT_EQ(runPython("import csv,sys,json\n"
                        "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='utf-8')))\n"
                        "print(json.dumps(rows,ensure_ascii=True))",
                        {path("values.csv")})
                  .trimmed(),
              "[[\"3/4\\\" VALVE\", \"a, b\", \"Gr\\u00f6\\u00dfe \\u2713\"], "
              "[\"24\\\" PIPE\", \"plain\", \"\"]]");
}

}  // namespace
