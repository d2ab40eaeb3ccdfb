// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/folder_listing.h"
#include "platform/name_order.h"

namespace {

struct WildcardCase {
    const char* name;
    const char* pattern;
    bool matches;
};

TEST(WildcardMatch, MatchesWholeNamesIgnoringCase) {
    const WildcardCase cases[] = {
        {"A.DWG", "*.dwg", true},
        {"plan.dwg", "*.DWG", true},
        {"plan.dwg.bak", "*.dwg", false},
        {"plan.dwgx", "*.dwg", false},
        {"xplan.dwg", "plan.dwg", false},
        {"file001.dwg", "file???.dwg", true},
        {"file01.dwg", "file???.dwg", false},
        {"file0001.dwg", "file???.dwg", false},
        {"abc", "a*b*c", true},
        {"aXbYc", "a*b*c", true},
        {"aXbYcZ", "a*b*c", false},
        {"abcbc", "*bc", true},
        {"", "*", true},
        {"", "", true},
        {"a", "", false},
        {"a", "?", true},
        {"", "?", false},
        {"Ärger.txt", "ä*.TXT", true},
        {"straße", "STRASSE", false},  // simple case folding only, one letter for one letter
        {"[a].txt", "[a].txt", true},  // brackets are plain characters
        {"a.txt", "[a].txt", false},
        // A trailing ".*" also matches names without an extension.
        {"README", "*.*", true},
        {"a.b.c", "*.*", true},
        {".hidden", "*.*", true},
        {"plan", "plan.*", true},
        {"PLAN.dwg", "plan.*", true},
        {"planx", "plan.*", false},
        {"README", "*.txt", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::wildcardMatch(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)),
                  c.matches)
            << c.name << " against " << c.pattern;
    }
}

TEST(WildcardMatch, StaysFastOnPathologicalPatterns) {
    const QString name = QString(200, u'a') + u'b';
    EXPECT_FALSE(platform::wildcardMatch(name, "*a*a*a*a*a*a*a*a*a*a*c"));
    EXPECT_TRUE(platform::wildcardMatch(name, "*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(NameOrder, ComparesAsUpperCaseThenExactly) {
    using platform::compareNames;
    EXPECT_LT(compareNames("apple", "Banana"), 0);
    EXPECT_LT(compareNames("Apple", "apple"), 0);  // equal ignoring case: exact order decides
    EXPECT_EQ(compareNames("same", "same"), 0);
    EXPECT_LT(compareNames("ab", "abc"), 0);
    // Upper-case comparison puts "_" (0x5F) after the letters (0x41-0x5A), as NTFS does;
    // lower-case folding would put it before them.
    EXPECT_LT(compareNames("aab", "a_b"), 0);
    EXPECT_LT(compareNames("A1", "a_"), 0);
    EXPECT_EQ(platform::nameSortKey("Plan_b.dwg"), "PLAN_B.DWG");
}

}  // namespace
