// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFile;

namespace platform {

// What makes a folder the same folder however it is reached (through links, "..", another
// spelling): device and inode here. Empty when the folder cannot be looked up.
QString folderIdentity(const QString& path);

// Whether two paths name the same existing file however each is spelled: through links,
// ".", "..", or a second hard link. False when either cannot be looked up.
bool sameFile(const QString& a, const QString& b);

// Opens `path` for reading in `file` when it is a regular file. A device, a named pipe, a
// socket or a folder is refused before anything is read from it, and a pipe nobody writes to
// is not waited on: a device can be read for ever and a pipe can block for ever. On failure
// `error` says why and `file` is left closed.
bool openRegularFile(QFile& file, const QString& path, QString& error);

// Renames `from` over `to` in one step, so a reader of `to` sees the old file or the new one,
// never a mix and never none. Both must be on the same file system. On failure `error` (when
// given) says why and `from` is left as it was.
bool replaceFile(const QString& from, const QString& to, QString* error = nullptr);

}  // namespace platform
