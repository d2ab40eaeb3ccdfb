// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test helpers: read a drawing and look at it through the drawing interfaces, the way the
// engine does.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dxf_reader.h"
#include "engine/drawing_api/drawing_api.h"

namespace drawing::test {

QString fixturePath(const QString& name);
// A file name as a test parameter's name: every character other than a letter or digit as _.
std::string parameterName(std::string fileName);
// The bytes of a file, unpacked when only its .gz is there; empty (and the test failed) when
// it cannot be read.
std::string readBytes(const QString& path);
// The bytes of a drawing saved by AutoCAD, in the test data.
std::string autocadBytes(const QString& name);

using References = drawingapi::BlockReferences;

// The references of one space of the drawing (every space, model first, when none is given),
// only those on `layer` when one is given.
References select(const std::shared_ptr<const Drawing>& drawing,
                  std::optional<drawingapi::Space> space = std::nullopt, const QString& layer = {});

// One line per reference: "name layer handle [TAG=text, ...]", in enumeration order.
QStringList summary(const References& references);
// Every reported property of one reference, for exact comparisons.
QString properties(const drawingapi::BlockReference& reference);

// Reads the file, or the bytes of one, or fails the current test.
std::shared_ptr<const Drawing> readOrFail(const QString& path, const ReadOptions& options = {});
std::shared_ptr<const Drawing> parseOrFail(std::string_view bytes, const ReadOptions& options = {});

// The summary of the AutoCAD sample "example" (every release): model space only.
extern const QStringList kExampleReferences;

}  // namespace drawing::test
