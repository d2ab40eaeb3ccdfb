// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/main_window.h"

// The desktop program: answers --help and --version, refuses a second copy, otherwise shows the
// main window until it closes. Returns the program's exit status.
int runDesktopProgram(int argc, char** argv);

// The components a user's desktop has: the drawing reader, and the workbook, document and
// database files the destinations write.
MainWindowServices desktopServices(platform::Platform platform);
