// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/attrib_encoder.h"

#include <vector>

#include "drawing/dwg/bit_writer.h"
#include "drawing/dwg/crc16.h"
#include "drawing/dwg/reference_objects.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kMaxTextLength = 0xFFFF;  // the length is a 16-bit BS

struct Replacement {
    BitSpan field;
    const std::string* text;
};

// How many zero characters at its end the text field `field` counts in its length: some
// writers count a terminator, and the new text keeps their habit.
std::size_t countedZeros(std::string_view data, const BitSpan& field, unsigned unitBits) {
    BitReader reader(data, field.begin, field.end);
    const auto length = static_cast<std::uint16_t>(reader.bitShort());
    std::size_t zeros = 0;
    std::size_t at = field.end;
    while (zeros < length && at >= field.begin + unitBits) {
        at -= unitBits;
        reader.seek(at);
        const unsigned unit = unitBits == 8 ? reader.rawChar() : reader.rawShort();
        if (reader.failed() || unit != 0) break;
        ++zeros;
    }
    return zeros;
}

bool writeText(BitWriter& out, std::string_view data, const Replacement& r, bool unicode,
               QString& problem) {
    std::string text = *r.text;
    text.append(countedZeros(data, r.field, unicode ? 16 : 8), '\0');
    const std::size_t length = unicode ? utf16Of(text).size() : text.size();
    if (length > kMaxTextLength) {
        problem = QStringLiteral("the value is longer than a DWG text can be (%1 characters)")
                      .arg(kMaxTextLength);
        return false;
    }
    if (unicode)
        out.unicodeText(text);
    else
        out.text(text);
    return true;
}

void overwriteRawLong(BitWriter& out, std::size_t at, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i) out.overwrite(at + 8 * i, (value >> (8 * i)) & 0xFF, 8);
}

// From R2007 the texts end with their length in bits (15 bits a word, the high word first when
// one does not do) and a bit saying there are texts.
void writeStringsEnd(BitWriter& out, std::size_t length) {
    if (length >= 0x8000) {
        out.rawShort(static_cast<std::uint16_t>(length >> 15));
        out.rawShort(static_cast<std::uint16_t>((length & 0x7FFF) | 0x8000));
    } else {
        out.rawShort(static_cast<std::uint16_t>(length));
    }
    out.bit(true);
}

}  // namespace

std::optional<std::string> reencodeAttrib(std::string_view objects, std::uint32_t offset,
                                          Release release, const AttribTexts& texts,
                                          QString& problem) {
    const auto raw = readRawObject(objects, offset, release, true, problem);
    if (!raw) return std::nullopt;
    AttribObject attrib;
    if (raw->type != type::kAttrib || !readAttrib(*raw, attrib)) {
        problem = QStringLiteral("the object at offset %1 is no readable attribute").arg(offset);
        return std::nullopt;
    }
    std::vector<Replacement> replacements{{attrib.valueField, &texts.value}};
    if (attrib.multiline) replacements.push_back({attrib.multilineField, &texts.multiline});
    const bool unicode = release >= Release::R2007;
    for (const Replacement& r : replacements) {
        if (r.field.end <= r.field.begin) {
            problem = QStringLiteral("the attribute has no text field to write into");
            return std::nullopt;
        }
    }
    if (release < Release::R2010 && attrib.handleStreamField == kNoField) {
        problem = QStringLiteral("the attribute does not say where its references start");
        return std::nullopt;
    }

    const std::string_view data = raw->data;
    const std::size_t dataBits = data.size() * 8;
    std::size_t oldHandleStart = raw->handleStreamBit;
    if (release < Release::R2000) {
        // R13 and R14 say it after the common part; the reader has checked it.
        BitReader field(data, attrib.handleStreamField, dataBits);
        oldHandleStart = field.rawLong();
    }
    BitWriter out;
    std::size_t at = 0;
    for (const Replacement& r : replacements) {
        out.copyBits(data, at, r.field.begin);
        if (!writeText(out, data, r, unicode, problem)) return std::nullopt;
        at = r.field.end;
    }
    if (unicode) {
        out.copyBits(data, at, raw->stringsEnd);
        writeStringsEnd(out, out.bitSize() - raw->stringsBegin);
    } else {
        out.copyBits(data, at, oldHandleStart);
    }
    const std::size_t handleStart = out.bitSize();
    out.copyBits(data, oldHandleStart, dataBits);
    out.padToByte();
    if (release < Release::R2010) {
        if (handleStart > 0xFFFFFFFFu) {
            problem = QStringLiteral("the attribute would be too large");
            return std::nullopt;
        }
        overwriteRawLong(out, attrib.handleStreamField, static_cast<std::uint32_t>(handleStart));
    }
    const std::string& body = out.bytes();
    if (body.size() > 0x3FFFFFFF) {
        problem = QStringLiteral("the attribute would be too large");
        return std::nullopt;
    }
    BitWriter head;
    head.modularShort(static_cast<std::uint32_t>(body.size()));
    if (release >= Release::R2010) head.modularChar(body.size() * 8 - handleStart);
    std::string object = head.bytes() + body;
    const std::uint16_t crc = crc16(object, 0xC0C1);
    object.push_back(static_cast<char>(crc & 0xFF));
    object.push_back(static_cast<char>(crc >> 8));

    // What was written must read back as asked: the same tag, the new texts.
    AttribObject check;
    QString unused;
    const auto written = readRawObject(object, 0, release, true, unused);
    const std::string& expected = attrib.multiline ? texts.multiline : texts.value;
    if (!written || !readAttrib(*written, check) || check.tag != attrib.tag ||
        check.value != expected || check.multiline != attrib.multiline) {
        problem = QStringLiteral("the attribute does not read back as written");
        return std::nullopt;
    }
    return object;
}

}  // namespace drawing::dwg
