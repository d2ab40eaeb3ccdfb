#include "engine/drawing/dwg/classes.h"

#include "engine/drawing/dwg/bit_reader.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kSentinel = 16;

// The class records from the reader's position up to the bit `end`: the number of the one
// named `dxfName`, or -1.
int findInRecords(ObjectStreams& in, std::size_t end, std::string_view dxfName) {
    BitReader& data = in.data;
    // The last byte may hold padding bits only.
    while (!in.failed() && data.position() + 8 < end) {
        const int number = data.bitShort();
        data.bitShort();  // proxy flags (R2000: version)
        in.text();        // application name
        in.text();        // C++ class name
        const std::string name = in.text();
        data.bit();       // was a zombie
        data.bitShort();  // item class id
        if (in.atLeast(Release::R2004)) {
            data.bitLong();  // objects of the class in the drawing
            if (in.atLeast(Release::R2007)) {
                data.bitLong();  // release
                data.bitLong();  // maintenance release
            } else {
                data.bitShort();
                data.bitShort();
            }
            data.bitLong();
            data.bitLong();
        }
        if (!in.failed() && name == dxfName) return number;
    }
    return -1;
}

}  // namespace

int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName) {
    if (!where.present || where.offset > file.size() || file.size() - where.offset < kSentinel + 4)
        return -1;
    BitReader head(file, (where.offset + kSentinel) * 8, file.size() * 8);
    const std::uint32_t size = head.rawLong();
    const std::size_t start = where.offset + kSentinel + 4;
    if (head.failed() || size > file.size() - start) return -1;
    RawObject classes;
    classes.data = file;
    classes.fieldsBit = start * 8;
    classes.handleStreamBit = (start + size) * 8;
    ObjectStreams in(classes);
    return findInRecords(in, classes.handleStreamBit, dxfName);
}

int findClassNumber(std::string_view section, Release release, unsigned maintenance,
                    std::string_view dxfName) {
    if (section.size() < kSentinel + 4) return -1;
    BitReader head(section, kSentinel * 8, section.size() * 8);
    const std::uint32_t size = head.rawLong();
    if (head.failed() || size > section.size() - kSentinel - 4) return -1;
    const std::size_t dataEnd = (kSentinel + 4 + std::size_t{size}) * 8;
    if ((release >= Release::R2010 && maintenance > 3) || release > Release::R2013)
        head.rawLong();  // unknown, possibly the high half of a 64-bit size

    // From R2007 the class data has its texts at its end, as an object has.
    RawObject classes;
    classes.data = section;
    classes.release = release;
    if (release >= Release::R2007) {
        // The size in bits of the data and its texts, counted from this field itself.
        const std::size_t sizeAt = head.position();
        const std::uint32_t bits = head.rawLong();
        classes.fieldsBit = head.position();
        if (head.failed() || bits > section.size() * 8 - sizeAt) return -1;
        classes.handleStreamBit = sizeAt + bits;
        if (!locateStrings(classes)) return -1;
    } else {
        classes.fieldsBit = head.position();
        classes.handleStreamBit = dataEnd;
    }
    if (head.failed() || classes.handleStreamBit > section.size() * 8) return -1;
    ObjectStreams in(classes);
    // Where the class records end: the texts, or the flag bit before the end.
    const std::size_t end = release < Release::R2007 ? dataEnd
                            : classes.stringsEnd > classes.stringsBegin
                                ? classes.stringsBegin
                                : classes.handleStreamBit - 1;
    in.data.bitShort();  // the highest class number
    in.data.rawChar();
    in.data.rawChar();
    in.data.bit();
    return findInRecords(in, end, dxfName);
}

}  // namespace drawing::dwg
