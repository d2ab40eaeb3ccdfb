// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine asks of a drawing reader: open a drawing, list its block references by
// space, read their properties and attributes. The engine runs against any implementation:
// our own drawing reader, or a memory model in the tests. Every read returns a result, so a
// property a drawing fails to deliver is a value the caller decides about, never an exception.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/result.h"

namespace drawingapi {

using core::Error;
using core::Result;
using core::Status;

struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

enum class Space { Model, Paper };

class Attribute {
public:
    virtual ~Attribute() = default;
    virtual Result<QString> tag() const = 0;
    virtual Result<QString> value() const = 0;
    virtual Result<QString> handle() const = 0;
};

using Attributes = std::vector<std::shared_ptr<const Attribute>>;

class BlockReference {
public:
    virtual ~BlockReference() = default;
    virtual Result<QString> name() const = 0;
    // The name of the dynamic block an anonymous "*U" reference stands for; the name itself
    // for any other reference.
    virtual Result<QString> effectiveName() const = 0;
    virtual Result<QString> layer() const = 0;
    // True when the reference says attributes follow, even if none does.
    virtual Result<bool> hasAttributes() const = 0;
    virtual Result<Attributes> attributes() const = 0;  // in drawing order
    virtual Result<qint64> ownerId() const = 0;
    virtual Result<qint64> objectId() const = 0;
    virtual Result<QString> objectName() const = 0;  // the reference's class name
    virtual Result<QString> handle() const = 0;
    virtual Result<int> color() const = 0;
    virtual Result<QString> linetype() const = 0;
    virtual Result<double> rotation() const = 0;  // radians
    virtual Result<bool> visible() const = 0;
    virtual Result<double> xScale() const = 0;
    virtual Result<double> yScale() const = 0;
    virtual Result<double> zScale() const = 0;
    virtual Result<double> linetypeScale() const = 0;
    virtual Result<int> lineweight() const = 0;
    virtual Result<bool> hasExtensionDictionary() const = 0;
    virtual Result<Point3> insertionPoint() const = 0;  // world coordinates
};

using BlockReferences = std::vector<std::shared_ptr<const BlockReference>>;

// One open drawing, read only. It stays readable as long as anyone holds it; the objects it
// hands out hold what they need, so they outlive it.
class Drawing {
public:
    virtual ~Drawing() = default;
    // The block references of one space in drawing order (paper space: each layout in tab
    // order). With a layer, only the references on that layer, letter case ignored.
    virtual Result<BlockReferences> blockReferences(Space space,
                                                    const QString& layer = {}) const = 0;
};

class DrawingReader {
public:
    virtual ~DrawingReader() = default;
    // Reads the drawing at `path`; the reason of a failure is in the error. A reader that
    // needs no password ignores it.
    virtual Result<std::shared_ptr<const Drawing>> open(const QString& path,
                                                        const QString& password) = 0;
};

// Creating the reader is a factory call so a session can be given any implementation.
using ReaderFactory = std::function<Result<std::shared_ptr<DrawingReader>>()>;

}  // namespace drawingapi
