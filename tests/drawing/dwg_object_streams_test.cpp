// SPDX-License-Identifier: GPL-3.0-or-later
// Objects as R2007 and later write them: a data stream, the texts in UTF-16 at its end, and
// the handle stream. Built bit by bit here, so every field the reader takes is checked
// where no sample drawing has it (a multiline attribute, a long string stream, a true
// colour, characters beyond the Basic Multilingual Plane).

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "drawing/dwg/crc16.h"
#include "drawing/dwg/reference_objects.h"

namespace drawing::dwg {
namespace {

class BitWriter {
public:
    void bits(std::uint64_t value, std::size_t count) {
        for (std::size_t i = count; i-- > 0;) {
            if (m_bits % 8 == 0) m_bytes.push_back('\0');
            if ((value >> i) & 1)
                m_bytes.back() = static_cast<char>(m_bytes.back() | (0x80 >> (m_bits % 8)));
            ++m_bits;
        }
    }
    void bit(bool value) { bits(value ? 1 : 0, 1); }
    void rc(unsigned value) { bits(value & 0xFF, 8); }
    void rs(unsigned value) {
        rc(value);
        rc(value >> 8);
    }
    void rl(std::uint32_t value) {
        rs(value & 0xFFFF);
        rs(value >> 16);
    }
    void rd(double value) {
        const auto raw = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i) rc(static_cast<unsigned>(raw >> (8 * i)));
    }
    void bs(unsigned value) {
        if (value == 0) return bits(2, 2);
        if (value == 256) return bits(3, 2);
        if (value < 256) return bits(1, 2), rc(value);
        bits(0, 2);
        rs(value);
    }
    void bl(std::uint32_t value) {
        if (value == 0) return bits(2, 2);
        if (value < 256) return bits(1, 2), rc(value);
        bits(0, 2);
        rl(value);
    }
    void bd(double value) {
        if (value == 0.0) return bits(2, 2);
        if (value == 1.0) return bits(1, 2);
        bits(0, 2);
        rd(value);
    }
    void point(double x, double y, double z) {
        bd(x);
        bd(y);
        bd(z);
    }
    void handle(unsigned code, std::uint64_t value) {
        unsigned length = 0;
        for (std::uint64_t v = value; v != 0; v >>= 8) ++length;
        rc((code << 4) | length);
        for (unsigned i = length; i-- > 0;) rc(static_cast<unsigned>(value >> (8 * i)));
    }
    void text(std::u16string_view units) {
        bs(static_cast<unsigned>(units.size()));
        for (const char16_t unit : units) rs(unit);
    }
    void append(const BitWriter& other) {
        for (std::size_t i = 0; i < other.m_bits; ++i)
            bit((static_cast<unsigned char>(other.m_bytes[i / 8]) >> (7 - i % 8)) & 1);
    }
    std::size_t size() const { return m_bits; }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::size_t m_bits = 0;
};

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
        body.rs(static_cast<unsigned>(length));
    } else {
        body.rs(static_cast<unsigned>(length >> 15));
        body.rs(static_cast<unsigned>((length & 0x7FFF) | 0x8000));
    }
    body.bit(true);  // the object has texts
    const std::size_t handleStart = body.size();
    body.handle(4, 0x2A0);  // owner
    body.handle(5, 0x10);   // layer
    body.handle(5, 0x11);   // text style
    const std::string& bytes = body.bytes();
    const std::size_t handleBits = bytes.size() * 8 - handleStart;

    BitWriter frame;
    frame.rs(static_cast<unsigned>(bytes.size()));  // MS: size (under 0x8000)
    for (std::uint64_t v = handleBits;;) {          // MC: handle stream size in bits
        const unsigned low = v & 0x7F;
        v >>= 7;
        frame.rc(low | (v != 0 ? 0x80u : 0u));
        if (v == 0) break;
    }
    std::string object = frame.bytes() + bytes;
    const std::uint16_t check = crc16(object, 0xC0C1);
    object.push_back(static_cast<char>(check & 0xFF));
    object.push_back(static_cast<char>(check >> 8));
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
    const AttribObject attrib = readBack(r2018Attrib(u"P-101A", u"", u"TAG", 0));
    EXPECT_EQ(attrib.value, "P-101A");
    EXPECT_EQ(attrib.tag, "TAG");
    EXPECT_FALSE(attrib.multiline);
    EXPECT_EQ(attrib.common.handle, 0x2A1u);
    EXPECT_EQ(attrib.common.owner, 0x2A0u);
    EXPECT_EQ(attrib.common.layer, 0x10u);
    EXPECT_EQ(attrib.common.color, 5) << "the index beside a true colour";
}

TEST(DwgObjectStreams, MultilineAttributeTakesTheEmbeddedText) {
    const AttribObject attrib = readBack(r2018Attrib(u"FIRST", u"FIRST\\PSECOND", u"NOTES", 13));
    EXPECT_TRUE(attrib.multiline);
    EXPECT_EQ(attrib.value, "FIRST\\PSECOND");
    EXPECT_EQ(attrib.tag, "NOTES");
}

TEST(DwgObjectStreams, LongStringStreamsAndCharactersBeyondTheBasicPlane) {
    // Over 0x8000 bits of texts: the length is written in two parts.
    const std::u16string longValue(2500, u'x');
    const AttribObject large = readBack(r2018Attrib(longValue, u"", u"T", 0));
    EXPECT_EQ(large.value, std::string(2500, 'x'));
    EXPECT_EQ(large.tag, "T");
    // U+1F600 as a surrogate pair; a lone surrogate becomes U+FFFD.
    const AttribObject wide = readBack(r2018Attrib(u"\U0001F600\xD800!", u"", u"Ä", 0));
    EXPECT_EQ(wide.value, "\xF0\x9F\x98\x80\xEF\xBF\xBD!");
    EXPECT_EQ(wide.tag, "\xC3\x84");
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

}  // namespace
}  // namespace drawing::dwg
