// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/drawing_values.h"

#include <gtest/gtest.h>

#include "drawing/dxf_reader.h"

namespace testfiles {

QStringList attributeValuesOf(const QString& path, const QString& handle) {
    const auto model = drawing::readDrawingFile(path);
    EXPECT_TRUE(model) << model.error().description.toStdString();
    QStringList values;
    if (!model) return values;
    for (const auto& insert : model.value()->inserts) {
        if (insert.handle.toQString() != handle) continue;
        for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
            const auto& attribute = model.value()->attributes[insert.firstAttribute + i];
            values << attribute.tag + QLatin1Char('=') + attribute.text;
        }
    }
    return values;
}

}  // namespace testfiles
