// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/record_line.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

TEST(RecordLine, CountFieldsCountsSeparatorsPlusTwo) {
    EXPECT_EQ(recordline::countFields("'A-101','N/A','B'"), 4);
    EXPECT_EQ(recordline::countFields("'A-101','N/A'"), 3);
    EXPECT_EQ(recordline::countFields("'A-101'"), 0);
    EXPECT_EQ(recordline::countFields(""), 0);
    EXPECT_EQ(recordline::countFields("','"), 0) << "the first and last characters are not scanned";
    EXPECT_EQ(recordline::countFields("x','"), 0);
    EXPECT_EQ(recordline::countFields("x','x"), 3);
    // No overlaps: "','','" holds two separators, not three.
    EXPECT_EQ(recordline::countFields("'a','','b'"), 4);
}

TEST(RecordLine, CdfToSdfReplacesSeparatorsAndCutsBlanks) {
    EXPECT_EQ(recordline::cdfToSdf("'A-101','N/A'", 2), "A-101  N/A");
    EXPECT_EQ(recordline::cdfToSdf("", 2), "");
    EXPECT_EQ(recordline::cdfToSdf("'only'", 2), "'only'") << "no separator: unchanged";
    EXPECT_EQ(recordline::cdfToSdf("'a','b','c'", 0), "abc");
    // An empty first value is lost because leading blanks are cut.
    EXPECT_EQ(recordline::cdfToSdf("'','x'", 3), "x");
    EXPECT_EQ(recordline::cdfToSdf("'\ta','b'", 1), "\ta b") << "tabs are not cut";
    EXPECT_EQ(recordline::cdfToSdf("'a','b'", 255).size(), 257);
}

TEST(RecordLine, CountSpacesCountsBlanksOnly) {
    EXPECT_EQ(recordline::countSpaces(" TITLE "), 2);
    EXPECT_EQ(recordline::countSpaces(" A  B "), 4);
    EXPECT_EQ(recordline::countSpaces("*"), 0);
    EXPECT_EQ(recordline::countSpaces("\t"), 0);
}

}  // namespace
