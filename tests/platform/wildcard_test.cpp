// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/folder_listing.h"
#include "platform/name_order.h"

namespace {

TEST(WildcardMatch, MatchesWholeNamesIgnoringCase) {
    const struct {
        const char* pattern;
        QStringList matching, other;
    } cases[] = {
        {"*.dwg", {"A.DWG"}, {"plan.dwg.bak", "plan.dwgx"}},
        {"*.DWG", {"plan.dwg"}, {}},
        {"plan.dwg", {}, {"xplan.dwg"}},
        {"file???.dwg", {"file001.dwg"}, {"file01.dwg", "file0001.dwg"}},
        {"a*b*c", {"abc", "aXbYc"}, {"aXbYcZ"}},
        {"*bc", {"abcbc"}, {}},
        {"*", {""}, {}},
        {"", {""}, {"a"}},
        {"?", {"a"}, {""}},
        {"ä*.TXT", {"Ärger.txt"}, {}},
        {"STRASSE", {}, {"straße"}},          // simple case folding only, one letter for one letter
        {"[a].txt", {"[a].txt"}, {"a.txt"}},  // brackets are plain characters
        // A trailing ".*" also matches names without an extension.
        {"*.*", {"README", "a.b.c", ".hidden"}, {}},
        {"plan.*", {"plan", "PLAN.dwg"}, {"planx"}},
        {"*.txt", {}, {"README"}},
    };
    for (const auto& c : cases) {
        const QString pattern = QString::fromUtf8(c.pattern);
        for (const QString& name : c.matching) {
            EXPECT_TRUE(platform::wildcardMatch(name, pattern))
                << name.toStdString() << " ~ " << c.pattern;
        }
        for (const QString& name : c.other) {
            EXPECT_FALSE(platform::wildcardMatch(name, pattern))
                << name.toStdString() << " ~ " << c.pattern;
        }
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
