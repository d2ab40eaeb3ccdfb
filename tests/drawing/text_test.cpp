// SPDX-License-Identifier: GPL-3.0-or-later
// Text values: code pages, escapes, mislabelled files and multiline attributes.

#include <gtest/gtest.h>

#include "drawing/mtext_plain.h"
#include "drawing/text_decoder.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

QStringList attributeTexts(const QString& fixture) {
    QStringList texts;
    for (const auto& reference : select(readOrFail(fixturePath(fixture)))) {
        const auto attributes = reference->attributes().value();
        for (const auto& attribute : attributes) texts << attribute->value().value();
    }
    return texts;
}

TEST(DrawingText, FilesInTheirCodePagesAndMultilineAttributes) {
    const std::pair<QString, QStringList> files[] = {
        // 1251 with a character outside it written as \U+4E2D.
        {u"codepage_1251_R2000.dxf"_qs, {u"Привет 中"_qs}},
        {u"codepage_932_R2000.dxf"_qs, {u"日本語テキスト"_qs}},
        {u"utf8_R2018.dxf"_qs, {u"Ελληνικά ✓"_qs}},
        // \M+ (Shift-JIS bytes) and \U+ escapes; %%c stays as written.
        {u"mbcs_escapes_R2000.dxf"_qs, {u"日本 été %%c50"_qs}},
        // Labelled 1252 but UTF-8; the next value really is 1252.
        {u"mislabelled_utf8_R2000.dxf"_qs, {u"Straße Ø 5"_qs, u"Größe"_qs}},
        // Several chunks (groups 3 and 1) joined, formatting removed, \P as one blank.
        {u"multiline_attribute_R2018.dxf"_qs,
         {u"First line Bold second third 1/2 end "_qs + QString(300, u'x') + u" Ä \\ done"_qs,
          u"plain %%d text"_qs}},
    };
    for (const auto& [file, texts] : files)
        EXPECT_EQ(attributeTexts(file), texts) << file.toStdString();
    // The layer name is decoded too.
    EXPECT_EQ(select(readOrFail(fixturePath(u"codepage_1251_R2000.dxf"_qs)))[0]->layer().value(),
              u"Слой"_qs);
}

TEST(DrawingText, DecoderRules) {
    TextDecoder decoder;
    EXPECT_EQ(decoder.decode("plain"), u"plain"_qs);
    // Without a code page: Windows-1252, not Latin-1 (0x80 is the euro sign).
    EXPECT_EQ(decoder.decode("\x80 \xE9"), u"€ é"_qs);
    decoder.setCodePage("ANSI_1250");
    EXPECT_EQ(decoder.decode("\x8A\xE8"), u"Šč"_qs);
    decoder.setCodePage("ansi_1253");
    EXPECT_EQ(decoder.decode("\xE1\xE2"), u"αβ"_qs);
    decoder.setCodePage("ANSI_874");
    EXPECT_EQ(decoder.decode("\xA1"), u"ก"_qs);
    // An unknown code page reads as 1252.
    decoder.setCodePage("ANSI_9999");
    EXPECT_EQ(decoder.decode("\x80"), u"€"_qs);
    // Escapes: both cases, malformed ones kept; a backslash alone is text in single-line text.
    EXPECT_EQ(decoder.decode("a\\U+0041\\u+00e9 \\U+12 \\M+5B0A1 c:\\dir"),
              u"aAé \\U+12 啊 c:\\dir"_qs);
    // A line end inside a value (binary files can hold one) becomes a blank.
    EXPECT_EQ(decoder.decode("a\nb\r\nc"), u"a b  c"_qs);
}

TEST(DrawingText, MultilineFormattingCodes) {
    TextDecoder decoder;
    EXPECT_EQ(decoder.decodeMText("{\\H2.5x;\\C1;Red} \\Lunder\\l \\Oover\\o \\Kstrike\\k"),
              u"Red under over strike"_qs);
    EXPECT_EQ(decoder.decodeMText("a\\Pb\\P\\Pc"), u"a b  c"_qs);
    EXPECT_EQ(decoder.decodeMText("\\pxi-3,l3;\\A1;\\T1.1;\\Q15;\\W0.8;x\\~y"), u"x y"_qs);
    EXPECT_EQ(decoder.decodeMText("\\S3#4; \\S^2; \\\\ \\{ \\}"), u"3/4 /2 \\ { }"_qs);
    EXPECT_EQ(decoder.decodeMText("\\fArial|b0|i0|c0|p34;\\U+00C4^Jend"), u"Ä end"_qs);
    // Unterminated codes do not run past the end.
    EXPECT_EQ(decoder.decodeMText("x\\H2.5"), u"x"_qs);
    EXPECT_EQ(decoder.decodeMText("x\\"), u"x\\"_qs);
    EXPECT_EQ(decoder.decodeMText("x\\S1^2"), u"x1/2"_qs);
}

TEST(DrawingText, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8("plain ascii text, long enough for the 8-byte path"));
    EXPECT_TRUE(isValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC3"));              // truncated
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(
        isValidUtf8("Gr\xF6\xDF"
                    "e"));  // Windows-1252
}

}  // namespace
}  // namespace drawing::test
