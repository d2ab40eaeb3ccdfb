#include "engine/blanks.h"
#include "engine/cautocad.h"

cAutoCAD::cAutoCAD(acad::ApplicationFactory factory, EngineUi& ui)
    : m_factory(std::move(factory)), m_ui(ui) {}

cAutoCAD::~cAutoCAD() {
    // No drawing application outlives the operation that started it.
    if (mobjAcad) CloseAutoCAD();
}

qint16 cAutoCAD::OpenAutoCAD() {
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
    mobjAcad = std::move(created).value();
    // Nothing of the application may be seen or ask anything during unattended work; a setting
    // that fails is not worth stopping for.
    mobjAcad->SetWindowState(2);
    mobjAcad->SetVisible(false);
    mobjAcad->SetXrefDemandLoad(1);
    mobjAcad->SetEnableStartupDialog(false);
    mobjAcad->SetShowWarningMessages(false);
    return 1;
}

qint16 cAutoCAD::OpenDrawing(const QString& strDrawing, bool blnReadOnly, const QString& strPword) {
    if (!mobjAcad) {
        m_openError = QStringLiteral("no drawing reader session is open");
        return -1;
    }
    acad::Documents& documents = mobjAcad->GetDocuments();
    auto opened = blanks::cut(strPword).isEmpty()
                      ? documents.Open(strDrawing, blnReadOnly, std::nullopt)
                      : documents.Open(strDrawing, blnReadOnly, strPword);
    if (!opened) {
        // A drawing that refuses the read-only flag may still open writable; it is closed
        // without saving, so nothing is changed on disk.
        opened = blanks::cut(strPword).isEmpty()
                     ? documents.Open(strDrawing, std::nullopt, std::nullopt)
                     : documents.Open(strDrawing, std::nullopt, strPword);
    }
    mobjDoc = opened ? opened.value() : nullptr;
    m_openError = mobjDoc  ? QString()
                  : opened ? QStringLiteral("the drawing could not be opened")
                           : opened.error().description;
    return mobjDoc ? 1 : -2;
}

QString cAutoCAD::withOpenError(const QString& message) const {
    if (m_openError.isEmpty()) return message;
    return message + QStringLiteral(" (") + m_openError + QLatin1Char(')');
}

qint16 cAutoCAD::CloseDrawing() {
    if (!mobjDoc) return -1;
    const core::Status closed = mobjDoc->Close(false);
    mobjDoc.reset();
    return closed ? 1 : -1;
}

void cAutoCAD::CloseAutoCAD() {
    if (mobjAcad) {
        acad::Documents& documents = mobjAcad->GetDocuments();
        // Closing removes the document from the collection, so walk it from the end.
        for (int i = documents.Count().valueOr(0) - 1; i >= 0; --i) {
            if (auto document = documents.Item(i); document && document.value()) {
                document.value()->Close(false);
            }
        }
    }
    mobjDoc.reset();
    if (mobjAcad) mobjAcad->Quit();
    mobjAcad.reset();
}
