// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of DWG files up to R2004 are bytes in the drawing's own code page, which the file
// header names. The files are made from the samples: the code page rewritten, and the first
// letter of an attribute's value replaced by a byte that differs between code pages.

#include <gtest/gtest.h>

#include <cstdint>

#include "drawing/dwg/crc16.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dxf_reader.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

constexpr std::uint64_t kAttribute = 0x757;  // ETIKEDO = "valoro"
constexpr std::size_t kCodePageAt = 0x13;

// Eight bits of a DWG bit stream from bit `bit`, most significant first.
unsigned char byteAtBit(const std::string& bytes, std::size_t bit) {
    const unsigned word = (unsigned{static_cast<unsigned char>(bytes[bit / 8])} << 8) |
                          static_cast<unsigned char>(bytes[bit / 8 + 1]);
    return static_cast<unsigned char>(word >> (8 - bit % 8));
}

void putByteAtBit(std::string& bytes, std::size_t bit, unsigned char value) {
    const unsigned shift = 8 - bit % 8;
    unsigned word = (unsigned{static_cast<unsigned char>(bytes[bit / 8])} << 8) |
                    static_cast<unsigned char>(bytes[bit / 8 + 1]);
    word = (word & ~(0xFFu << shift)) | (unsigned{value} << shift);
    bytes[bit / 8] = static_cast<char>(word >> 8);
    bytes[bit / 8 + 1] = static_cast<char>(word & 0xFF);
}

// The sample with `codePage` in its file header and the attribute's "valoro" starting with
// the byte `first`; both check values made to match again. Empty when a step fails.
std::string rewritten(const QString& name, int codePage, unsigned char first) {
    std::string bytes = autocadBytes(name);
    QString problem;
    const auto header = dwg::readFileHeader(bytes, true, problem);
    if (!header) return {};
    putLittleEndian16(bytes, kCodePageAt, static_cast<std::uint16_t>(codePage));
    // The header's check value is masked by a value that depends on the number of sections.
    const std::uint32_t sections = littleEndian(bytes, 0x15, 4);
    const std::size_t crcAt = 0x19 + sections * 9;
    const std::uint16_t masks[] = {0, 0, 0, 0xA598, 0x8101, 0x3CC4, 0x8461};
    if (sections > 6) return {};
    putLittleEndian16(bytes, crcAt,
                      dwg::crc16(std::string_view(bytes).substr(0, crcAt), 0) ^ masks[sections]);

    const auto map = dwg::ObjectMap::read(
        std::string_view(bytes).substr(header->objectMap.offset, header->objectMap.size),
        bytes.size(), true, problem);
    if (!map || !map->find(kAttribute)) return {};
    const std::size_t offset = *map->find(kAttribute);
    const std::uint32_t size = littleEndian(bytes, offset, 2);  // under 0x8000: two bytes
    const std::size_t start = offset + 2;
    bool replaced = false;
    for (std::size_t bit = start * 8; bit + 48 <= (start + size) * 8 && !replaced; ++bit) {
        std::string text;
        for (std::size_t k = 0; k < 6; ++k)
            text += static_cast<char>(byteAtBit(bytes, bit + 8 * k));
        if (text != "valoro") continue;
        putByteAtBit(bytes, bit, first);
        replaced = true;
    }
    if (!replaced) return {};
    putLittleEndian16(bytes, start + size,
                      dwg::crc16(std::string_view(bytes).substr(offset, 2 + size), 0xC0C1));
    return bytes;
}

QStringList attributeTexts(const std::string& bytes) {
    const auto result = readDrawingBytes(bytes);
    if (!result.ok()) return {result.error().description};
    QStringList texts;
    for (const auto& reference : select(result.value())) {
        const auto attributes = reference->attributes().value();
        for (const auto& attribute : attributes) texts << attribute->value().value();
    }
    return texts;
}

class DwgCodePage : public ::testing::TestWithParam<const char*> {};

TEST_P(DwgCodePage, TextsAreReadInTheDrawingsCodePage) {
    const QString name = QString::fromLatin1(GetParam());
    struct Case {
        int codePage;
        QString first;  // what byte 0xE2 is in it
    };
    for (const Case& c :
         {Case{30, u"â"_qs}, Case{29, u"в"_qs}, Case{28, u"â"_qs}, Case{32, u"β"_qs}}) {
        SCOPED_TRACE(dwg::codePageName(c.codePage));
        const std::string bytes = rewritten(name, c.codePage, 0xE2);
        ASSERT_FALSE(bytes.empty()) << "the sample could not be rewritten";
        EXPECT_EQ(attributeTexts(bytes),
                  (QStringList{u"valoro de la teksto en bloko"_qs, c.first + u"aloro"_qs}));
    }
}

INSTANTIATE_TEST_SUITE_P(Flat, DwgCodePage,
                         ::testing::Values("example_r13.dwg", "example_r14.dwg",
                                           "example_2000.dwg"),
                         [](const auto& instance) { return parameterName(instance.param); });

}  // namespace
}  // namespace drawing::test
