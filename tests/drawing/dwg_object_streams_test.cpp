// SPDX-License-Identifier: GPL-3.0-or-later
// Objects as R2007 and later write them: a data stream, the texts in UTF-16 at its end, and
// the handle stream. Built bit by bit here, so every field the reader takes is checked
// where no sample drawing has it (a multiline attribute, a long string stream, a true
// colour, characters beyond the Basic Multilingual Plane).

#include <gtest/gtest.h>

#include <string>

#include "drawing/dwg/attrib_encoder.h"
#include "drawing/dwg/crc16.h"
#include "drawing/dwg/reference_objects.h"
#include "dwg_bytes.h"

namespace drawing::dwg {
namespace {

using test::BitWriter;

// The part of an entity from its mode on, as an R2018 file writes it.
void entityMode(BitWriter& w, unsigned colorNumber, bool trueColor) {
    w.bits(0, 2);  // mode: the owner is in the handles
    w.bl(0);       // reactors
    w.bit(true);   // no extension dictionary
    w.bit(false);  // no data-store data
    w.bs(colorNumber | (trueColor ? 0x8000u : 0u));
    if (trueColor) w.bl(0xC2FF8000);
    w.bd(1.0);     // linetype scale
    w.bits(0, 2);  // linetype ByLayer
    w.bits(0, 2);  // material ByLayer
    w.rc(0);       // shadow flags
    w.bits(0, 2);  // plot style ByLayer
    w.bits(0, 3);  // no visual styles
    w.bs(0);       // visible
    w.rc(29);      // lineweight ByLayer
}

// An R2018 ATTRIB: its data, its texts and its handles, framed as the objects section
// frames an object (size, handle stream size, bytes, check value).
// `claimedLength`, when not 0, is written as the texts' length in place of the true one.
std::string r2018Attrib(const std::u16string& value, const std::u16string& multiline,
                        const std::u16string& tag, std::size_t padding,
                        std::size_t claimedLength = 0) {
    BitWriter data;
    data.bits(0, 2);  // object type: one byte follows
    data.rc(type::kAttrib);
    data.handle(0, 0x2A1);
    data.bs(0);       // no extended data
    data.bit(false);  // no graphic
    entityMode(data, 5, true);
    data.rc(0xFF);  // every optional text field left at its default
    data.rd(12.5);
    data.rd(7.25);
    data.bit(true);  // extrusion (0,0,1)
    data.bit(true);  // thickness 0
    data.rd(2.5);    // height
    data.rc(0);      // version
    data.rc(multiline.empty() ? 1 : 2);
    if (!multiline.empty()) {
        entityMode(data, 256, false);
        data.point(12.5, 7.25, 0);
        data.point(0, 0, 1);
        data.point(1, 0, 0);
        data.bd(40);
        data.bd(10);
        data.bd(2.5);
        data.bs(1);
        data.bs(1);
        data.bd(2.5);
        data.bd(30);
    }
    data.bs(0);             // field length
    data.rc(0);             // flags
    data.bit(false);        // lock position
    data.bits(0, padding);  // fields the reader does not need

    BitWriter strings;
    strings.text(value);
    if (!multiline.empty()) strings.text(multiline);
    strings.text(tag);

    BitWriter body;
    body.append(data);
    body.append(strings);
    const std::size_t length = claimedLength != 0 ? claimedLength : strings.size();
    if (length < 0x8000) {
        body.raw(length, 2);
    } else {
        body.raw(length >> 15, 2);
        body.raw((length & 0x7FFF) | 0x8000, 2);
    }
    body.bit(true);  // the object has texts
    const std::size_t handleStart = body.size();
    body.handle(4, 0x2A0);  // owner
    body.handle(5, 0x10);   // layer
    body.handle(5, 0x11);   // text style
    const std::string& bytes = body.bytes();
    const std::size_t handleBits = bytes.size() * 8 - handleStart;

    std::string object(2, '\0');
    test::putLittleEndian(object, 0, static_cast<std::uint32_t>(bytes.size()), 2);  // MS: size
    test::putModularChar(object, handleBits);  // MC: handle stream size in bits
    object += bytes + "..";
    test::putLittleEndian(object, object.size() - 2,
                          crc16(std::string_view(object).substr(0, object.size() - 2), 0xC0C1), 2);
    return object;
}

AttribObject readBack(const std::string& objects) {
    QString problem;
    const auto raw = readRawObject(objects, 0, Release::R2018, true, problem);
    EXPECT_TRUE(raw.has_value()) << problem.toStdString();
    AttribObject attrib;
    if (raw) {
        EXPECT_EQ(raw->type, type::kAttrib);
        EXPECT_TRUE(readAttrib(*raw, attrib));
    }
    return attrib;
}

TEST(DwgObjectStreams, AttributeTextsComeFromTheStringStream) {
    const struct {
        std::u16string value, multiline, tag;
        std::size_t padding;
        std::string expectedValue, expectedTag;
    } table[] = {
        {u"P-101A", u"", u"TAG", 0, "P-101A", "TAG"},
        {u"FIRST", u"FIRST\\PSECOND", u"NOTES", 13, "FIRST\\PSECOND", "NOTES"},
        // Over 0x8000 bits of texts: the length is written in two parts.
        {std::u16string(2500, u'x'), u"", u"T", 0, std::string(2500, 'x'), "T"},
        // U+1F600 as a surrogate pair; a lone surrogate becomes U+FFFD.
        {u"\U0001F600\xD800!", u"", u"Ä", 0, "\xF0\x9F\x98\x80\xEF\xBF\xBD!", "\xC3\x84"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.expectedTag);
        const AttribObject attrib =
            readBack(r2018Attrib(row.value, row.multiline, row.tag, row.padding));
        EXPECT_EQ(attrib.value, row.expectedValue);
        EXPECT_EQ(attrib.tag, row.expectedTag);
        EXPECT_EQ(attrib.multiline, !row.multiline.empty());
        EXPECT_EQ(attrib.common.handle, 0x2A1u);
        EXPECT_EQ(attrib.common.owner, 0x2A0u);
        EXPECT_EQ(attrib.common.layer, 0x10u);
        EXPECT_EQ(attrib.common.color, 5) << "the index beside a true colour";
    }
}

TEST(DwgObjectStreams, TextLengthsReachingOutsideTheObjectAreRefused) {
    QString problem;
    const std::string fits = r2018Attrib(u"VALUE", u"", u"TAG", 0);
    ASSERT_TRUE(readRawObject(fits, 0, Release::R2018, false, problem).has_value());
    for (const std::size_t claimed : {std::size_t{0x7FFF}, std::size_t{1} << 20}) {
        const std::string tooLong = r2018Attrib(u"VALUE", u"", u"TAG", 0, claimed);
        EXPECT_FALSE(readRawObject(tooLong, 0, Release::R2018, false, problem).has_value())
            << claimed;
        EXPECT_EQ(problem, u"the object at offset 0 is corrupt"_qs);
    }
    // Any two bytes made large: read or refused, and the texts stay inside the object.
    for (std::size_t at = 3; at + 2 < fits.size(); ++at) {
        std::string broken = fits;
        broken[at] = static_cast<char>(0xFF);
        broken[at + 1] = static_cast<char>(0x7F);
        const auto raw = readRawObject(broken, 0, Release::R2018, false, problem);
        if (!raw) continue;
        AttribObject attrib;
        readAttrib(*raw, attrib);
        EXPECT_LE(raw->stringsEnd, raw->data.size() * 8);
        EXPECT_LE(raw->stringsBegin, raw->stringsEnd);
    }
}

// A multiline attribute encoded anew: its single-line value and its embedded text both take the
// new texts, the tag stays; with its own texts it is the same bytes, short or long texts alike.
TEST(DwgObjectStreams, MultilineAttributeEncodedAnew) {
    struct Case {
        std::size_t padding;  // a long object needs the two-word texts length
        AttribTexts texts;
    };
    const Case cases[] = {
        {3, {"Neu", "Neu\\Pzweite Zeile"}},
        {3, {"", ""}},
        {40000, {"\xC3\xA4", std::string(20000, 'x')}},
    };
    for (const Case& c : cases) {
        const std::string object = r2018Attrib(u"First", u"First\\Psecond", u"TAG", c.padding);
        QString problem;
        const auto same =
            reencodeAttrib(object, 0, Release::R2018, {"First", "First\\Psecond"}, problem);
        ASSERT_TRUE(same) << problem.toStdString();
        EXPECT_EQ(*same, object);
        const auto changed = reencodeAttrib(object, 0, Release::R2018, c.texts, problem);
        ASSERT_TRUE(changed) << problem.toStdString();
        const AttribObject attrib = readBack(*changed);
        EXPECT_TRUE(attrib.multiline);
        EXPECT_EQ(attrib.value, c.texts.multiline);
        EXPECT_EQ(attrib.tag, "TAG");
        const auto raw = readRawObject(*changed, 0, Release::R2018, true, problem);
        ASSERT_TRUE(raw);
        BitReader single(raw->data, attrib.valueField.begin, attrib.valueField.end);
        EXPECT_EQ(single.unicodeText(), c.texts.value);
    }
}

}  // namespace
}  // namespace drawing::dwg
