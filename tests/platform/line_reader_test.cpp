// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include "scratch_folder.h"

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

TEST(LineReader, ReadsFilesWithMixedLineEnds) {
    ScratchFolder scratch;
    EXPECT_EQ(readAll(scratch.writeFile("mixed.txt", "one\r\ntwo\rthree\nfour")),
              QStringList({"one", "two", "three", "four"}));
    EXPECT_EQ(readAll(scratch.writeFile("crlf.txt", "one\r\n\r\ntwo\r\n")),
              QStringList({"one", "", "two"}));
    EXPECT_EQ(readAll(scratch.writeFile("empty.txt", "")), QStringList());
    EXPECT_EQ(readAll(scratch.writeFile("blank.txt", "\n")), QStringList({""}));
    EXPECT_EQ(readAll(scratch.writeFile("bom.txt",
                                        "\xEF\xBB\xBF"
                                        "DWG\r\nTAG\r\n")),
              QStringList({"DWG", "TAG"}));
    EXPECT_EQ(readAll(scratch.writeFile("cp1252.txt",
                                        "Stra\xDF"
                                        "e\r\n\x80 5\r\n")),
              QStringList({QString::fromUtf8("Straße"), QString::fromUtf8("€ 5")}));
}

TEST(LineReader, FailsOnUnreadableFilesAndStartsAfreshOnReopen) {
    ScratchFolder scratch;
    platform::LineReader reader;
    EXPECT_FALSE(reader.open(scratch.path("missing.txt")));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.open(scratch.path()));  // a folder is no text file

    ASSERT_TRUE(reader.open(scratch.writeFile("a.txt", "a1\na2\n")));
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

}  // namespace
