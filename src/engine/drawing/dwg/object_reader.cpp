#include "engine/drawing/dwg/object_reader.h"

#include <array>

#include "engine/drawing/dwg/crc16.h"

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

// Extended data: blocks of application data, each skipped by its size.
bool skipExtendedData(BitReader& data) {
    for (;;) {
        const auto size = static_cast<std::uint16_t>(data.bitShort());
        if (data.failed()) return false;
        if (size == 0) return true;
        data.handle();
        data.skipBits(std::size_t{size} * 8);
        if (data.failed()) return false;
    }
}

bool readPrefix(BitReader& data, std::uint64_t& handle) {
    data.bitShort();  // type
    data.rawLong();   // where the handle stream starts
    handle = data.handle().value;
    return !data.failed() && skipExtendedData(data);
}

}  // namespace

std::optional<RawObject> readRawObject(std::string_view file, std::uint32_t offset,
                                       bool verifyCheckValue, QString& problem) {
    if (offset >= file.size()) {
        problem = QStringLiteral("an object lies beyond the end of the file");
        return std::nullopt;
    }
    BitReader head(file, std::size_t{offset} * 8, file.size() * 8);
    const std::uint32_t size = head.modularShort();
    const std::size_t start = head.position() / 8;
    if (head.failed() || size < 4 || size > file.size() - start || file.size() - start - size < 2) {
        problem = QStringLiteral("the object at offset %1 is truncated").arg(offset);
        return std::nullopt;
    }
    const std::uint16_t stored =
        static_cast<std::uint16_t>(static_cast<unsigned char>(file[start + size]) |
                                   (static_cast<unsigned char>(file[start + size + 1]) << 8));
    if (verifyCheckValue && crc16(file.substr(offset, start - offset + size), 0xC0C1) != stored) {
        problem = QStringLiteral("the object at offset %1 is corrupt").arg(offset);
        return std::nullopt;
    }
    RawObject object;
    object.data = file.substr(start, size);
    BitReader data(object.data);
    object.type = static_cast<std::uint16_t>(data.bitShort());
    object.handleStreamBit = data.rawLong();
    if (data.failed() || object.handleStreamBit > std::size_t{size} * 8) {
        problem = QStringLiteral("the object at offset %1 is corrupt").arg(offset);
        return std::nullopt;
    }
    return object;
}

int peekType(std::string_view file, std::uint32_t offset) {
    if (offset >= file.size()) return -1;
    BitReader head(file, std::size_t{offset} * 8, file.size() * 8);
    head.modularShort();
    const int type = static_cast<std::uint16_t>(head.bitShort());
    return head.failed() ? -1 : type;
}

bool readObjectCommon(BitReader& data, BitReader& handles, ObjectCommon& out) {
    if (!readPrefix(data, out.handle)) return false;
    const std::uint32_t reactors = static_cast<std::uint32_t>(data.bitLong());
    out.owner = handles.handle().resolve(out.handle);
    for (std::uint32_t i = 0; i < reactors && !handles.failed(); ++i) handles.handle();
    out.hasExtensionDictionary = handles.handle().resolve(out.handle) != 0;
    return !data.failed() && !handles.failed();
}

bool readEntityData(BitReader& data, EntityCommon& out) {
    if (!readPrefix(data, out.handle)) return false;
    if (data.bit()) {  // a graphic (proxy) representation: skipped
        const std::uint32_t size = data.rawLong();
        data.skipBits(std::size_t{size} * 8);
    }
    out.mode = data.twoBits();
    out.reactors = static_cast<std::uint32_t>(data.bitLong());
    out.noLinks = data.bit() != 0;
    out.color = data.bitShort();
    out.linetypeScale = data.bitDouble();
    out.linetypeFlags = data.twoBits();
    out.plotStyleFlags = data.twoBits();
    out.invisible = (data.bitShort() & 1) != 0;
    out.lineweight = lineweightOfIndex(data.rawChar());
    return !data.failed();
}

bool readEntityHandles(BitReader& handles, EntityCommon& out) {
    const std::uint64_t self = out.handle;
    if (out.mode == 0) out.owner = handles.handle().resolve(self);
    for (std::uint32_t i = 0; i < out.reactors && !handles.failed(); ++i) handles.handle();
    out.hasExtensionDictionary = handles.handle().resolve(self) != 0;
    if (out.noLinks) {
        out.previous = self - 1;
        out.next = self + 1;
    } else {
        out.previous = handles.handle().resolve(self);
        out.next = handles.handle().resolve(self);
    }
    out.layer = handles.handle().resolve(self);
    if (out.linetypeFlags == 3) out.linetype = handles.handle().resolve(self);
    if (out.plotStyleFlags == 3) handles.handle();
    return !handles.failed();
}

}  // namespace drawing::dwg
