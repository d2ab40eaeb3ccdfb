// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/memory_drawing_model.h"

#include <algorithm>
#include <new>

namespace fake {
namespace {

core::Error failure(const QString& what) {
    return core::Error{-1, QStringLiteral("Memory model told to fail: ") + what};
}

template <typename T>
core::Result<T> read(const MemBlock& block, const char* property, const T& value) {
    if (block.failingProperties.contains(QLatin1String(property))) {
        return failure(QLatin1String(property));
    }
    return value;
}

class MemAttributeRef : public drawingapi::Attribute {
public:
    explicit MemAttributeRef(MemAttribute a) : m_a(std::move(a)) {}
    core::Result<QString> tag() const override {
        if (m_a.tagFails) return failure("tag");
        return m_a.tag;
    }
    core::Result<QString> value() const override {
        if (m_a.textFails) return failure("value");
        return m_a.text;
    }
    core::Result<QString> handle() const override { return m_a.handle; }

private:
    MemAttribute m_a;
};

class MemBlockRef : public drawingapi::BlockReference {
public:
    explicit MemBlockRef(const MemBlock& b) : m_b(b) {}
    core::Result<QString> name() const override { return read(m_b, "name", m_b.name); }
    // An ordinary block's effective name is its name, read the same way.
    core::Result<QString> effectiveName() const override {
        if (m_b.effectiveName.isEmpty()) return name();
        return read(m_b, "effectiveName", m_b.effectiveName);
    }
    core::Result<QString> layer() const override { return read(m_b, "layer", m_b.layer); }
    core::Result<bool> hasAttributes() const override {
        return read(m_b, "hasAttributes", m_b.hasAttributes.value_or(!m_b.attributes.empty()));
    }
    core::Result<drawingapi::Attributes> attributes() const override {
        if (m_b.failingProperties.contains(QStringLiteral("attributes"))) {
            return failure("attributes");
        }
        drawingapi::Attributes list;
        for (const auto& a : m_b.attributes) list.push_back(std::make_shared<MemAttributeRef>(a));
        return list;
    }
    core::Result<qint64> ownerId() const override { return read(m_b, "ownerId", m_b.ownerId); }
    core::Result<qint64> objectId() const override { return read(m_b, "objectId", m_b.objectId); }
    core::Result<QString> objectName() const override {
        return read(m_b, "objectName", m_b.objectName);
    }
    core::Result<QString> handle() const override { return read(m_b, "handle", m_b.handle); }
    core::Result<int> color() const override { return read(m_b, "color", m_b.color); }
    core::Result<QString> linetype() const override { return read(m_b, "linetype", m_b.linetype); }
    core::Result<double> rotation() const override { return read(m_b, "rotation", m_b.rotation); }
    core::Result<bool> visible() const override { return read(m_b, "visible", m_b.visible); }
    core::Result<double> xScale() const override { return read(m_b, "xScale", m_b.xScale); }
    core::Result<double> yScale() const override { return read(m_b, "yScale", m_b.yScale); }
    core::Result<double> zScale() const override { return read(m_b, "zScale", m_b.zScale); }
    core::Result<double> linetypeScale() const override {
        return read(m_b, "linetypeScale", m_b.linetypeScale);
    }
    core::Result<int> lineweight() const override {
        return read(m_b, "lineweight", m_b.lineweight);
    }
    core::Result<bool> hasExtensionDictionary() const override {
        return read(m_b, "hasExtensionDictionary", m_b.hasExtensionDictionary);
    }
    core::Result<drawingapi::Point3> insertionPoint() const override {
        return read(m_b, "insertionPoint", m_b.insertionPoint);
    }

private:
    MemBlock m_b;
};

class MemOpenDrawing : public drawingapi::Drawing {
public:
    MemOpenDrawing(std::shared_ptr<MemoryDrawingModel> model, MemDrawing drawing)
        : m_model(std::move(model)), m_drawing(std::move(drawing)) {}

    core::Result<drawingapi::BlockReferences> blockReferences(drawingapi::Space space,
                                                              const QString& layer) const override {
        m_model->listings.push_back({space, layer});
        if (m_model->fails(Call::BlockReferences)) return failure("blockReferences");
        const bool paper = space == drawingapi::Space::Paper;
        drawingapi::BlockReferences references;
        for (const auto& block : m_drawing.blocks) {
            if (block.paper != paper) continue;
            if (!layer.isEmpty() && block.layer.compare(layer, Qt::CaseInsensitive) != 0) continue;
            references.push_back(std::make_shared<MemBlockRef>(block));
        }
        return references;
    }

private:
    std::shared_ptr<MemoryDrawingModel> m_model;
    MemDrawing m_drawing;
};

class MemReader : public drawingapi::DrawingReader {
public:
    explicit MemReader(std::shared_ptr<MemoryDrawingModel> model) : m_model(std::move(model)) {}

    core::Result<std::shared_ptr<const drawingapi::Drawing>> open(
        const QString& path, const QString& password) override {
        m_model->opens.push_back({path, password});
        if (m_model->fails(Call::Open)) return failure("open");
        const MemDrawing* drawing = m_model->drawing(path);
        if (!drawing) return core::Error{-1, QStringLiteral("Drawing not found")};
        if (drawing->exhaustsMemory) throw std::bad_alloc();
        if (!drawing->password.isEmpty() && password != drawing->password) {
            return core::Error{-1, QStringLiteral("Wrong password")};
        }
        auto opened = std::make_shared<const MemOpenDrawing>(m_model, *drawing);
        m_model->opened(opened);
        return std::shared_ptr<const drawingapi::Drawing>(opened);
    }

private:
    std::shared_ptr<MemoryDrawingModel> m_model;
};

}  // namespace

std::shared_ptr<MemoryDrawingModel> MemoryDrawingModel::create() {
    return std::shared_ptr<MemoryDrawingModel>(new MemoryDrawingModel());
}

void MemoryDrawingModel::addDrawing(const QString& path, MemDrawing drawing) {
    m_drawings[path] = std::move(drawing);
}

const MemDrawing* MemoryDrawingModel::drawing(const QString& path) const {
    const auto found = m_drawings.find(path);
    return found == m_drawings.end() ? nullptr : &found->second;
}

void MemoryDrawingModel::opened(const std::shared_ptr<const drawingapi::Drawing>& drawing) {
    m_opened.push_back(drawing);
}

int MemoryDrawingModel::liveDrawings() const {
    return static_cast<int>(std::count_if(m_opened.begin(), m_opened.end(),
                                          [](const auto& drawing) { return !drawing.expired(); }));
}

drawingapi::ReaderFactory MemoryDrawingModel::factory() {
    std::weak_ptr<MemoryDrawingModel> weak = weak_from_this();
    return [weak]() -> core::Result<std::shared_ptr<drawingapi::DrawingReader>> {
        auto model = weak.lock();
        if (!model) return failure(QStringLiteral("reader creation (the model is gone)"));
        ++model->created;
        if (model->fails(Call::CreateReader)) return failure(QStringLiteral("reader creation"));
        return std::shared_ptr<drawingapi::DrawingReader>(std::make_shared<MemReader>(model));
    };
}

}  // namespace fake
