// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/drawing_session.h"

#include "engine/blanks.h"

DrawingSession::DrawingSession(drawingapi::ReaderFactory factory, EngineUi& ui)
    : m_factory(std::move(factory)), m_ui(ui) {}

DrawingSession::~DrawingSession() {
    // No drawing outlives the operation that opened it.
    stop();
}

core::Status DrawingSession::start() {
    const core::Error noReader{-1, QStringLiteral("no drawing reader is built into this program")};
    auto created = m_factory ? m_factory()
                             : core::Result<std::shared_ptr<drawingapi::DrawingReader>>(noReader);
    if (!created || !created.value()) {
        const core::Error error = created ? noReader : created.error();
        m_ui.showError(QStringLiteral("Error opening AutoCAD"),
                       QStringLiteral("The drawing reader session could not be created.\r\n") +
                           error.description);
        return error;
    }
    m_reader = std::move(created).value();
    return core::success();
}

core::Status DrawingSession::openDrawing(const QString& path, const QString& password) {
    m_drawing.reset();
    if (!m_reader) return core::Error{-1, QStringLiteral("no drawing reader session is open")};
    auto opened = m_reader->open(path, blanks::cut(password).isEmpty() ? QString() : password);
    if (!opened) return opened.error();
    m_drawing = std::move(opened).value();
    if (!m_drawing) return core::Error{-1, QStringLiteral("the drawing could not be opened")};
    return core::success();
}

void DrawingSession::closeDrawing() {
    m_drawing.reset();
}

void DrawingSession::stop() {
    m_drawing.reset();
    m_reader.reset();
}
