// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/reader_objects.h"

#include "drawing/reader_errors.h"
#include "drawing/selection_filter.h"

namespace drawing {

core::Result<acad::AttributeArray> ReaderBlockReference::GetAttributes() const {
    acad::AttributeArray attributes;
    attributes.reserve(m_record.attributeCount);
    for (std::uint32_t i = 0; i < m_record.attributeCount; ++i) {
        attributes.push_back(std::make_shared<ReaderAttribute>(
            m_drawing, m_drawing->attributes[m_record.firstAttribute + i]));
    }
    return attributes;
}

core::Result<QString> ReaderBlockReference::Objectname() const {
    return m_record.minsert ? QStringLiteral("AcDbMInsertBlock")
                            : QStringLiteral("AcDbBlockReference");
}

core::Status ReaderSelectionSet::Select(int mode, const std::vector<qint16>& types,
                                        const std::vector<QVariant>& data) {
    if (mode != acad::kSelectAll)
        return core::Error{errors::kBadArgument,
                           QStringLiteral("selection mode %1 is not supported").arg(mode)};
    auto filter = SelectionFilter::parse(types, data);
    if (!filter) return filter.error();
    m_selected.clear();
    // The enumeration order is the drawing's: model space in file order, then each
    // paper-space layout in tab order, each in file order.
    for (std::uint32_t index : m_drawing->enumeration)
        if (filter.value().matches(m_drawing->inserts[index])) m_selected.push_back(index);
    return core::success();
}

core::Result<std::shared_ptr<const acad::BlockReference>> ReaderSelectionSet::Item(
    int index) const {
    if (index < 0 || index >= Count())
        return core::Error{errors::kBadIndex,
                           QStringLiteral("selection set index %1 out of range").arg(index)};
    return std::shared_ptr<const acad::BlockReference>(std::make_shared<ReaderBlockReference>(
        m_drawing, m_drawing->inserts[m_selected[static_cast<std::size_t>(index)]]));
}

}  // namespace drawing
