// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include "office/ooxml_package.h"

// Every part of the package `before` is in `after`, in the same order and, unless named in
// `changing`, byte for byte: writing a few cells or paragraphs leaves what it does not know
// as it was.
inline void expectPartsKept(const QString& before, const QString& after,
                            office::ooxml::FileKind kind, const QStringList& changing) {
    const auto old = office::ooxml::Package::read(before, kind);
    const auto now = office::ooxml::Package::read(after, kind);
    ASSERT_TRUE(old.ok() && now.ok());
    ASSERT_EQ(old.value().parts().size(), now.value().parts().size());
    for (size_t i = 0; i < old.value().parts().size(); ++i) {
        const auto& was = old.value().parts()[i];
        const auto& is = now.value().parts()[i];
        EXPECT_EQ(was.name, is.name);
        EXPECT_TRUE(changing.contains(was.name) || was.data == is.data) << was.name.toStdString();
    }
}
