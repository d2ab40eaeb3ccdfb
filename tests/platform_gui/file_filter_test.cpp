// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/file_filter.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

using platform::caseInsensitiveWildcard;
using platform::qtNameFilters;

bool qtMatches(const QString& wildcard, const QString& name) {
    // The matching QFileDialog does: case-sensitive on this file system.
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(wildcard))
        .match(name)
        .hasMatch();
}

TEST(FileFilter, KeepsTheDisplayNamesAndRewritesThePatterns) {
    EXPECT_EQ(qtNameFilters("DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*"),
              QStringList({"DLF Files (*.dlf) (*.[dD][lL][fF])", "All Files (*.*) (*)"}));
    // A trailing "|" and several patterns per filter.
    EXPECT_EQ(qtNameFilters("Databases|*.db;*.sqlite|"),
              QStringList({"Databases (*.[dD][bB] *.[sS][qQ][lL][iI][tT][eE])"}));
    EXPECT_EQ(qtNameFilters("Everything"), QStringList({"Everything (*)"}));
    EXPECT_EQ(qtNameFilters(""), QStringList());
}

TEST(FileFilter, PatternsMatchIgnoringCaseInQtsOwnMatcher) {
    const QString dwg = caseInsensitiveWildcard("*.dwg");
    EXPECT_TRUE(qtMatches(dwg, "PLAN.DWG"));
    EXPECT_TRUE(qtMatches(dwg, "plan.Dwg"));
    EXPECT_FALSE(qtMatches(dwg, "plan.dxf"));
    EXPECT_TRUE(qtMatches(caseInsensitiveWildcard("file???.dwg"), "FILE001.dwg"));
    EXPECT_TRUE(qtMatches(caseInsensitiveWildcard("*.*"), "README"));
    EXPECT_EQ(caseInsensitiveWildcard("a1_?"), "[aA]1_?");
}

}  // namespace
