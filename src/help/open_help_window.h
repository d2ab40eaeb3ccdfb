// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/platform.h"

class QWidget;

// Shows the help (faq.fil in `programFolder`) in a window of its own beside `owner`, which
// stays usable. A second call brings the open help window to the front.
void showHelpWindow(platform::Platform platform, const QString& programFolder, QWidget* owner);
