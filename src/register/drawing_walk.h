// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the register walks: the DWG and DXF files under the folders named, by the same rules
// as a wildcard drawing line (links followed once, no loops, hidden subfolders not entered),
// and what it knows of a file without reading it.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace reg {

// The folders as the register names them: absolute, links resolved, so a folder reached by
// two spellings is one folder. A folder that cannot be resolved keeps its absolute path.
QStringList registerRoots(const QStringList& folders);

// Every drawing under `roots`, each once, in walk order.
QStringList listDrawings(const QStringList& roots);

// True when `path` lies under one of `roots`.
bool underRoots(const QString& path, const QStringList& roots);

struct FileStamp {
    qint64 size = 0;
    qint64 mtime = 0;  // ms since 1970 UTC
};

// Size and modification time; false when the file is not there.
bool stampOf(const QString& path, FileStamp& stamp);

// The SHA-256 of the file's content in hex (what sha256sum prints). Empty with `error` set
// when it cannot be read; `gone` tells a file that is no longer there from one that cannot be
// read.
QString contentHash(const QString& path, QString& error, bool& gone);

}  // namespace reg
