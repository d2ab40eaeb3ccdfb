// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_routine.h"

int main(int argc, char** argv) {
    return runDesktopProgram(argc, argv);
}
