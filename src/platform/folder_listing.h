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

// True when `name` matches the wildcard `pattern` (`*`, `?`), ignoring letter case.
bool wildcardMatch(const QString& name, const QString& pattern);

// The names in `folder` matching `pattern`, sorted ignoring letter case; "." and ".." never.
// A missing or unreadable folder gives an empty list.
QStringList listFolder(const QString& folder, const QString& pattern, const ListOptions& options);

}  // namespace platform
