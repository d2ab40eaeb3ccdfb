// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace testfiles {

// Writes `bytes` to `path` exactly as given (no line-end conversion); true on success.
bool write(const QString& path, const QByteArray& bytes);

// The whole content of `path`, or an empty array when it cannot be read.
QByteArray read(const QString& path);

}  // namespace testfiles
