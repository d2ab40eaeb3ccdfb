// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/objects_edit.h"

namespace drawing::dwg {

std::optional<EditedObjects> editAttributes(std::string_view objects, ObjectMap map,
                                            Release release, const std::vector<AttribEdit>& edits,
                                            QString& problem) {
    EditedObjects result;
    result.objects.assign(objects);
    for (const AttribEdit& edit : edits) {
        const auto offset = map.find(edit.handle);
        if (!offset) {
            problem = QStringLiteral("the object map has no object %1")
                          .arg(QString::number(edit.handle, 16).toUpper());
            return std::nullopt;
        }
        auto object = reencodeAttrib(objects, *offset, release, edit.texts, problem);
        if (!object) return std::nullopt;
        if (result.objects.size() + object->size() > 0x7FFFFFFF) {
            problem = QStringLiteral("the objects would exceed the largest size a DWG file holds");
            return std::nullopt;
        }
        map.move(edit.handle, static_cast<std::uint32_t>(result.objects.size()));
        result.objects += *object;
    }
    result.map = ObjectMap::write(map.entries(), release >= Release::R2004);
    return result;
}

}  // namespace drawing::dwg
