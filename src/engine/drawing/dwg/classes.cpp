#include "engine/drawing/dwg/classes.h"

#include "engine/drawing/dwg/bit_reader.h"

namespace drawing::dwg {

int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName) {
    constexpr std::size_t kSentinel = 16;
    if (!where.present || where.offset > file.size() || file.size() - where.offset < kSentinel + 4)
        return -1;
    BitReader head(file, (where.offset + kSentinel) * 8, file.size() * 8);
    const std::uint32_t size = head.rawLong();
    const std::size_t start = where.offset + kSentinel + 4;
    if (head.failed() || size > file.size() - start) return -1;
    BitReader data(file, start * 8, (start + size) * 8);
    // The last byte may hold padding bits only.
    while (!data.failed() && data.remaining() > 8) {
        const int number = data.bitShort();
        data.bitShort();  // version
        data.text();      // application name
        data.text();      // C++ class name
        const std::string name = data.text();
        data.bit();       // was a zombie
        data.bitShort();  // item class id
        if (!data.failed() && name == dxfName) return number;
    }
    return -1;
}

}  // namespace drawing::dwg
