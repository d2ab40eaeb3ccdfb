// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/name_order.h"

namespace platform {

QString nameSortKey(const QString& name) {
    QString key = name;
    for (QChar& c : key) c = c.toUpper();
    return key;
}

int compareNames(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ua = a[i].toUpper().unicode();
        const char16_t ub = b[i].toUpper().unicode();
        if (ua != ub) return ua < ub ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return QString::compare(a, b, Qt::CaseSensitive);
}

}  // namespace platform
