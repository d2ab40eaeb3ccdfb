#include "engine/drawing/dwg/table_objects.h"

namespace drawing::dwg {

bool readEntryName(const RawObject& object, std::string& name) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    ObjectCommon common;
    if (!readObjectCommon(data, handles, common)) return false;
    name = data.text();
    return !data.failed();
}

bool readBlockHeader(const RawObject& object, BlockHeaderObject& out) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    if (!readObjectCommon(data, handles, out.common)) return false;
    out.name = data.text();
    data.bit();       // 64-flag
    data.bitShort();  // external reference index + 1
    data.bit();       // depends on an external reference
    data.bit();       // anonymous
    data.bit();       // has attribute definitions
    const bool isXref = data.bit() != 0;
    const bool isOverlaid = data.bit() != 0;
    data.bit();  // loaded
    data.bitPoint3();
    data.text();  // external reference path
    // One non-zero byte per INSERT that refers to the block, then a zero.
    std::size_t inserts = 0;
    while (data.rawChar() != 0 && !data.failed()) ++inserts;
    data.text();  // description
    const std::uint32_t preview = static_cast<std::uint32_t>(data.bitLong());
    data.skipBits(std::size_t{preview} * 8);
    if (data.failed()) return false;

    const std::uint64_t self = out.common.handle;
    handles.handle();  // the external reference block (null)
    handles.handle();  // the BLOCK entity
    if (!isXref && !isOverlaid) {
        out.firstEntity = handles.handle().resolve(self);
        out.lastEntity = handles.handle().resolve(self);
    }
    handles.handle();  // the ENDBLK entity
    for (std::size_t i = 0; i < inserts && !handles.failed(); ++i) handles.handle();
    out.layout = handles.handle().resolve(self);
    // The layout is a convenience; a block whose references end early still reads.
    if (handles.failed()) out.layout = 0;
    return true;
}

bool readBlockControl(const RawObject& object, BlockControlObject& out) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    ObjectCommon common;
    if (!readObjectCommon(data, handles, common)) return false;
    const std::uint32_t count = static_cast<std::uint32_t>(data.bitLong());
    // Each reference takes at least one byte: a count beyond the stream is corrupt.
    if (data.failed() || count > handles.remaining() / 8) return false;
    out.entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        out.entries.push_back(handles.handle().resolve(common.handle));
    out.modelSpace = handles.handle().resolve(common.handle);
    out.paperSpace = handles.handle().resolve(common.handle);
    return !handles.failed();
}

bool readLayoutTabOrder(const RawObject& object, long long& tabOrder) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    ObjectCommon common;
    if (!readObjectCommon(data, handles, common)) return false;
    // The plot settings part, then the layout's name and its tab order.
    data.text();                                   // page setup name
    data.text();                                   // printer or configuration
    data.bitShort();                               // plot layout flags
    for (int i = 0; i < 6; ++i) data.bitDouble();  // margins, paper width and height
    data.text();                                   // paper size
    data.bitDouble();                              // plot origin
    data.bitDouble();
    data.bitShort();                               // paper units
    data.bitShort();                               // plot rotation
    data.bitShort();                               // plot type
    for (int i = 0; i < 4; ++i) data.bitDouble();  // window corners
    data.text();                                   // plot view name
    data.bitDouble();                              // real world units
    data.bitDouble();                              // drawing units
    data.text();                                   // current style sheet
    data.bitShort();                               // scale type
    data.bitDouble();                              // scale factor
    data.bitDouble();                              // paper image origin
    data.bitDouble();
    data.text();  // layout name
    tabOrder = data.bitLong();
    return !data.failed();
}

}  // namespace drawing::dwg
