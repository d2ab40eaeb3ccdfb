// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_clipboard.h"

#include <gtest/gtest.h>

namespace {

TEST(QtClipboard, HoldsPlainText) {
    platform::QtClipboard clipboard;
    const QString text = QString::fromUtf8("'DWG','Größe'\r\n'A-1','€'\r\n");
    clipboard.setText(text);
    EXPECT_EQ(clipboard.text(), text);
    clipboard.clear();
    EXPECT_EQ(clipboard.text(), "");
}

}  // namespace
