// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/drawing_file_reader.h"

#include "drawing/dxf_reader.h"
#include "drawing/reader_objects.h"

namespace drawing {

namespace {

class ReadDrawing : public drawingapi::Drawing {
public:
    explicit ReadDrawing(std::shared_ptr<const drawing::Drawing> drawing)
        : m_drawing(std::move(drawing)) {}

    core::Result<drawingapi::BlockReferences> blockReferences(drawingapi::Space space,
                                                              const QString& layer) const override {
        return blockReferencesOf(m_drawing, space, layer);
    }

private:
    std::shared_ptr<const drawing::Drawing> m_drawing;
};

class DrawingFileReader : public drawingapi::DrawingReader {
public:
    // The password is accepted and ignored: the files read carry none.
    core::Result<std::shared_ptr<const drawingapi::Drawing>> open(const QString& path,
                                                                  const QString&) override {
        auto drawing = readDrawingFile(path);
        if (!drawing) return drawing.error();
        return std::shared_ptr<const drawingapi::Drawing>(
            std::make_shared<ReadDrawing>(std::move(drawing).value()));
    }
};

}  // namespace

std::shared_ptr<drawingapi::DrawingReader> createDrawingFileReader() {
    return std::make_shared<DrawingFileReader>();
}

drawingapi::ReaderFactory drawingFileReaderFactory() {
    return []() -> core::Result<std::shared_ptr<drawingapi::DrawingReader>> {
        return createDrawingFileReader();
    };
}

}  // namespace drawing
