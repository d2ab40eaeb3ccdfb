// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One object of a DWG file: its size, type and the streams it is written in (the data, the
// handle references from the bit the object's header names and, from R2007, the texts at
// the end of the data), plus the parts every object and every entity share. Each release
// adds or moves a few fields; Release says which layout applies.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/bit_reader.h"

namespace drawing::dwg {

enum class Release { R13, R14, R2000, R2004, R2007, R2010, R2013, R2018 };

// The release of a file starting with `head` ("AC1032..."); nothing for a release not listed.
std::optional<Release> releaseOf(std::string_view head);

namespace type {
inline constexpr int kText = 1;
inline constexpr int kAttrib = 2;
inline constexpr int kSeqEnd = 6;
inline constexpr int kInsert = 7;
inline constexpr int kMInsert = 8;
inline constexpr int kXLine = 0x29;  // the last of the first run of entity types
inline constexpr int kOleFrame = 0x2B;
inline constexpr int kMLine = 0x2F;  // the last of the second run
inline constexpr int kOle2Frame = 0x4A;
inline constexpr int kLwPolyline = 0x4D;
inline constexpr int kHatch = 0x4E;
inline constexpr int kProxyEntity = 498;
inline constexpr int kBlockControl = 0x30;
inline constexpr int kBlockHeader = 0x31;
inline constexpr int kLayer = 0x33;
inline constexpr int kLinetype = 0x39;
inline constexpr int kDictionary = 0x2A;
inline constexpr int kAppId = 0x43;
inline constexpr int kXRecord = 0x4F;  // or a class number; see Classes
inline constexpr int kLayout = 0x52;   // usually a class number instead; see Classes
// Types from here on are numbered per drawing by its classes section.
inline constexpr int kFirstClass = 500;
}  // namespace type

// Bits [begin, end) of an object's data.
struct BitSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The bit of an object's data where it says where its handle references start (R13 to R2007);
// kNoField where it does not say it there.
inline constexpr std::size_t kNoField = static_cast<std::size_t>(-1);

struct RawObject {
    std::string_view data;  // the object's bytes after its size
    int type = 0;
    Release release = Release::R2000;
    std::size_t fieldsBit = 0;  // where the object's own handle starts
    // Where its handle references start; R13 and R14 say it within the object's data, so
    // until ObjectStreams::readHandleStreamStart() it is the end of the object.
    std::size_t handleStreamBit = 0;
    std::size_t handleStreamField = kNoField;  // R2000 to R2007: the RL after the type
    // R2007 and later: the bits holding the object's texts; empty when it has none.
    std::size_t stringsBegin = 0;
    std::size_t stringsEnd = 0;
};

// The readers of one object's streams. Texts are read with text(), which takes them from
// the data stream before R2007 and from the string stream after.
class ObjectStreams {
public:
    explicit ObjectStreams(const RawObject& object);

    BitReader data;
    BitReader handles;
    BitReader strings;
    Release release;

    // `field`, when given, receives the bits the text takes in its stream, length included.
    std::string text(BitSpan* field = nullptr);
    bool atLeast(Release r) const { return release >= r; }
    bool failed() const { return data.failed() || handles.failed() || strings.failed(); }
    // R13 and R14 say where the handle references start only after the object's handle and
    // extended data (and an entity's graphic): reads that size there and splits the streams.
    // Later releases said it before; nothing to do for them.
    bool readHandleStreamStart();
    // Where the object says where its handle references start; R13 and R14 say it after the
    // common part, so this is known only after readHandleStreamStart().
    std::size_t handleStreamField() const { return m_handleStreamField; }

private:
    std::string_view m_bytes;
    bool m_hasStrings;
    std::size_t m_handleStreamField;
};

// The object at `offset` of `objects` (the whole file up to R2000, the objects section
// after), its check value verified; nothing and `problem` set when it does not fit or is
// corrupt.
std::optional<RawObject> readRawObject(std::string_view objects, std::uint32_t offset,
                                       Release release, bool verifyCheckValue, QString& problem);
// From R2007 the texts of an object sit at the end of its data, before the handles: the last
// data bit says whether there are any, and the 16 bits before it (32 for a long stream) give
// their length in bits. Sets the object's string bounds; false when they lie outside it.
bool locateStrings(RawObject& object);
// Only the type of the object at `offset`, or -1; no check value is verified.
int peekType(std::string_view objects, std::uint32_t offset, Release release);

// One block of an object's extended data: the APPID it belongs to and its items, as stored.
struct ExtendedData {
    std::uint64_t application = 0;
    std::string items;
};

// The first entity handle (an item of DXF group 1005) among extended data items, or 0.
// From R2007 the texts among them are UTF-16.
std::uint64_t firstHandleItem(std::string_view items, Release release);

// What every object starts with. Reading it leaves the data stream at the object's own
// fields and the handle stream at the object's own references.
struct ObjectCommon {
    std::uint64_t handle = 0;
    std::uint64_t owner = 0;
    bool hasExtensionDictionary = false;
    std::uint64_t extensionDictionary = 0;  // its handle; 0 when it has none
};
// `extendedData`, when given, receives the object's extended data; otherwise it is skipped.
bool readObjectCommon(ObjectStreams& in, ObjectCommon& out,
                      std::vector<ExtendedData>* extendedData = nullptr);

// What every entity starts with.
struct EntityCommon {
    std::uint64_t handle = 0;
    unsigned mode = 0;  // 0: the owner is in the handles, 1: paper space, 2: model space
    bool noLinks = true;
    bool extensionDictionaryMissing = false;
    int color = 256;
    bool colorBook = false;  // a colour-book colour: its handle comes with the references
    double linetypeScale = 1;
    // 0 ByLayer, 1 ByBlock, 2 Continuous, 3 a handle follows (R13 and R14: ByLayer or a handle)
    unsigned linetypeFlags = 0;
    unsigned materialFlags = 0;
    unsigned plotStyleFlags = 0;
    unsigned visualStyles = 0;  // how many visual style handles follow (R2010)
    bool invisible = false;
    int lineweight = -1;  // as in DXF group 370; R13 and R14 have none (ByLayer)
    std::uint32_t reactors = 0;
    // From the handle stream:
    std::uint64_t owner = 0;  // 0 unless mode is 0
    bool hasExtensionDictionary = false;
    std::uint64_t extensionDictionary = 0;  // its handle; 0 when it has none
    std::uint64_t previous = 0;             // before R2004 only: the entity chain
    std::uint64_t next = 0;
    std::uint64_t layer = 0;
    std::uint64_t linetype = 0;
};
// Reads the common data part; the data stream is left at the entity's own fields.
bool readEntityData(ObjectStreams& in, EntityCommon& out);
// The part from the entity mode on; an R2018 multiline attribute repeats it for its text.
bool readEntityMode(ObjectStreams& in, EntityCommon& out);
// Reads the common references; the handle stream is left at the entity's own references.
bool readEntityHandles(ObjectStreams& in, EntityCommon& out);

}  // namespace drawing::dwg
