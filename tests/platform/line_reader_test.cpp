// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

#include "scratch_folder.h"
#include "support/named_pipe.h"

namespace {

using platform::decodeText;
using platform::splitLines;

QStringList readAll(const QString& path) {
    platform::LineReader reader;
    EXPECT_TRUE(reader.open(path));
    QStringList lines;
    QString line;
    while (reader.readLine(line)) lines.append(line);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.readLine(line));
    return lines;
}

TEST(SplitLines, EndsLinesAtCrLfLoneCrAndLoneLf) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(splitLines("a\n\nb\n"), QStringList({"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n\r"), QStringList({"a", ""}));  // LF CR is two line ends
    EXPECT_EQ(splitLines("a\r\r\n"), QStringList({"a", ""}));
    EXPECT_EQ(splitLines("\r\n"), QStringList({""}));
    EXPECT_EQ(splitLines(""), QStringList());
    EXPECT_EQ(splitLines("no end"), QStringList({"no end"}));
    EXPECT_EQ(splitLines("tab\tand\fform feed"), QStringList({"tab\tand\fform feed"}));
}

TEST(DecodeText, ReadsUtf8AndFallsBackToWindows1252) {
    EXPECT_EQ(decodeText("plain"), "plain");
    EXPECT_EQ(decodeText("\xC3\x84rger \xE2\x82\xAC"), QString::fromUtf8("Ärger €"));
    EXPECT_EQ(decodeText("\xEF\xBB\xBFwith mark"), "with mark");
    EXPECT_EQ(decodeText("\xEF\xBB\xBF"), "");
    // A lone high byte is not UTF-8: the whole text is Windows-1252.
    EXPECT_EQ(decodeText("\xC4rger \x80 \xE9\xE8 \x93q\x94"), QString::fromUtf8("Ärger € éè “q”"));
    // One bad byte anywhere decides for the whole text, also for the valid UTF-8 before it.
    EXPECT_EQ(decodeText("\xC3\xA9 \xE9"), QString::fromUtf8("Ã© é"));
    // The mark is dropped even when the rest is Windows-1252.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xE9"), QString::fromUtf8("é"));
}

