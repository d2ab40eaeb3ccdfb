// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/reference_objects.h"

namespace drawing::dwg {

namespace {

// The fields of an embedded multiline text up to its contents (the text itself is the
// next text of the object).
void skipMTextFields(ObjectStreams& in) {
    BitReader& data = in.data;
    data.bitPoint3();                                  // insertion point
    data.bitPoint3();                                  // extrusion
    data.bitPoint3();                                  // x direction
    data.bitDouble();                                  // rectangle width
    if (in.atLeast(Release::R2007)) data.bitDouble();  // rectangle height
    data.bitDouble();                                  // text height
    data.bitShort();                                   // attachment
    data.bitShort();                                   // drawing direction
    data.bitDouble();                                  // extents height
    data.bitDouble();                                  // extents width
}

}  // namespace

bool readInsert(const RawObject& object, InsertObject& out) {
    ObjectStreams in(object);
    BitReader& data = in.data;
    if (!readEntityData(in, out.common)) return false;
    out.ocsPoint = data.bitPoint3();
    // R13 and R14 store the three scales plainly; from R2000 a flag says which are stored.
    const unsigned scaleFlags = in.atLeast(Release::R2000) ? data.twoBits() : 4;
    switch (scaleFlags) {
        case 0:
            out.xScale = data.rawDouble();
            out.yScale = data.defaultDouble(out.xScale);
            out.zScale = data.defaultDouble(out.xScale);
            break;
        case 1:
            out.xScale = 1.0;
            out.yScale = data.defaultDouble(1.0);
            out.zScale = data.defaultDouble(1.0);
            break;
        case 2:
            out.xScale = data.rawDouble();
            out.yScale = out.zScale = out.xScale;
            break;
        case 4:
            out.xScale = data.bitDouble();
            out.yScale = data.bitDouble();
            out.zScale = data.bitDouble();
            break;
        default:
            break;
    }
    out.rotation = data.bitDouble();
    out.extrusion = data.bitPoint3();
    out.hasAttributes = data.bit() != 0;
    std::uint32_t owned = 0;
    if (out.hasAttributes && in.atLeast(Release::R2004))
        owned = static_cast<std::uint32_t>(data.bitLong());
    if (object.type == type::kMInsert) {
        out.columns = data.bitShort();
        out.rows = data.bitShort();
        data.bitDouble();  // column spacing
        data.bitDouble();  // row spacing
    }
    if (data.failed() || !readEntityHandles(in, out.common)) return false;
    BitReader& handles = in.handles;
    const std::uint64_t self = out.common.handle;
    out.block = handles.handle().resolve(self);
    if (out.hasAttributes) {
        if (in.atLeast(Release::R2004)) {
            // Each reference takes at least one byte: a count beyond the stream is corrupt.
            if (owned > handles.remaining() / 8) return false;
            out.ownedAttributes.reserve(owned);
            for (std::uint32_t i = 0; i < owned; ++i)
                out.ownedAttributes.push_back(handles.handle().resolve(self));
        } else {
            out.firstAttribute = handles.handle().resolve(self);
            out.lastAttribute = handles.handle().resolve(self);
        }
        handles.handle();  // SEQEND
    }
    return !handles.failed();
}

bool readAttrib(const RawObject& object, AttribObject& out) {
    ObjectStreams in(object);
    BitReader& data = in.data;
    if (!readEntityData(in, out.common)) return false;
    if (!in.atLeast(Release::R2000)) {
        // R13 and R14: every field of the text part is stored.
        data.bitDouble();                              // elevation
        for (int i = 0; i < 4; ++i) data.rawDouble();  // insertion and alignment points
        data.bitPoint3();                              // extrusion
        for (int i = 0; i < 5; ++i) data.bitDouble();  // thickness, angles, height, width
        out.value = in.text(&out.valueField);
        for (int i = 0; i < 3; ++i) data.bitShort();  // generation and alignments
        out.tag = in.text();
        out.handleStreamField = in.handleStreamField();
        return !in.failed() && readEntityHandles(in, out.common);
    }
    // The text part: each flag bit set means the field is left out at its default.
    const unsigned flags = data.rawChar();
    if (!(flags & 0x01)) data.rawDouble();  // elevation
    const double x = data.rawDouble();
    const double y = data.rawDouble();
    if (!(flags & 0x02)) {  // alignment point
        data.defaultDouble(x);
        data.defaultDouble(y);
    }
    data.extrusion();
    data.thickness();
    if (!(flags & 0x04)) data.rawDouble();  // oblique angle
    if (!(flags & 0x08)) data.rawDouble();  // rotation
    data.rawDouble();                       // height
    if (!(flags & 0x10)) data.rawDouble();  // width factor
    out.value = in.text(&out.valueField);
    if (!(flags & 0x20)) data.bitShort();            // generation
    if (!(flags & 0x40)) data.bitShort();            // horizontal alignment
    if (!(flags & 0x80)) data.bitShort();            // vertical alignment
    if (in.atLeast(Release::R2010)) data.rawChar();  // version
    if (in.atLeast(Release::R2018)) {
        const unsigned kind = data.rawChar();
        // 2 and 4: multiline, the value being an embedded MTEXT written from its entity
        // mode on; the single-line value above is only its first line.
        if (kind == 2 || kind == 4) {
            EntityCommon embedded;
            readEntityMode(in, embedded);
            skipMTextFields(in);
            out.value = in.text(&out.multilineField);
            out.multiline = true;
        }
    }
    out.tag = in.text();
    out.handleStreamField = in.handleStreamField();
    return !in.failed() && readEntityHandles(in, out.common);
}

bool readEntityLinks(const RawObject& object, EntityCommon& out) {
    ObjectStreams in(object);
    return readEntityData(in, out) && readEntityHandles(in, out);
}

}  // namespace drawing::dwg
