// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of DWG files up to R2004 are bytes in the drawing's own code page, which the file
// header names. The files are made from the samples: the code page rewritten, and the first
// letter of an attribute's value replaced by a byte that differs between code pages; the
// check values are made to match again.

#include <gtest/gtest.h>

#include <cstdint>

#include "drawing/dwg/bit_reader.h"
#include "drawing/dxf_reader.h"
#include "dwg_bytes.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

constexpr std::uint64_t kAttribute = 0x757;  // ETIKEDO = "valoro" in the example drawing
constexpr unsigned char kChanged = 0xC8;

// Writes eight bits of a DWG bit stream from bit `bit`, most significant first.
void putByteAtBit(std::string& bytes, std::size_t bit, unsigned char value) {
    const unsigned shift = 8 - bit % 8;
    unsigned word = (unsigned{static_cast<unsigned char>(bytes[bit / 8])} << 8) |
                    static_cast<unsigned char>(bytes[bit / 8 + 1]);
    word = (word & ~(0xFFu << shift)) | (unsigned{value} << shift);
    bytes[bit / 8] = static_cast<char>(word >> 8);
    bytes[bit / 8 + 1] = static_cast<char>(word & 0xFF);
}

// An R11/R12 sample with `codePage` in its header and the value "4" of its attribute replaced
// by kChanged.
std::string rewrittenR12(std::string bytes, int codePage) {
    const std::size_t attrib = r12Entity(bytes, kR12Attrib);
    // The value after the common fields, elevation, point and height.
    const std::size_t valueAt = attrib + 8 + 8 + 16 + 8 + 2;
    if (attrib == 0 || bytes[valueAt] != '4') return {};
    putLittleEndian(bytes, 0x3F9, static_cast<std::uint32_t>(codePage), 2);
    bytes[valueAt] = static_cast<char>(kChanged);
    resealR12Entity(bytes, attrib);
    return bytes;
}

// An R13-R2000 sample with `codePage` in its file header and the attribute's "valoro" starting
// with kChanged.
std::string rewrittenFlat(std::string bytes, int codePage) {
    putLittleEndian(bytes, 0x13, static_cast<std::uint32_t>(codePage), 2);
    resealFileHeader(bytes);
    for (const auto& entry : objectMapOf(bytes)) {
        if (entry.handle != kAttribute) continue;
        const std::uint32_t size = littleEndian(bytes, entry.offset, 2);  // under 0x8000
        const std::size_t start = entry.offset + 2;
        for (std::size_t bit = start * 8; bit + 48 <= (start + size) * 8; ++bit) {
            dwg::BitReader text(bytes, bit, bit + 48);
            std::string letters;
            while (letters.size() < 6) letters += static_cast<char>(text.rawChar());
            if (letters != "valoro") continue;
            putByteAtBit(bytes, bit, kChanged);
            putLittleEndian(
                bytes, start + size,
                dwg::crc16(std::string_view(bytes).substr(entry.offset, 2 + size), 0xC0C1), 2);
            return bytes;
        }
    }
    return {};
}

struct Sample {
    const char* file;
    QStringList texts;  // of its attributes, with % for the changed letter
};

class DwgCodePage : public ::testing::TestWithParam<Sample> {};

TEST_P(DwgCodePage, TextsAreReadInTheDrawingsCodePage) {
    const std::string sample = autocadBytes(QString::fromLatin1(GetParam().file));
    const struct {
        int codePage;
        QString letter;               // what kChanged is in it
    } table[] = {{28, u"\u010C"_qs},  // ANSI_1250: C with caron
                 {29, u"\u0418"_qs},  // ANSI_1251: Cyrillic I
                 {30, u"\u00C8"_qs},  // ANSI_1252: E with grave
                 {32, u"\u0398"_qs},  // ANSI_1253: Greek Theta
                 {0, u"\u00C8"_qs}};  // none named: Windows-1252
    for (const auto& row : table) {
        SCOPED_TRACE(row.codePage);
        const std::string bytes = sample.starts_with("AC1009")
                                      ? rewrittenR12(sample, row.codePage)
                                      : rewrittenFlat(sample, row.codePage);
        ASSERT_FALSE(bytes.empty()) << "the sample could not be rewritten";
        QStringList texts;
        for (const auto& reference : select(parseOrFail(bytes))) {
            const auto attributes = reference->attributes().value();
            for (const auto& attribute : attributes)
                texts << attribute->tag().value() + u'=' + attribute->value().value();
        }
        QStringList expected = GetParam().texts;
        expected.replaceInStrings(u"%"_qs, row.letter);
        EXPECT_EQ(texts, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DwgCodePage,
    ::testing::Values(Sample{"example_r13.dwg",
                             {u"ETIKEDO=valoro de la teksto en bloko"_qs, u"ETIKEDO=%aloro"_qs}},
                      Sample{"example_r14.dwg",
                             {u"ETIKEDO=valoro de la teksto en bloko"_qs, u"ETIKEDO=%aloro"_qs}},
                      Sample{"example_2000.dwg",
                             {u"ETIKEDO=valoro de la teksto en bloko"_qs, u"ETIKEDO=%aloro"_qs}},
                      Sample{"entities-2d_r11.dwg", {u"ATTR2=%"_qs}}),
    [](const auto& instance) { return parameterName(instance.param.file); });

}  // namespace
}  // namespace drawing::test
