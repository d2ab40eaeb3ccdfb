// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/object_reader.h"

#include <array>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/crc16.h"

namespace drawing::dwg {

namespace {

// Lineweights by the index an entity stores (hundredths of a millimetre); 29, 30 and 31
// are ByLayer, ByBlock and Default as in DXF group 370.
int lineweightOfIndex(unsigned index) {
    static constexpr std::array<int, 24> kWeights = {0,  5,   9,   13,  15,  18,  20,  25,
                                                     30, 35,  40,  50,  53,  60,  70,  80,
                                                     90, 100, 106, 120, 140, 158, 200, 211};
    if (index < kWeights.size()) return kWeights[index];
    if (index == 30) return -2;
    if (index == 31) return -3;
    return -1;
}

// Extended data: blocks of application data, each kept in `keep` or skipped by its size.
bool readExtendedData(BitReader& data, std::vector<ExtendedData>* keep) {
    for (;;) {
        const auto size = static_cast<std::uint16_t>(data.bitShort());
        if (data.failed()) return false;
        if (size == 0) return true;
        const std::uint64_t application = data.handle().value;
        if (keep && std::size_t{size} * 8 <= data.remaining()) {
            ExtendedData block{application, {}};
            block.items.resize(size);
            for (char& c : block.items) c = static_cast<char>(data.rawChar());
            keep->push_back(std::move(block));
        } else {
            data.skipBits(std::size_t{size} * 8);
        }
        if (data.failed()) return false;
    }
}

bool readPrefix(BitReader& data, std::uint64_t& handle,
                std::vector<ExtendedData>* extendedData = nullptr) {
    handle = data.handle().value;
    return !data.failed() && readExtendedData(data, extendedData);
}

// The colour of an entity from R2004 on: a colour number whose high bits say what follows.
int readEncodedColor(BitReader& data, bool& colorBook) {
    const auto value = static_cast<std::uint16_t>(data.bitShort());
    if (value & 0x4000) {
        colorBook = true;  // its handle follows with the references
    } else if (value & 0x8000) {
        data.bitLong();  // the true colour; the index below is what AutoCAD reports as 62
    }
    if (value & 0x2000) data.bitLong();  // transparency
    return value & 0x1FF;
}

}  // namespace

std::optional<Release> releaseOf(std::string_view head) {
    const std::string_view version = head.substr(0, 6);
    if (version == "AC1012") return Release::R13;
    if (version == "AC1014") return Release::R14;
    if (version == "AC1015") return Release::R2000;
    if (version == "AC1018") return Release::R2004;
    if (version == "AC1021") return Release::R2007;
    if (version == "AC1024") return Release::R2010;
    if (version == "AC1027") return Release::R2013;
    if (version == "AC1032") return Release::R2018;
    return std::nullopt;
}

bool locateStrings(RawObject& object) {
    const std::size_t endBit = object.handleStreamBit;
    if (endBit <= object.fieldsBit) return true;
    BitReader reader(object.data, 0, endBit);
    reader.seek(endBit - 1);
    if (!reader.bit()) return true;
    if (endBit - 1 < object.fieldsBit + 16) return false;
    std::size_t at = endBit - 1 - 16;
    reader.seek(at);
    std::size_t length = reader.rawShort();
    if (length & 0x8000) {
        if (at < object.fieldsBit + 16) return false;
        at -= 16;
        reader.seek(at);
        const std::size_t high = reader.rawShort();
        length = (length & 0x7FFF) | (high << 15);
    }
    if (reader.failed() || length > at - object.fieldsBit) return false;
    object.stringsBegin = at - length;
    object.stringsEnd = at;
    return true;
}

ObjectStreams::ObjectStreams(const RawObject& object)
    : data(object.data, object.fieldsBit, object.handleStreamBit),
      handles(object.data, object.handleStreamBit, object.data.size() * 8),
      strings(object.data, object.stringsBegin, object.stringsEnd),
      release(object.release),
      m_bytes(object.data),
      m_hasStrings(object.stringsEnd > object.stringsBegin),
      m_handleStreamField(object.handleStreamField) {}

bool ObjectStreams::readHandleStreamStart() {
    if (atLeast(Release::R2000)) return true;
    m_handleStreamField = data.position();
    const std::size_t handleBit = data.rawLong();
    const std::size_t at = data.position();
    if (data.failed() || handleBit < at || handleBit > m_bytes.size() * 8) {
        data.fail();
        return false;
    }
    data = BitReader(m_bytes, 0, handleBit);
    data.seek(at);
    handles = BitReader(m_bytes, handleBit, m_bytes.size() * 8);
    return true;
}

std::string ObjectStreams::text(BitSpan* field) {
    if (release < Release::R2007 || m_hasStrings) {
        BitReader& in = release < Release::R2007 ? data : strings;
        const std::size_t begin = in.position();
        std::string value = release < Release::R2007 ? in.text() : in.unicodeText();
        if (field) *field = {begin, in.position()};
        return value;
    }
    // An object without a string stream has only empty texts.
    if (field) *field = {};
    return {};
}

std::optional<RawObject> readRawObject(std::string_view objects, std::uint32_t offset,
                                       Release release, bool verifyCheckValue, QString& problem) {
    if (offset >= objects.size()) {
        problem = QStringLiteral("an object lies beyond the end of the file");
        return std::nullopt;
    }
    BitReader head(objects, std::size_t{offset} * 8, objects.size() * 8);
    const std::uint32_t size = head.modularShort();
    const std::uint64_t handleBits = release >= Release::R2010 ? head.modularChar() : 0;
    const std::size_t start = head.position() / 8;
    if (head.failed() || size < 4 || size > objects.size() - start ||
        objects.size() - start - size < 2) {
        problem = QStringLiteral("the object at offset %1 is truncated").arg(offset);
        return std::nullopt;
    }
    const std::uint16_t stored = le16(objects, start + size);
    if (verifyCheckValue &&
        crc16(objects.substr(offset, start - offset + size), 0xC0C1) != stored) {
        problem = QStringLiteral("the object at offset %1 is corrupt").arg(offset);
        return std::nullopt;
    }
    RawObject object;
    object.data = objects.substr(start, size);
    object.release = release;
    BitReader data(object.data);
    object.type = data.objectType(release >= Release::R2010);
    const std::size_t bits = std::size_t{size} * 8;
    if (release >= Release::R2010) {
        object.handleStreamBit = handleBits <= bits ? bits - handleBits : bits + 1;
    } else if (release >= Release::R2000) {
        object.handleStreamField = data.position();
        object.handleStreamBit = data.rawLong();
    } else {
        object.handleStreamBit = bits;
    }
    object.fieldsBit = data.position();
    if (data.failed() || object.handleStreamBit > bits ||
        object.handleStreamBit < object.fieldsBit ||
        (release >= Release::R2007 && !locateStrings(object))) {
        problem = QStringLiteral("the object at offset %1 is corrupt").arg(offset);
        return std::nullopt;
    }
    return object;
}

int peekType(std::string_view objects, std::uint32_t offset, Release release) {
    if (offset >= objects.size()) return -1;
    BitReader head(objects, std::size_t{offset} * 8, objects.size() * 8);
    head.modularShort();
    if (release >= Release::R2010) head.modularChar();
    const int type = head.objectType(release >= Release::R2010);
    return head.failed() ? -1 : type;
}

std::uint64_t firstHandleItem(std::string_view items, Release release) {
    std::size_t at = 0;
    const auto has = [&](std::size_t n) { return items.size() - at >= n; };
    while (has(1)) {
        const auto code = static_cast<unsigned char>(items[at++]);
        std::size_t skip = 0;
        switch (code) {
            case 0:  // a text: its length, then (before R2007) its code page, then its bytes
                if (release >= Release::R2007) {
                    if (!has(2)) return 0;
                    skip = 2 + 2 * std::size_t{le16(items, at)};
                } else {
                    if (!has(1)) return 0;
                    skip = 3 + static_cast<unsigned char>(items[at]);
                }
                break;
            case 2:  // a brace
                skip = 1;
                break;
            case 3:  // a layer
                skip = 8;
                break;
            case 4:  // binary data: its length, then its bytes
                if (!has(1)) return 0;
                skip = 1 + static_cast<unsigned char>(items[at]);
                break;
            case 5: {
                if (!has(8)) return 0;
                // Unlike the rest of the file, most significant byte first.
                std::uint64_t handle = 0;
                for (std::size_t i = 0; i < 8; ++i)
                    handle = (handle << 8) | static_cast<unsigned char>(items[at + i]);
                return handle;
            }
            case 10:
            case 11:
            case 12:
            case 13:
                skip = 24;
                break;
            case 40:
            case 41:
            case 42:
                skip = 8;
                break;
            case 70:
                skip = 2;
                break;
            case 71:
                skip = 4;
                break;
            default:
                return 0;
        }
        if (!has(skip)) return 0;
        at += skip;
    }
    return 0;
}

bool readObjectCommon(ObjectStreams& in, ObjectCommon& out,
                      std::vector<ExtendedData>* extendedData) {
    if (!readPrefix(in.data, out.handle, extendedData) || !in.readHandleStreamStart()) return false;
    const std::uint32_t reactors = static_cast<std::uint32_t>(in.data.bitLong());
    const bool dictionaryMissing = in.atLeast(Release::R2004) && in.data.bit();
    if (in.atLeast(Release::R2013)) in.data.bit();  // has data-store data
    out.owner = in.handles.handle().resolve(out.handle);
    for (std::uint32_t i = 0; i < reactors && !in.handles.failed(); ++i) in.handles.handle();
    if (!dictionaryMissing) out.extensionDictionary = in.handles.handle().resolve(out.handle);
    out.hasExtensionDictionary = out.extensionDictionary != 0;
    return !in.data.failed() && !in.handles.failed();
}

bool readEntityData(ObjectStreams& in, EntityCommon& out) {
    if (!readPrefix(in.data, out.handle)) return false;
    if (in.data.bit()) {  // a graphic (proxy) representation: skipped
        const std::uint64_t size =
            in.atLeast(Release::R2010) ? in.data.bitLongLong() : in.data.rawLong();
        if (size > in.data.remaining() / 8) return false;
        in.data.skipBits(static_cast<std::size_t>(size) * 8);
    }
    return in.readHandleStreamStart() && readEntityMode(in, out);
}

bool readEntityMode(ObjectStreams& in, EntityCommon& out) {
    BitReader& data = in.data;
    out.mode = data.twoBits();
    out.reactors = static_cast<std::uint32_t>(data.bitLong());
    if (in.atLeast(Release::R2004)) out.extensionDictionaryMissing = data.bit() != 0;
    if (in.atLeast(Release::R2013)) data.bit();  // has data-store data
    // R13 and R14: ByLayer, or the linetype's handle follows the layer's.
    if (!in.atLeast(Release::R2000)) out.linetypeFlags = data.bit() ? 0 : 3;
    out.noLinks = in.atLeast(Release::R2004) || data.bit() != 0;
    out.color =
        in.atLeast(Release::R2004) ? readEncodedColor(data, out.colorBook) : data.bitShort();
    out.linetypeScale = data.bitDouble();
    if (in.atLeast(Release::R2000)) {
        out.linetypeFlags = data.twoBits();
        if (in.atLeast(Release::R2007)) {
            out.materialFlags = data.twoBits();
            data.rawChar();  // shadow flags
        }
        out.plotStyleFlags = data.twoBits();
    }
    if (in.atLeast(Release::R2010)) {
        for (int i = 0; i < 3; ++i) out.visualStyles += data.bit();
    }
    out.invisible = (data.bitShort() & 1) != 0;
    if (in.atLeast(Release::R2000)) out.lineweight = lineweightOfIndex(data.rawChar());
    return !data.failed();
}

bool readEntityHandles(ObjectStreams& in, EntityCommon& out) {
    BitReader& handles = in.handles;
    const std::uint64_t self = out.handle;
    if (out.mode == 0) out.owner = handles.handle().resolve(self);
    for (std::uint32_t i = 0; i < out.reactors && !handles.failed(); ++i) handles.handle();
    if (!out.extensionDictionaryMissing) {
        out.extensionDictionary = handles.handle().resolve(self);
        out.hasExtensionDictionary = out.extensionDictionary != 0;
    }
    // R13 and R14 put the layer and linetype before the links, later releases after.
    const bool layerFirst = !in.atLeast(Release::R2000);
    if (layerFirst) {
        out.layer = handles.handle().resolve(self);
        if (out.linetypeFlags == 3) out.linetype = handles.handle().resolve(self);
    }
    if (!in.atLeast(Release::R2004)) {
        if (out.noLinks) {
            out.previous = self - 1;
            out.next = self + 1;
        } else {
            out.previous = handles.handle().resolve(self);
            out.next = handles.handle().resolve(self);
        }
    }
    if (out.colorBook) handles.handle();
    if (!layerFirst) {
        out.layer = handles.handle().resolve(self);
        if (out.linetypeFlags == 3) out.linetype = handles.handle().resolve(self);
    }
    if (out.materialFlags == 3) handles.handle();
    if (out.plotStyleFlags == 3) handles.handle();
    for (unsigned i = 0; i < out.visualStyles; ++i) handles.handle();
    return !handles.failed();
}

}  // namespace drawing::dwg