TEST(DecodeText, ReadsTheUnicodeFormsAByteOrderMarkAnnounces) {
    const QString text = QString::fromUtf8("END\r\n\u00c4 \u20ac \U0001F600");
    struct Case {
        const char* name;
        QStringConverter::Encoding encoding;
        QByteArray mark;
    };
    const Case cases[] = {{"UTF-16LE", QStringConverter::Utf16LE, "\xFF\xFE"},
                          {"UTF-16BE", QStringConverter::Utf16BE, "\xFE\xFF"},
                          {"UTF-32LE", QStringConverter::Utf32LE, QByteArray("\xFF\xFE\0\0", 4)},
                          {"UTF-32BE", QStringConverter::Utf32BE, QByteArray("\0\0\xFE\xFF", 4)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray body = QStringEncoder(c.encoding).encode(text);
        EXPECT_EQ(decodeText(c.mark + body), text);
        EXPECT_EQ(decodeText(c.mark), "");
        // A cut-off last unit is dropped; what comes before it stays.
        EXPECT_EQ(decodeText(c.mark + body + body.left(1)), text);
    }
    // A lone surrogate does not end the text: what follows it is read on.
    const QString broken =
        decodeText(QByteArray("\xFF\xFE"
                              "a\0\x00\xD8"
                              "b\0",
                              8));
    EXPECT_TRUE(broken.size() == 3 && broken.startsWith('a') && broken.endsWith('b'));
    // Without a mark, NUL bytes are text like any other: no guess at UTF-16.
    EXPECT_EQ(decodeText(QByteArray("E\0N\0", 4)).size(), 4);
}

TEST(DecodeText, MapsEveryWindows1252Byte) {
    QByteArray all;
    for (int b = 0x80; b <= 0xFF; ++b) all.append(static_cast<char>(b));
    const QString text = decodeText(all);
    ASSERT_EQ(text.size(), 128);
    const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(text[i].unicode(), high[i]) << "byte 0x" << std::hex << 0x80 + i;
    for (int b = 0xA0; b <= 0xFF; ++b) EXPECT_EQ(text[b - 0x80].unicode(), b);
}

TEST(DecodeText, RejectsMalformedUtf8) {
    const char* const malformed[] = {
        "\xC0\xAF",          // overlong "/"
        "\xE0\x80\xAF",      // overlong, three bytes
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xF5\x80\x80\x80",  // invalid lead byte
        "\xE2\x82",          // truncated at the end
        "\xE2\x82x",         // truncated in the middle
        "\xBF",              // lone continuation byte
    };
    for (const char* bytes : malformed) {
        const QByteArray raw(bytes);
        EXPECT_EQ(decodeText(raw).size(), raw.size()) << "decoded as UTF-8: " << bytes;
    }
    EXPECT_EQ(decodeText("\xF0\x9F\x98\x80").size(), 2);  // one astral character, two units
    EXPECT_EQ(decodeText("\xF4\x8F\xBF\xBF").size(), 2);  // U+10FFFF
    EXPECT_EQ(decodeText(QByteArray("a\0b", 3)), QStringView(u"a\0b", 3).toString());
}

// How line ends split and bytes decode is shown above; a file goes through both.
TEST(LineReader, ReadsFilesWithMixedLineEndsInAnyEncoding) {
    ScratchFolder scratch;
    // A list saved as Unicode by a Windows editor.
    const QByteArray utf16 =
        "\xFF\xFE" +
        QStringEncoder(QStringConverter::Utf16LE).encode(QString::fromUtf8("DWG\r\nPl\u00e4ne\n"));
    const std::pair<QByteArray, QStringList> cases[] = {
        {"one\r\ntwo\rthree\n\nfour", {"one", "two", "three", "", "four"}},
        {"", {}},
        {"Ma\xDF\r\n\x80 5\r", {QString::fromUtf8("Maß"), QString::fromUtf8("€ 5")}},
        {utf16, {"DWG", QString::fromUtf8("Pl\u00e4ne")}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(readAll(scratch.writeFile("list.txt", bytes)), lines) << bytes.toStdString();
    }
}

TEST(LineReader, FailsOnUnreadableFilesAndStartsAfreshOnReopen) {
    ScratchFolder scratch;
    platform::LineReader reader;
    EXPECT_FALSE(reader.open(scratch.path("missing.txt")));
    EXPECT_TRUE(reader.atEnd());

    ASSERT_TRUE(reader.open(scratch.writeFile("a.txt", "a1\na2\n")));
    EXPECT_TRUE(reader.errorString().isEmpty());
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, "a1");
    ASSERT_TRUE(reader.open(scratch.writeFile("b.txt", "b1")));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(line, "b1");
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(line, "b1");

    EXPECT_FALSE(reader.open(scratch.path("missing.txt")));
    EXPECT_FALSE(reader.readLine(line));  // nothing left over from the previous file
}

// Only regular files are read, and no more of them than the limit: a device would be read until
// memory runs out, a pipe nobody writes to would block for ever, a crafted file could be huge.
TEST(LineReader, RefusesWhatIsNoRegularFileAndFilesOverTheLimit) {
    ScratchFolder scratch;
    const NamedPipe pipe(scratch.path("pipe.dlf"));
    ASSERT_TRUE(pipe.isValid());
    const platform::ReadLimit limit{64, "a test file"};
    const QByteArray atLimit(64, 'x');
    struct Case {
        QString path;
        platform::ReadLimit limit;
        const char* reason;  // empty: read
    };
    const Case cases[] = {
        {scratch.path("pipe.dlf"), {}, "not a regular file but a named pipe"},
        {"/dev/null", {}, "not a regular file but a device"},
        {"/dev/zero", limit, "not a regular file but a device"},
        {scratch.path(), {}, "directory"},
        {scratch.writeFile("at.txt", atLimit), limit, ""},
        {scratch.writeFile("over.txt", atLimit + "\n"), limit,
         "larger than 64 bytes, the most a test file may have"},
        {scratch.writeFile("big.txt", atLimit + "\n"), {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        platform::LineReader reader;
        const bool read = reader.open(c.path, c.limit);
        EXPECT_EQ(read, *c.reason == '\0');
        EXPECT_TRUE(reader.errorString().contains(c.reason)) << reader.errorString().toStdString();
        QString line;
        if (!read) {
            EXPECT_FALSE(reader.readLine(line));
        }
    }
}

}  // namespace
