// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the build says about the program: its version and the maker's addresses. One version
// number, set where the project is declared, serves the about window and --version alike.
namespace about {

QString programVersion();  // the full version, "1.2.3"
int versionMajor();
int versionMinor();
QString contactEmail();  // empty when the build names none
QString homepage();      // empty when the build names none

}  // namespace about
