// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The drawing application's automation object model, reduced to exactly the operations the
// extraction engine uses. The engine runs against any implementation: our own drawing reader,
// or a memory model in the tests. Names follow the object model's own member names.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/result.h"

namespace acad {

using core::Done;
using core::Error;
using core::Result;
using core::Status;
using core::success;

struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

class AttributeReference {
public:
    virtual ~AttributeReference() = default;
    virtual Result<QString> TagString() const = 0;
    virtual Result<QString> TextString() const = 0;
    virtual Result<QString> Handle() const = 0;
};

using AttributeArray = std::vector<std::shared_ptr<const AttributeReference>>;

class BlockReference {
public:
    virtual ~BlockReference() = default;
    virtual Result<QString> Name() const = 0;
    // The name of the dynamic block an anonymous "*U" reference stands for; the name itself
    // for any other reference.
    virtual Result<QString> EffectiveName() const = 0;
    virtual Result<QString> Layer() const = 0;
    virtual Result<bool> HasAttributes() const = 0;
    virtual Result<AttributeArray> GetAttributes() const = 0;
    virtual Result<qint64> OwnerID() const = 0;
    virtual Result<qint64> ObjectID() const = 0;
    virtual Result<QString> Objectname() const = 0;
    virtual Result<QString> Handle() const = 0;
    virtual Result<int> Color() const = 0;
    virtual Result<QString> Linetype() const = 0;
    virtual Result<double> Rotation() const = 0;  // radians
    virtual Result<bool> Visible() const = 0;
    virtual Result<double> XScaleFactor() const = 0;
    virtual Result<double> YScaleFactor() const = 0;
    virtual Result<double> ZScaleFactor() const = 0;
    virtual Result<double> LinetypeScale() const = 0;
    virtual Result<int> Lineweight() const = 0;
    virtual Result<bool> HasExtensionDictionary() const = 0;
    virtual Result<Point3> InsertionPoint() const = 0;  // world coordinates
};

// Selection mode that takes every entity of the drawing passing the filter.
inline constexpr int kSelectAll = 5;

class SelectionSet {
public:
    virtual ~SelectionSet() = default;
    // Select(mode, , , types, data): the filter is two parallel arrays of group codes and values.
    virtual Status Select(int mode, const std::vector<qint16>& types,
                          const std::vector<QVariant>& data) = 0;
    // Enumeration: the block references the last Select put into the set, one by one.
    virtual int Count() const = 0;
    virtual Result<std::shared_ptr<const BlockReference>> Item(int index) const = 0;
};

class Document {
public:
    virtual ~Document() = default;
    virtual Status Close(bool saveChanges) = 0;
    // SelectionSets.Add(name): a new, empty, named selection set.
    virtual Result<std::shared_ptr<SelectionSet>> AddSelectionSet(const QString& name) = 0;
};

class Documents {
public:
    virtual ~Documents() = default;
    // Covers the four call forms: Open(name), Open(name, ReadOnly:=flag),
    // Open(name, flag, password) and Open(name, Password:=password).
    virtual Result<std::shared_ptr<Document>> Open(const QString& name,
                                                   std::optional<bool> readOnly,
                                                   std::optional<QString> password) = 0;
    virtual Result<int> Count() const = 0;
    virtual Result<std::shared_ptr<Document>> Item(int index) = 0;  // 0-based
};

class Application {
public:
    virtual ~Application() = default;
    virtual Status SetWindowState(int state) = 0;
    virtual Status SetVisible(bool visible) = 0;
    virtual Status SetXrefDemandLoad(int mode) = 0;           // Preferences.OpenSave
    virtual Status SetEnableStartupDialog(bool enabled) = 0;  // Preferences.System
    virtual Status SetShowWarningMessages(bool enabled) = 0;  // Preferences.System
    virtual Documents& GetDocuments() = 0;
    virtual Status Quit() = 0;
};

// Creating the application is a factory call so a session can be given any implementation.
using ApplicationFactory = std::function<Result<std::shared_ptr<Application>>()>;

}  // namespace acad
