// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing reader as the engine sees it: open a drawing, list its references by space.

#include "drawing/drawing_file_reader.h"

#include <gtest/gtest.h>

#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using drawingapi::Space;

QStringList namesOf(const drawingapi::BlockReferences& references) {
    QStringList out;
    for (const auto& reference : references)
        out << reference->name().value() + u'@' + reference->handle().value();
    return out;
}

TEST(DrawingFileReader, OpensDrawingsAndSaysWhyOneCannotBeRead) {
    auto created = drawingFileReaderFactory()();
    ASSERT_TRUE(created.ok());
    drawingapi::DrawingReader& reader = *created.value();
    // The password is accepted and ignored.
    auto first = reader.open(fixturePath(u"layouts_R2018.dxf"_qs), {});
    auto second = reader.open(fixturePath(u"layouts_R12.dxf"_qs), u"secret"_qs);
    ASSERT_TRUE(first.ok() && second.ok());

    auto failed = reader.open(fixturePath(u"make_fixtures.py"_qs), {});
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().number, errors::kNotADrawing);
    EXPECT_FALSE(failed.error().description.isEmpty());

    // The references hold what they need: they outlive the drawing and the reader.
    auto references = first.value()->blockReferences(Space::Paper).value();
    first = core::Error{};
    created = core::Error{};
    ASSERT_EQ(references.size(), 4u);
    EXPECT_EQ(references.back()->name().value(), "TAGBLOCK");
}

TEST(DrawingFileReader, ListsOneSpaceOptionallyOnOneLayer) {
    auto drawing = createDrawingFileReader()->open(fixturePath(u"layouts_R2018.dxf"_qs), {});
    ASSERT_TRUE(drawing.ok());
    const drawingapi::Drawing& d = *drawing.value();
    const auto model = d.blockReferences(Space::Model).value();
    const auto paper = d.blockReferences(Space::Paper).value();
    EXPECT_EQ(model.size() + paper.size(), 10u);
    // Layers compare ignoring letter case; wildcards are not interpreted.
    EXPECT_EQ(namesOf(d.blockReferences(Space::Paper, u"frame"_qs).value()),
              QStringList{u"PLAIN@6D"_qs});
    EXPECT_EQ(namesOf(d.blockReferences(Space::Model, u"FRAME"_qs).value()),
              QStringList{u"PLAIN@5C"_qs});
    EXPECT_TRUE(d.blockReferences(Space::Model, u"FRAM*"_qs).value().empty());
}

}  // namespace
}  // namespace drawing::test
