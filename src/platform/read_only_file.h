// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// True when `path` is a file without any write permission: read-only for everyone, the
// administrator too, as a file with the read-only attribute is on systems that have one. Output
// files are checked with this rather than by trying to write: permissions do not stop root,
// and a rename over a file is allowed where writing into it is not.
bool isReadOnlyFile(const QString& path);

}  // namespace platform
