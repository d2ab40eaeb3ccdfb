// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <cstdio>
#include <string>

namespace drawing::dwg {

// Upper-case hexadecimal without leading zeros, as DXF writes a handle.
inline std::string hexHandle(std::uint64_t handle) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
    return text;
}

// R14 and older releases store an anonymous block's name without its number ("*X", "*D",
// "*U"); it takes the block's place in the block table, as the DXF form of the drawing names it.
inline QString numberedAnonymous(const QString& name, std::size_t tableIndex) {
    if (name.size() < 2 || name[0] != u'*') return name;
    for (qsizetype i = 1; i < name.size(); ++i)
        if (!name[i].isLetter()) return name;
    return name + QString::number(tableIndex);
}

}  // namespace drawing::dwg
