// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drawing application held in memory, for testing the engine without drawing files. Any single
// automation call can be told to fail, so the "skip the failing step and go on" rules are tested.

#include <QSet>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "engine/automation/automation.h"

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
    acad::Point3 insertionPoint;
    std::vector<MemAttribute> attributes;
    // HasAttributes normally follows the attribute list; set to report it regardless.
    std::optional<bool> hasAttributes;
    // Property names ("Name", "Layer", "HasAttributes", "GetAttributes", "Color", ...) whose
    // read fails on this block.
    QSet<QString> failingProperties;
};

struct MemDrawing {
    std::vector<MemBlock> blocks;  // in the order the drawing enumerates them
    QString password;              // empty: no password needed
    bool refusesReadOnly = false;  // opens only without the read-only flag
    // Opening it runs out of memory: Open throws std::bad_alloc, as an allocation does.
    bool exhaustsMemory = false;
};

// The calls that can be told to fail.
enum class Call {
    Create,
    OpenReadOnlyNamed,  // Open(name, ReadOnly:=flag)
    OpenPlain,          // Open(name)
    OpenPositional,     // Open(name, flag, password)
    OpenPasswordNamed,  // Open(name, Password:=password)
    AddSelectionSet,
    Select,
    Item,
    Close,
    Quit,
    DocumentsCount,
};

struct OpenCall {
    QString name;
    std::optional<bool> readOnly;
    std::optional<QString> password;
};

struct SelectCall {
    QString setName;
    int mode = 0;
    std::vector<qint16> types;
    std::vector<QVariant> data;
};

class MemoryDrawingModel : public std::enable_shared_from_this<MemoryDrawingModel> {
public:
    static std::shared_ptr<MemoryDrawingModel> create();

    void addDrawing(const QString& path, MemDrawing drawing);
    void failOn(Call call) { m_failing.insert(static_cast<int>(call)); }
    bool fails(Call call) const { return m_failing.contains(static_cast<int>(call)); }

    acad::ApplicationFactory factory();

    // What the engine did.
    int created = 0;
    int quits = 0;
    int openDocuments = 0;
    std::vector<OpenCall> opens;
    std::vector<SelectCall> selects;
    std::vector<bool> closes;  // the saveChanges argument of every Close
    int preferencesSet = 0;

    const MemDrawing* drawing(const QString& path) const;

private:
    MemoryDrawingModel() = default;
    std::map<QString, MemDrawing> m_drawings;
    QSet<int> m_failing;
};

}  // namespace fake
