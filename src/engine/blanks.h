// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Templates and records cut blanks only: a tab is part of the text.
namespace blanks {

inline QString cutLeading(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text[first] == QLatin1Char(' ')) ++first;
    return text.mid(first);
}

inline QString cut(const QString& text) {
    qsizetype last = text.size();
    while (last > 0 && text[last - 1] == QLatin1Char(' ')) --last;
    return cutLeading(text.left(last));
}

}  // namespace blanks
