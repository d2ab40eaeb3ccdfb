// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/drawing_session.h"

#include "engine/blanks.h"

DrawingSession::DrawingSession(acad::ApplicationFactory factory, EngineUi& ui)
    : m_factory(std::move(factory)), m_ui(ui) {}

DrawingSession::~DrawingSession() {
    // No drawing application outlives the operation that started it.
    if (m_application) stop();
}

qint16 DrawingSession::start() {
    const core::Error noReader{-1, QStringLiteral("no drawing reader is built into this program")};
    auto created =
        m_factory ? m_factory() : core::Result<std::shared_ptr<acad::Application>>(noReader);
    if (!created || !created.value()) {
        const core::Error error = created ? noReader : created.error();
        m_ui.showError(QStringLiteral("Error opening AutoCAD"),
                       QStringLiteral("The drawing reader session could not be created.\r\n") +
                           error.description);
        return -1;
    }
    m_application = std::move(created).value();
    // Nothing of the application may be seen or ask anything during unattended work; a setting
    // that fails is not worth stopping for.
    m_application->SetWindowState(2);
    m_application->SetVisible(false);
    m_application->SetXrefDemandLoad(1);
    m_application->SetEnableStartupDialog(false);
    m_application->SetShowWarningMessages(false);
    return 1;
}

qint16 DrawingSession::openDrawing(const QString& path, bool readOnly,
                                   const QString& drawingPassword) {
    if (!m_application) {
        m_openError = QStringLiteral("no drawing reader session is open");
        return -1;
    }
    acad::Documents& documents = m_application->GetDocuments();
    auto opened = blanks::cut(drawingPassword).isEmpty()
                      ? documents.Open(path, readOnly, std::nullopt)
                      : documents.Open(path, readOnly, drawingPassword);
    if (!opened) {
        // A drawing that refuses the read-only flag may still open writable; it is closed
        // without saving, so nothing is changed on disk.
        opened = blanks::cut(drawingPassword).isEmpty()
                     ? documents.Open(path, std::nullopt, std::nullopt)
                     : documents.Open(path, std::nullopt, drawingPassword);
    }
    m_document = opened ? opened.value() : nullptr;
    m_openError = m_document ? QString()
                  : opened   ? QStringLiteral("the drawing could not be opened")
                             : opened.error().description;
    return m_document ? 1 : -2;
}

QString DrawingSession::withOpenError(const QString& message) const {
    return core::withReason(message, m_openError);
}

qint16 DrawingSession::closeDrawing() {
    if (!m_document) return -1;
    const core::Status closed = m_document->Close(false);
    m_document.reset();
    return closed ? 1 : -1;
}

void DrawingSession::stop() {
    if (m_application) {
        acad::Documents& documents = m_application->GetDocuments();
        // Closing removes the document from the collection, so walk it from the end.
        for (int i = documents.Count().valueOr(0) - 1; i >= 0; --i) {
            if (auto document = documents.Item(i); document && document.value()) {
                document.value()->Close(false);
            }
        }
    }
    m_document.reset();
    if (m_application) m_application->Quit();
    m_application.reset();
}
