// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "program_run.h"
#include "support/qt_printers.h"

namespace {

// Every program answers --version with the one version number of the build, and --help with
// its usage, on the terminal, without a window or a display.
TEST(Programs, VersionAndHelpComeFromTheBuild) {
    RunSettings bare;
    bare.bareTerminal = true;
    for (const char* program : {QUILLON_MAIN_PROGRAM, QUILLON_EXTRACT_PROGRAM,
                                QUILLON_SEARCH_PROGRAM, QUILLON_PAGE_PROGRAM}) {
        SCOPED_TRACE(program);
        const ProgramRun version = runProgram(program, {"--version"}, bare);
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(version.out.trimmed().endsWith(" " QUILLON_VERSION))
            << version.out.toStdString();
        const ProgramRun help = runProgram(program, {"--help"}, bare);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.contains("--version")) << help.out.toStdString();
    }
}

// A script tells a command line it got wrong (status 2) from a run that found nothing (status 1):
// an unknown option is a wrong command line in every program, as a missing argument is.
TEST(Programs, UnknownOptionIsABadCommandLine) {
    for (const char* program :
         {QUILLON_EXTRACT_PROGRAM, QUILLON_SEARCH_PROGRAM, QUILLON_PAGE_PROGRAM}) {
        SCOPED_TRACE(program);
        const ProgramRun run = runProgram(program, {"--no-such-option", "a", "b"});
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.errors.contains("no-such-option"));
    }
}

}  // namespace
