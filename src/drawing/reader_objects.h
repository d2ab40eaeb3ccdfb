// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The automation objects over a read drawing: block references, their attributes and the
// selection sets that enumerate them. Each object holds the drawing, so it stays valid after
// its document is closed.

#include <memory>

#include "drawing/drawing_model.h"
#include "engine/automation/automation.h"

namespace drawing {

class ReaderAttribute : public acad::AttributeReference {
public:
    ReaderAttribute(std::shared_ptr<const Drawing> drawing, const AttributeRecord& record)
        : m_drawing(std::move(drawing)), m_record(record) {}
    core::Result<QString> TagString() const override { return m_record.tag; }
    core::Result<QString> TextString() const override { return m_record.text; }
    core::Result<QString> Handle() const override { return m_record.handle.toQString(); }

private:
    std::shared_ptr<const Drawing> m_drawing;
    const AttributeRecord& m_record;
};

class ReaderBlockReference : public acad::BlockReference {
public:
    ReaderBlockReference(std::shared_ptr<const Drawing> drawing, const InsertRecord& record)
        : m_drawing(std::move(drawing)), m_record(record) {}
    core::Result<QString> Name() const override { return m_record.name; }
    core::Result<QString> EffectiveName() const override {
        return m_record.effectiveName.isEmpty() ? m_record.name : m_record.effectiveName;
    }
    core::Result<QString> Layer() const override { return m_record.layer; }
    // True when the reference says attributes follow (66 = 1), even if none does: the
    // array is then empty.
    core::Result<bool> HasAttributes() const override { return m_record.attributesFollow; }
    core::Result<acad::AttributeArray> GetAttributes() const override;
    core::Result<qint64> OwnerID() const override { return m_record.ownerId; }
    core::Result<qint64> ObjectID() const override { return handleValue(m_record.handle.view()); }
    core::Result<QString> Objectname() const override;
    core::Result<QString> Handle() const override { return m_record.handle.toQString(); }
    core::Result<int> Color() const override { return m_record.color; }
    core::Result<QString> Linetype() const override { return m_record.linetype; }
    core::Result<double> Rotation() const override { return m_record.rotation; }
    core::Result<bool> Visible() const override { return m_record.visible; }
    core::Result<double> XScaleFactor() const override { return m_record.xScale; }
    core::Result<double> YScaleFactor() const override { return m_record.yScale; }
    core::Result<double> ZScaleFactor() const override { return m_record.zScale; }
    core::Result<double> LinetypeScale() const override { return m_record.linetypeScale; }
    core::Result<int> Lineweight() const override { return m_record.lineweight; }
    core::Result<bool> HasExtensionDictionary() const override {
        return m_record.hasExtensionDictionary;
    }
    core::Result<acad::Point3> InsertionPoint() const override { return m_record.insertion; }

private:
    std::shared_ptr<const Drawing> m_drawing;
    const InsertRecord& m_record;
};

class ReaderSelectionSet : public acad::SelectionSet {
public:
    explicit ReaderSelectionSet(std::shared_ptr<const Drawing> drawing)
        : m_drawing(std::move(drawing)) {}
    core::Status Select(int mode, const std::vector<qint16>& types,
                        const std::vector<QVariant>& data) override;
    int Count() const override { return static_cast<int>(m_selected.size()); }
    core::Result<std::shared_ptr<const acad::BlockReference>> Item(int index) const override;

private:
    std::shared_ptr<const Drawing> m_drawing;
    std::vector<std::uint32_t> m_selected;  // indices into Drawing::inserts
};

}  // namespace drawing
