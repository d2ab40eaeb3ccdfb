// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's start: refuses a second copy, otherwise shows the main window until it closes.
int Main(int argc, char** argv);
