// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// The order in which a case-insensitive file system lists names: letters compared as upper
// case, one UTF-16 unit at a time (so "_" sorts after the letters, as on NTFS); names equal
// apart from case fall back to their exact order, so the result never depends on input order.
int compareNames(const QString& a, const QString& b);

inline bool nameLess(const QString& a, const QString& b) {
    return compareNames(a, b) < 0;
}

// The key that compareNames orders by before its tie-break; sorting many names by a
// precomputed key avoids converting each name again on every comparison.
QString nameSortKey(const QString& name);

}  // namespace platform
