// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drawing reader held in memory, for testing the engine without drawing files. Creating the
// reader, opening a drawing, listing its references and reading any property can be told to
// fail, so the "skip the failing step and go on" rules are tested.

#include <QSet>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "engine/drawing_api/drawing_api.h"

namespace fake {

struct MemAttribute {
    MemAttribute(QString tagName = {}, QString value = {}, QString handleText = {},
                 bool failTag = false, bool failText = false)
        : tag(std::move(tagName)),
          text(std::move(value)),
          handle(std::move(handleText)),
          tagFails(failTag),
          textFails(failText) {}
    QString tag;
    QString text;
    QString handle;
    bool tagFails = false;
    bool textFails = false;
};

struct MemBlock {
    QString name;
    QString effectiveName;  // empty: the name
    QString layer = QStringLiteral("0");
    bool paper = false;
    QString handle = QStringLiteral("1F");
    qint64 ownerId = 0;
    qint64 objectId = 0;
    QString objectName = QStringLiteral("AcDbBlockReference");
    int color = 256;
    QString linetype = QStringLiteral("ByLayer");
    double rotation = 0;
    bool visible = true;
    double xScale = 1;
    double yScale = 1;
    double zScale = 1;
    double linetypeScale = 1;
    int lineweight = -1;
    bool hasExtensionDictionary = false;
    drawingapi::Point3 insertionPoint;
    std::vector<MemAttribute> attributes;
    // hasAttributes() normally follows the attribute list; set to report it regardless.
    std::optional<bool> hasAttributes;
    // Names of the reads that fail on this block, as the interface names them ("name",
    // "layer", "hasAttributes", "attributes", "color", "insertionPoint", ...).
    QSet<QString> failingProperties;
};

struct MemDrawing {
    std::vector<MemBlock> blocks;  // in drawing order
    QString password;              // empty: no password needed
    // Opening it runs out of memory: open throws std::bad_alloc, as an allocation does.
    bool exhaustsMemory = false;
};

// The calls that can be told to fail.
enum class Call {
    CreateReader,
    Open,
    BlockReferences,
};

struct OpenCall {
    QString path;
    QString password;
    bool operator==(const OpenCall&) const = default;
};

struct BlockReferencesCall {
    drawingapi::Space space = drawingapi::Space::Model;
    QString layer;
    bool operator==(const BlockReferencesCall&) const = default;
};

class MemoryDrawingModel : public std::enable_shared_from_this<MemoryDrawingModel> {
public:
    static std::shared_ptr<MemoryDrawingModel> create();

    void addDrawing(const QString& path, MemDrawing drawing);
    void failOn(Call call) { m_failing.insert(static_cast<int>(call)); }
    bool fails(Call call) const { return m_failing.contains(static_cast<int>(call)); }

    drawingapi::ReaderFactory factory();

    // What the engine did.
    int created = 0;
    std::vector<OpenCall> opens;
    std::vector<BlockReferencesCall> listings;
    // Drawings opened and still held by someone: none may outlive the run that opened it.
    int liveDrawings() const;

    const MemDrawing* drawing(const QString& path) const;
    void opened(const std::shared_ptr<const drawingapi::Drawing>& drawing);

private:
    MemoryDrawingModel() = default;
    std::map<QString, MemDrawing> m_drawings;
    QSet<int> m_failing;
    std::vector<std::weak_ptr<const drawingapi::Drawing>> m_opened;
};

}  // namespace fake
