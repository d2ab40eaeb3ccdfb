// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/open_about_window.h"

#include "about/about_window.h"

void showAboutWindow(platform::Platform platform, const QString& programFolder, QWidget* owner) {
    AboutWindow window(platform, programFolder, AboutLinks::fromBuild(), owner);
    window.exec();
}
