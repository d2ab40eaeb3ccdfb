// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/platform.h"

class QWidget;

// Opens the register window in front of `owner`, which takes no input until it is closed. The
// window stores its settings and goes away when it closes.
QWidget* openRegisterWindow(platform::Platform platform, QWidget* owner);
