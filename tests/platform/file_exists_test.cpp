// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_exists.h"

#include <gtest/gtest.h>

#include "scratch_folder.h"

namespace {

// Files, folders and patterns are found ignoring letter case, hidden ones are not; a name is a
// pattern only when it holds a wildcard, and any other character is part of the name.
TEST(FileExists, FindsFilesFoldersAndPatternsButNotHiddenOnes) {
    ScratchFolder scratch;
    for (const char* name : {"Plan.dxf", ".hidden.dxf", "A;B.dxf", "plan;1.dwg", ";lead.dxf",
                             "x [1].dxf", "tail;", "A", "other/z.txt"}) {
        scratch.writeFile(name, "x");
    }
    scratch.makeFolder("sub");
    const char* const found[] = {"Plan.dxf", "plan.DXF",   "*.dxf",     "sub",
                                 "A;B.dxf",  "plan;1.dwg", ";lead.dxf", "x [1].dxf",
                                 "tail;",    "a;b.DXF",    "*;B.dxf",   "other/Z.*"};
    for (const char* path : found) EXPECT_TRUE(platform::fileExists(scratch.path(path))) << path;
    // Not the pattern list "A" and "missing.dxf"; one pattern "q;*.txt", not two.
    const char* const missing[] = {".hidden.dxf", "missing.dxf", "nofolder/Plan.dxf",
                                   "A;missing.dxf", "other/q;*.txt"};
    for (const char* path : missing) EXPECT_FALSE(platform::fileExists(scratch.path(path))) << path;
    EXPECT_FALSE(platform::fileExists(""));
}

}  // namespace
