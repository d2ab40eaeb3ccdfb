// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/shell.h"

namespace platform {

// The desktop's own programs, through QDesktopServices and the desktop's program associations.
class QtShell : public Shell {
public:
    bool openInTextEditor(const QString& path) override;
    bool openDocument(const QString& path) override;
    bool openUrl(const QString& url) override;
};

}  // namespace platform
