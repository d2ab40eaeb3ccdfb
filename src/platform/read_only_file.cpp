// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/read_only_file.h"

#include <QFileInfo>

namespace platform {

bool isReadOnlyFile(const QString& path) {
    const QFileInfo file(path);
    // Not the "user" bits: they tell what this process may do, which for root is everything.
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return file.isFile() && !(file.permissions() & anyWrite);
}

}  // namespace platform
