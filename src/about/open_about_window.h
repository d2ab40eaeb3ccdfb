// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/platform.h"

class QWidget;

// Shows the about window in front of `owner`, which takes no input until it closes.
// `programFolder` holds faq.fil.
void showAboutWindow(platform::Platform platform, const QString& programFolder, QWidget* owner);
