// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/classes.h"

#include <functional>

#include "drawing/dwg/bit_reader.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kSentinel = 16;

constexpr int kEntityClass = 0x1F2;
// Type numbers are 16-bit; a corrupt number beyond is ignored rather than sized for.
constexpr int kMaxClasses = 0x10000 - type::kFirstClass;

// Called with each class record's number, DXF name and item class id; true stops the walk.
using RecordVisitor = std::function<bool(int, const std::string&, int)>;

// The class records from the reader's position up to the bit `end`.
void walkRecords(ObjectStreams& in, std::size_t end, const RecordVisitor& visit) {
    BitReader& data = in.data;
    // The last byte may hold padding bits only.
    while (!in.failed() && data.position() + 8 < end) {
        const int number = data.bitShort();
        data.bitShort();  // proxy flags (R2000: version)
        in.text();        // application name
        in.text();        // C++ class name
        const std::string name = in.text();
        data.bit();  // was a zombie
        const int itemClass = data.bitShort();
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
        if (!in.failed() && visit(number, name, itemClass)) return;
    }
}

int findInRecords(ObjectStreams& in, std::size_t end, std::string_view dxfName) {
    int found = -1;
    walkRecords(in, end, [&](int number, const std::string& name, int) {
        if (name != dxfName) return false;
        found = number;
        return true;
    });
    return found;
}

ClassTypes typesInRecords(ObjectStreams& in, std::size_t end) {
    ClassTypes types;
    walkRecords(in, end, [&](int number, const std::string& name, int itemClass) {
        if (name == "LAYOUT" && types.layout < 0) types.layout = number;
        if (name == "XRECORD" && types.xrecord < 0) types.xrecord = number;
        if (itemClass == kEntityClass && number >= type::kFirstClass &&
            number < type::kFirstClass + kMaxClasses) {
            const auto index = static_cast<std::size_t>(number - type::kFirstClass);
            if (types.entities.size() <= index) types.entities.resize(index + 1);
            types.entities[index] = true;
        }
        return false;
    });
    return types;
}

// The class records of an R2000 classes section, or false when it cannot be read.
bool openFlatRecords(std::string_view file, const SectionLocation& where, RawObject& classes) {
    if (!where.present || where.offset > file.size() || file.size() - where.offset < kSentinel + 4)
        return false;
    BitReader head(file, (where.offset + kSentinel) * 8, file.size() * 8);
    const std::uint32_t size = head.rawLong();
    const std::size_t start = where.offset + kSentinel + 4;
    if (head.failed() || size > file.size() - start) return false;
    classes.data = file;
    classes.fieldsBit = start * 8;
    classes.handleStreamBit = (start + size) * 8;
    return true;
}

// The class records of a paged release's classes section, the reader placed at the first;
// false when the section cannot be read.
bool openPagedRecords(std::string_view section, Release release, unsigned maintenance,
                      RawObject& classes, std::size_t& end) {
    if (section.size() < kSentinel + 4) return false;
    BitReader head(section, kSentinel * 8, section.size() * 8);
    const std::uint32_t size = head.rawLong();
    if (head.failed() || size > section.size() - kSentinel - 4) return false;
    const std::size_t dataEnd = (kSentinel + 4 + std::size_t{size}) * 8;
    if ((release >= Release::R2010 && maintenance > 3) || release > Release::R2013)
        head.rawLong();  // unknown, possibly the high half of a 64-bit size

    // From R2007 the class data has its texts at its end, as an object has.
    classes.data = section;
    classes.release = release;
    if (release >= Release::R2007) {
        // The size in bits of the data and its texts, counted from this field itself.
        const std::size_t sizeAt = head.position();
        const std::uint32_t bits = head.rawLong();
        classes.fieldsBit = head.position();
        if (head.failed() || bits > section.size() * 8 - sizeAt) return false;
        classes.handleStreamBit = sizeAt + bits;
        if (!locateStrings(classes)) return false;
    } else {
        classes.fieldsBit = head.position();
        classes.handleStreamBit = dataEnd;
    }
    if (head.failed() || classes.handleStreamBit > section.size() * 8) return false;
    // Where the class records end: the texts, or the flag bit before the end.
    end = release < Release::R2007                    ? dataEnd
          : classes.stringsEnd > classes.stringsBegin ? classes.stringsBegin
                                                      : classes.handleStreamBit - 1;
    return true;
}

// The paged releases put a few fields before the first record.
void skipPagedPreamble(ObjectStreams& in) {
    in.data.bitShort();  // the highest class number
    in.data.rawChar();
    in.data.rawChar();
    in.data.bit();
}

}  // namespace

bool ClassTypes::isEntity(int type) const {
    const int index = type - type::kFirstClass;
    return index >= 0 && static_cast<std::size_t>(index) < entities.size() &&
           entities[static_cast<std::size_t>(index)];
}

int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName) {
    RawObject classes;
    if (!openFlatRecords(file, where, classes)) return -1;
    ObjectStreams in(classes);
    return findInRecords(in, classes.handleStreamBit, dxfName);
}

int findClassNumber(std::string_view section, Release release, unsigned maintenance,
                    std::string_view dxfName) {
    RawObject classes;
    std::size_t end = 0;
    if (!openPagedRecords(section, release, maintenance, classes, end)) return -1;
    ObjectStreams in(classes);
    skipPagedPreamble(in);
    return findInRecords(in, end, dxfName);
}

ClassTypes readClassTypes(std::string_view file, const SectionLocation& where) {
    RawObject classes;
    if (!openFlatRecords(file, where, classes)) return {};
    ObjectStreams in(classes);
    return typesInRecords(in, classes.handleStreamBit);
}

ClassTypes readClassTypes(std::string_view section, Release release, unsigned maintenance) {
    RawObject classes;
    std::size_t end = 0;
    if (!openPagedRecords(section, release, maintenance, classes, end)) return {};
    ObjectStreams in(classes);
    skipPagedPreamble(in);
    return typesInRecords(in, end);
}

}  // namespace drawing::dwg
