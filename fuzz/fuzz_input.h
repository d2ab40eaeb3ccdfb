// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The readers under test open files by path: each input goes to a file in a folder of the
// process's own under TMPDIR, rewritten for every input and removed when the run ends.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace fuzz {

inline QString writeInput(const QString& name, const QByteArray& bytes) {
    static QTemporaryDir folder;
    if (!folder.isValid()) __builtin_trap();
    const QString path = folder.filePath(name);
    QFile file(path);
    // A save that failed halfway may have left the file read-only or gone: start afresh.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
    if (file.write(bytes) != bytes.size()) __builtin_trap();
    return path;
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace fuzz
