// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MainWindow;

// The program's start: refuses a second copy, otherwise shows the main window until it closes.
int Main(int argc, char** argv);

// Gives the window the components a user's desktop has: the drawing reader, and the workbook,
// document and database files the destinations write.
void connectDesktopComponents(MainWindow& window);
