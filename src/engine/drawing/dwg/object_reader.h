#pragma once

// One object of an R2000 file: its size, type and the two streams it is written in (the
// data, then the handle references from the bit the object's header names), plus the
// parts every object and every entity share.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/drawing/dwg/bit_reader.h"

namespace drawing::dwg {

namespace type {
inline constexpr int kAttrib = 2;
inline constexpr int kSeqEnd = 6;
inline constexpr int kInsert = 7;
inline constexpr int kMInsert = 8;
inline constexpr int kBlockControl = 0x30;
inline constexpr int kBlockHeader = 0x31;
inline constexpr int kLayer = 0x33;
inline constexpr int kLinetype = 0x39;
inline constexpr int kLayout = 0x52;  // usually a class number instead; see Classes
}  // namespace type

struct RawObject {
    std::string_view data;  // the object's bytes after its size
    int type = 0;
    std::uint32_t handleStreamBit = 0;

    BitReader dataStream() const { return BitReader(data, 0, handleStreamBit); }
    BitReader handleStream() const { return BitReader(data, handleStreamBit, data.size() * 8); }
};

// The object at `offset` of `file`, its check value verified; nothing and `problem` set
// when it does not fit in the file or is corrupt.
std::optional<RawObject> readRawObject(std::string_view file, std::uint32_t offset,
                                       bool verifyCheckValue, QString& problem);
// Only the type of the object at `offset`, or -1; no check value is verified.
int peekType(std::string_view file, std::uint32_t offset);

// What every object starts with. Reading it leaves `data` at the object's own fields and
// `handles` at the object's own references.
struct ObjectCommon {
    std::uint64_t handle = 0;
    std::uint64_t owner = 0;
    bool hasExtensionDictionary = false;
};
bool readObjectCommon(BitReader& data, BitReader& handles, ObjectCommon& out);

// What every entity starts with (R2000).
struct EntityCommon {
    std::uint64_t handle = 0;
    unsigned mode = 0;  // 0: the owner is in the handles, 1: paper space, 2: model space
    bool noLinks = false;
    int color = 256;
    double linetypeScale = 1;
    unsigned linetypeFlags = 0;  // 0 ByLayer, 1 ByBlock, 2 Continuous, 3 a handle follows
    bool invisible = false;
    int lineweight = -1;  // as in DXF group 370
    std::uint32_t reactors = 0;
    unsigned plotStyleFlags = 0;
    // From the handle stream:
    std::uint64_t owner = 0;  // 0 unless mode is 0
    bool hasExtensionDictionary = false;
    std::uint64_t previous = 0;
    std::uint64_t next = 0;
    std::uint64_t layer = 0;
    std::uint64_t linetype = 0;
};
// Reads the common data part; `data` is left at the entity's own fields.
bool readEntityData(BitReader& data, EntityCommon& out);
// Reads the common references; `handles` is left at the entity's own references.
bool readEntityHandles(BitReader& handles, EntityCommon& out);

}  // namespace drawing::dwg
