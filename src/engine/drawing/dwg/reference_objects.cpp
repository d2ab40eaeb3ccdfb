#include "engine/drawing/dwg/reference_objects.h"

namespace drawing::dwg {

bool readInsert(const RawObject& object, InsertObject& out) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    if (!readEntityData(data, out.common)) return false;
    out.ocsPoint = data.bitPoint3();
    switch (data.twoBits()) {
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
        default:
            break;
    }
    out.rotation = data.bitDouble();
    out.extrusion = data.bitPoint3();
    out.hasAttributes = data.bit() != 0;
    if (object.type == type::kMInsert) {
        out.columns = data.bitShort();
        out.rows = data.bitShort();
        data.bitDouble();  // column spacing
        data.bitDouble();  // row spacing
    }
    if (data.failed() || !readEntityHandles(handles, out.common)) return false;
    const std::uint64_t self = out.common.handle;
    out.block = handles.handle().resolve(self);
    if (out.hasAttributes) {
        out.firstAttribute = handles.handle().resolve(self);
        out.lastAttribute = handles.handle().resolve(self);
        handles.handle();  // SEQEND
    }
    return !handles.failed();
}

bool readAttrib(const RawObject& object, AttribObject& out) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    if (!readEntityData(data, out.common)) return false;
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
    out.value = data.text();
    if (!(flags & 0x20)) data.bitShort();  // generation
    if (!(flags & 0x40)) data.bitShort();  // horizontal alignment
    if (!(flags & 0x80)) data.bitShort();  // vertical alignment
    out.tag = data.text();
    return !data.failed() && readEntityHandles(handles, out.common);
}

bool readEntityLinks(const RawObject& object, EntityCommon& out) {
    BitReader data = object.dataStream();
    BitReader handles = object.handleStream();
    return readEntityData(data, out) && readEntityHandles(handles, out);
}

}  // namespace drawing::dwg
