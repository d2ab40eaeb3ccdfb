// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// True when `path` names a file or folder that is neither hidden nor a system file, in any
// letter case. Only a file name holding `*` or `?` is a pattern; it is true when any such
// entry matches it.
bool fileExists(const QString& path);

}  // namespace platform
