// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/reader_objects.h"

namespace drawing {

core::Result<drawingapi::Attributes> ReaderBlockReference::attributes() const {
    drawingapi::Attributes attributes;
    attributes.reserve(m_record.attributeCount);
    for (std::uint32_t i = 0; i < m_record.attributeCount; ++i) {
        attributes.push_back(std::make_shared<ReaderAttribute>(
            m_drawing, m_drawing->attributes[m_record.firstAttribute + i]));
    }
    return attributes;
}

core::Result<QString> ReaderBlockReference::objectName() const {
    return m_record.minsert ? QStringLiteral("AcDbMInsertBlock")
                            : QStringLiteral("AcDbBlockReference");
}

drawingapi::BlockReferences blockReferencesOf(const std::shared_ptr<const Drawing>& drawing,
                                              drawingapi::Space space, const QString& layer) {
    const bool paper = space == drawingapi::Space::Paper;
    drawingapi::BlockReferences references;
    // The enumeration order is the drawing's: model space in file order, then each
    // paper-space layout in tab order, each in file order.
    for (std::uint32_t index : drawing->enumeration) {
        const InsertRecord& insert = drawing->inserts[index];
        if (insert.paperSpace != paper) continue;
        // Layer names compare ignoring letter case; wildcards are not interpreted.
        if (!layer.isEmpty() && insert.layer.compare(layer, Qt::CaseInsensitive) != 0) continue;
        references.push_back(std::make_shared<ReaderBlockReference>(drawing, insert));
    }
    return references;
}

}  // namespace drawing
