// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/memory_drawing_model.h"

#include <new>

namespace fake {
namespace {

core::Error failure(const QString& what) {
    return core::Error{-2147467259, QStringLiteral("Memory model told to fail: ") + what};
}

template <typename T>
core::Result<T> read(const MemBlock& block, const char* property, const T& value) {
    if (block.failingProperties.contains(QLatin1String(property))) {
        return failure(QLatin1String(property));
    }
    return value;
}

class MemAttributeRef : public acad::AttributeReference {
public:
    explicit MemAttributeRef(MemAttribute a) : m_a(std::move(a)) {}
    core::Result<QString> TagString() const override {
        if (m_a.tagFails) return failure("TagString");
        return m_a.tag;
    }
    core::Result<QString> TextString() const override {
        if (m_a.textFails) return failure("TextString");
        return m_a.text;
    }
    core::Result<QString> Handle() const override { return m_a.handle; }

private:
    MemAttribute m_a;
};

class MemBlockRef : public acad::BlockReference {
public:
    explicit MemBlockRef(const MemBlock& b) : m_b(b) {}
    core::Result<QString> Name() const override { return read(m_b, "Name", m_b.name); }
    // An ordinary block's effective name is its name, read the same way.
    core::Result<QString> EffectiveName() const override {
        if (m_b.effectiveName.isEmpty()) return Name();
        return read(m_b, "EffectiveName", m_b.effectiveName);
    }
    core::Result<QString> Layer() const override { return read(m_b, "Layer", m_b.layer); }
    core::Result<bool> HasAttributes() const override {
        return read(m_b, "HasAttributes", m_b.hasAttributes.value_or(!m_b.attributes.empty()));
    }
    core::Result<acad::AttributeArray> GetAttributes() const override {
        if (m_b.failingProperties.contains(QStringLiteral("GetAttributes"))) {
            return failure("GetAttributes");
        }
        acad::AttributeArray array;
        for (const auto& a : m_b.attributes) array.push_back(std::make_shared<MemAttributeRef>(a));
        return array;
    }
    core::Result<qint64> OwnerID() const override { return read(m_b, "OwnerID", m_b.ownerId); }
    core::Result<qint64> ObjectID() const override { return read(m_b, "ObjectID", m_b.objectId); }
    core::Result<QString> Objectname() const override {
        return read(m_b, "Objectname", m_b.objectName);
    }
    core::Result<QString> Handle() const override { return read(m_b, "Handle", m_b.handle); }
    core::Result<int> Color() const override { return read(m_b, "Color", m_b.color); }
    core::Result<QString> Linetype() const override { return read(m_b, "Linetype", m_b.linetype); }
    core::Result<double> Rotation() const override { return read(m_b, "Rotation", m_b.rotation); }
    core::Result<bool> Visible() const override { return read(m_b, "Visible", m_b.visible); }
    core::Result<double> XScaleFactor() const override {
        return read(m_b, "XScaleFactor", m_b.xScale);
    }
    core::Result<double> YScaleFactor() const override {
        return read(m_b, "YScaleFactor", m_b.yScale);
    }
    core::Result<double> ZScaleFactor() const override {
        return read(m_b, "ZScaleFactor", m_b.zScale);
    }
    core::Result<double> LinetypeScale() const override {
        return read(m_b, "LinetypeScale", m_b.linetypeScale);
    }
    core::Result<int> Lineweight() const override {
        return read(m_b, "Lineweight", m_b.lineweight);
    }
    core::Result<bool> HasExtensionDictionary() const override {
        return read(m_b, "HasExtensionDictionary", m_b.hasExtensionDictionary);
    }
    core::Result<acad::Point3> InsertionPoint() const override {
        return read(m_b, "InsertionPoint", m_b.insertionPoint);
    }

private:
    MemBlock m_b;
};

bool passesFilter(const MemBlock& block, const std::vector<qint16>& types,
                  const std::vector<QVariant>& data) {
    for (size_t i = 0; i < types.size(); ++i) {
        const QVariant& value = data[i];
        switch (types[i]) {
            case 0:
                if (value.toString().compare(QLatin1String("INSERT"), Qt::CaseInsensitive) != 0) {
                    return false;
                }
                break;
            case 67:
                if (value.toInt() != (block.paper ? 1 : 0)) return false;
                break;
            case 2:
                if (block.name.compare(value.toString(), Qt::CaseInsensitive) != 0) return false;
                break;
            case 8:
                if (block.layer.compare(value.toString(), Qt::CaseInsensitive) != 0) return false;
                break;
            default:
                return false;
        }
    }
    return true;
}

class MemSelectionSet : public acad::SelectionSet {
public:
    MemSelectionSet(std::shared_ptr<MemoryDrawingModel> model, const MemDrawing& drawing,
                    QString name)
        : m_model(std::move(model)), m_drawing(drawing), m_name(std::move(name)) {}

