// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The drawing interfaces over a read drawing: block references and their attributes. Each
// object holds the drawing, so it stays valid as long as anyone holds the object.

#include <memory>

#include "drawing/drawing_model.h"
#include "engine/drawing_api/drawing_api.h"

namespace drawing {

class ReaderAttribute : public drawingapi::Attribute {
public:
    ReaderAttribute(std::shared_ptr<const Drawing> drawing, const AttributeRecord& record)
        : m_drawing(std::move(drawing)), m_record(record) {}
    core::Result<QString> tag() const override { return m_record.tag; }
    core::Result<QString> value() const override { return m_record.text; }
    core::Result<QString> handle() const override { return m_record.handle.toQString(); }

private:
    std::shared_ptr<const Drawing> m_drawing;
    const AttributeRecord& m_record;
};

class ReaderBlockReference : public drawingapi::BlockReference {
public:
    ReaderBlockReference(std::shared_ptr<const Drawing> drawing, const InsertRecord& record)
        : m_drawing(std::move(drawing)), m_record(record) {}
    core::Result<QString> name() const override { return m_record.name; }
    core::Result<QString> effectiveName() const override {
        return m_record.effectiveName.isEmpty() ? m_record.name : m_record.effectiveName;
    }
    core::Result<QString> layer() const override { return m_record.layer; }
    // True when the reference says attributes follow (66 = 1), even if none does: the
    // list is then empty.
    core::Result<bool> hasAttributes() const override { return m_record.attributesFollow; }
    core::Result<drawingapi::Attributes> attributes() const override;
    core::Result<qint64> ownerId() const override { return m_record.ownerId; }
    core::Result<qint64> objectId() const override { return handleValue(m_record.handle.view()); }
    core::Result<QString> objectName() const override;
    core::Result<QString> handle() const override { return m_record.handle.toQString(); }
    core::Result<int> color() const override { return m_record.color; }
    core::Result<QString> linetype() const override { return m_record.linetype; }
    core::Result<double> rotation() const override { return m_record.rotation; }
    core::Result<bool> visible() const override { return m_record.visible; }
    core::Result<double> xScale() const override { return m_record.xScale; }
    core::Result<double> yScale() const override { return m_record.yScale; }
    core::Result<double> zScale() const override { return m_record.zScale; }
    core::Result<double> linetypeScale() const override { return m_record.linetypeScale; }
    core::Result<int> lineweight() const override { return m_record.lineweight; }
    core::Result<bool> hasExtensionDictionary() const override {
        return m_record.hasExtensionDictionary;
    }
    core::Result<drawingapi::Point3> insertionPoint() const override {
        const Point3& p = m_record.insertion;
        return drawingapi::Point3{p.x, p.y, p.z};
    }

private:
    std::shared_ptr<const Drawing> m_drawing;
    const InsertRecord& m_record;
};

// The block references of one space of a read drawing, in enumeration order; with a layer,
// only those on it, letter case ignored.
drawingapi::BlockReferences blockReferencesOf(const std::shared_ptr<const Drawing>& drawing,
                                              drawingapi::Space space, const QString& layer = {});

}  // namespace drawing
