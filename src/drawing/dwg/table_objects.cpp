// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/table_objects.h"

namespace drawing::dwg {

bool readEntryName(const RawObject& object, std::string& name, std::uint64_t* extensionDictionary) {
    ObjectStreams in(object);
    ObjectCommon common;
    if (!readObjectCommon(in, common)) return false;
    if (extensionDictionary) *extensionDictionary = common.extensionDictionary;
    name = in.text();
    return !in.failed();
}

bool readBlockHeader(const RawObject& object, BlockHeaderObject& out) {
    ObjectStreams in(object);
    BitReader& data = in.data;
    BitReader& handles = in.handles;
    if (!readObjectCommon(in, out.common, &out.extendedData)) return false;
    out.name = in.text();
    if (in.atLeast(Release::R2007)) {
        data.bitShort();  // external reference index + 1, with the dependency flag
    } else {
        data.bit();       // 64-flag
        data.bitShort();  // external reference index + 1
        data.bit();       // depends on an external reference
    }
    data.bit();  // anonymous
    data.bit();  // has attribute definitions
    const bool isXref = data.bit() != 0;
    const bool isOverlaid = data.bit() != 0;
    if (in.atLeast(Release::R2000)) data.bit();  // loaded
    const bool ownsEntities = !isXref && !isOverlaid;
    std::uint32_t owned = 0;
    if (in.atLeast(Release::R2004) && ownsEntities)
        owned = static_cast<std::uint32_t>(data.bitLong());
    data.bitPoint3();
    in.text();  // external reference path
    // From R2000: one non-zero byte per INSERT that refers to the block, then a zero; the
    // description and the preview.
    std::size_t inserts = 0;
    if (in.atLeast(Release::R2000)) {
        while (data.rawChar() != 0 && !data.failed()) ++inserts;
        in.text();  // description
        const std::uint32_t preview = static_cast<std::uint32_t>(data.bitLong());
        data.skipBits(std::size_t{preview} * 8);
    }
    if (in.atLeast(Release::R2007)) {
        data.bitShort();  // insert units
        data.bit();       // explodable
        data.rawChar();   // scaling
    }
    // Each reference takes at least one byte: a count beyond the stream is corrupt.
    if (data.failed() || owned > handles.remaining() / 8) return false;

    const std::uint64_t self = out.common.handle;
    handles.handle();  // the external reference block (null)
    handles.handle();  // the BLOCK entity
    if (in.atLeast(Release::R2004)) {
        out.entities.reserve(owned);
        for (std::uint32_t i = 0; i < owned; ++i)
            out.entities.push_back(handles.handle().resolve(self));
    } else if (ownsEntities) {
        out.firstEntity = handles.handle().resolve(self);
        out.lastEntity = handles.handle().resolve(self);
    }
    handles.handle();  // the ENDBLK entity
    // R13 and R14 have neither the references nor layouts.
    if (!in.atLeast(Release::R2000)) return !handles.failed();
    for (std::size_t i = 0; i < inserts && !handles.failed(); ++i) handles.handle();
    out.layout = handles.handle().resolve(self);
    // The layout is a convenience; a block whose references end early still reads.
    if (handles.failed()) out.layout = 0;
    return true;
}

bool readBlockControl(const RawObject& object, BlockControlObject& out) {
    ObjectStreams in(object);
    BitReader& data = in.data;
    BitReader& handles = in.handles;
    ObjectCommon common;
    if (!readObjectCommon(in, common)) return false;
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

bool readLayout(const RawObject& object, LayoutObject& out) {
    ObjectStreams in(object);
    BitReader& data = in.data;
    ObjectCommon common;
    if (!readObjectCommon(in, common)) return false;
    // The plot settings part, then the layout's name and its tab order.
    in.text();                                     // page setup name
    in.text();                                     // printer or configuration
    data.bitShort();                               // plot layout flags
    for (int i = 0; i < 6; ++i) data.bitDouble();  // margins, paper width and height
    in.text();                                     // paper size
    data.bitDouble();                              // plot origin
    data.bitDouble();
    data.bitShort();                               // paper units
    data.bitShort();                               // plot rotation
    data.bitShort();                               // plot type
    for (int i = 0; i < 4; ++i) data.bitDouble();  // window corners
    // From R2004 the plot view is a reference instead of a name.
    if (!in.atLeast(Release::R2004)) in.text();
    data.bitDouble();  // real world units
    data.bitDouble();  // drawing units
    in.text();         // current style sheet
    data.bitShort();   // scale type
    data.bitDouble();  // scale factor
    data.bitDouble();  // paper image origin
    data.bitDouble();
    if (in.atLeast(Release::R2004)) {
        data.bitShort();  // shade plot mode
        data.bitShort();  // shade plot resolution
        data.bitShort();  // shade plot dots per inch
    }
    out.name = in.text();
    out.tabOrder = data.bitLong();
    return !in.failed();
}

}  // namespace drawing::dwg
