// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

struct ListOptions {
    bool files = true;
    bool folders = false;
    bool hidden = false;  // names starting with "."
    bool system = false;  // neither a regular file nor a folder: devices, sockets, pipes
};

// True when `name` matches the wildcard `pattern` (`*`, `?`), ignoring letter case. The whole
// name must match; as on Windows, a pattern ending in ".*" also matches the name without an
// extension, so "*.*" matches every name.
bool wildcardMatch(const QString& name, const QString& pattern);

// True when listFolder would list a file called `name` for `pattern` (hidden names aside):
// the same patterns, ";" lists and empty pattern as there.
bool patternLists(const QString& name, const QString& pattern);

// The names in `folder` matching `pattern`, sorted ignoring letter case; "." and ".." never.
// A missing or unreadable folder gives an empty list.
// An empty pattern matches every name; "*.db;*.sqlite" matches either pattern.
// A symbolic link counts as what it points to (a dangling link is a system entry). System
// entries are listed only with `options.system`, hidden ones (of any kind) only with
// `options.hidden`.
QStringList listFolder(const QString& folder, const QString& pattern, const ListOptions& options);

}  // namespace platform