    core::Status Select(int mode, const std::vector<qint16>& types,
                        const std::vector<QVariant>& data) override {
        m_model->selects.push_back({m_name, mode, types, data});
        if (m_model->fails(Call::Select)) return failure("Select");
        if (types.size() != data.size()) return core::Error{5, "Invalid procedure call"};
        m_blocks.clear();
        for (const auto& block : m_drawing.blocks) {
            if (passesFilter(block, types, data)) m_blocks.push_back(block);
        }
        return core::success();
    }
    int Count() const override { return static_cast<int>(m_blocks.size()); }
    core::Result<std::shared_ptr<const acad::BlockReference>> Item(int index) const override {
        if (m_model->fails(Call::Item) && index == 0) return failure("Item");
        if (index < 0 || index >= Count()) return core::Error{9, "Subscript out of range"};
        return std::shared_ptr<const acad::BlockReference>(
            std::make_shared<MemBlockRef>(m_blocks[static_cast<size_t>(index)]));
    }

private:
    std::shared_ptr<MemoryDrawingModel> m_model;
    const MemDrawing& m_drawing;
    QString m_name;
    std::vector<MemBlock> m_blocks;
};

class MemDocuments;

class MemDocument : public acad::Document {
public:
    MemDocument(std::shared_ptr<MemoryDrawingModel> model, MemDocuments& owner,
                const MemDrawing& drawing)
        : m_model(std::move(model)), m_owner(owner), m_drawing(drawing) {}
    core::Status Close(bool saveChanges) override;
    core::Result<std::shared_ptr<acad::SelectionSet>> AddSelectionSet(
        const QString& name) override {
        if (m_model->fails(Call::AddSelectionSet)) return failure("AddSelectionSet");
        return std::shared_ptr<acad::SelectionSet>(
            std::make_shared<MemSelectionSet>(m_model, m_drawing, name));
    }

private:
    std::shared_ptr<MemoryDrawingModel> m_model;
    MemDocuments& m_owner;
    const MemDrawing& m_drawing;
};

class MemDocuments : public acad::Documents {
public:
    explicit MemDocuments(std::shared_ptr<MemoryDrawingModel> model) : m_model(std::move(model)) {}

    core::Result<std::shared_ptr<acad::Document>> Open(const QString& name,
                                                       std::optional<bool> readOnly,
                                                       std::optional<QString> password) override {
        m_model->opens.push_back({name, readOnly, password});
        if (m_model->fails(formOf(readOnly, password))) return failure("Open");
        const MemDrawing* drawing = m_model->drawing(name);
        if (!drawing) return core::Error{-2145386405, QStringLiteral("Drawing not found")};
        if (drawing->exhaustsMemory) throw std::bad_alloc();
        if (drawing->refusesReadOnly && readOnly.value_or(false)) {
            return core::Error{-2145386406, QStringLiteral("Cannot open read-only")};
        }
        if (!drawing->password.isEmpty() && password.value_or(QString()) != drawing->password) {
            return core::Error{-2145386407, QStringLiteral("Wrong password")};
        }
        auto document = std::make_shared<MemDocument>(m_model, *this, *drawing);
        m_open.push_back(document);
        m_model->openDocuments = static_cast<int>(m_open.size());
        return std::shared_ptr<acad::Document>(document);
    }
    core::Result<int> Count() const override {
        if (m_model->fails(Call::DocumentsCount)) return failure("Count");
        return static_cast<int>(m_open.size());
    }
    core::Result<std::shared_ptr<acad::Document>> Item(int index) override {
        if (index < 0 || index >= static_cast<int>(m_open.size())) {
            return core::Error{9, "Subscript out of range"};
        }
        return m_open[static_cast<size_t>(index)];
    }
    void remove(const acad::Document* document) {
        std::erase_if(m_open, [document](const auto& d) { return d.get() == document; });
        m_model->openDocuments = static_cast<int>(m_open.size());
    }

private:
    static Call formOf(const std::optional<bool>& readOnly, const std::optional<QString>& pw) {
        if (pw) return readOnly ? Call::OpenPositional : Call::OpenPasswordNamed;
        return readOnly ? Call::OpenReadOnlyNamed : Call::OpenPlain;
    }
    std::shared_ptr<MemoryDrawingModel> m_model;
    std::vector<std::shared_ptr<acad::Document>> m_open;
};

core::Status MemDocument::Close(bool saveChanges) {
    m_model->closes.push_back(saveChanges);
    if (m_model->fails(Call::Close)) return failure("Close");
    m_owner.remove(this);
    return core::success();
}

class MemApplication : public acad::Application {
public:
    explicit MemApplication(std::shared_ptr<MemoryDrawingModel> model)
        : m_model(model), m_documents(model) {}
    core::Status SetWindowState(int) override { return preference(); }
    core::Status SetVisible(bool) override { return preference(); }
    core::Status SetXrefDemandLoad(int) override { return preference(); }
    core::Status SetEnableStartupDialog(bool) override { return preference(); }
    core::Status SetShowWarningMessages(bool) override { return preference(); }
    acad::Documents& GetDocuments() override { return m_documents; }
    core::Status Quit() override {
        ++m_model->quits;
        if (m_model->fails(Call::Quit)) return failure("Quit");
        return core::success();
    }

private:
    core::Status preference() {
        ++m_model->preferencesSet;
        return core::success();
    }
    std::shared_ptr<MemoryDrawingModel> m_model;
    MemDocuments m_documents;
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

acad::ApplicationFactory MemoryDrawingModel::factory() {
    std::weak_ptr<MemoryDrawingModel> weak = weak_from_this();
    return [weak]() -> core::Result<std::shared_ptr<acad::Application>> {
        auto model = weak.lock();
        if (!model) return core::Error{429, "ActiveX component can't create object"};
        ++model->created;
        if (model->fails(Call::Create)) {
            return core::Error{429, QStringLiteral("ActiveX component can't create object")};
        }
        return std::shared_ptr<acad::Application>(std::make_shared<MemApplication>(model));
    };
}

}  // namespace fake
