// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/attribute_page.h"

#include <QFileInfo>

#include "engine/drawing_session.h"
#include "engine/html_table.h"
#include "engine/text_forms.h"
#include "platform/file_exists.h"
#include "platform/paths.h"

namespace {

// The page the double-click has always written: a gold table, centred, with the header rows
// at both ends in bold.
HtmlTableStyle pageTableStyle() {
    HtmlTableStyle style;
    style.tableAlign = HtmlAlign::Center;
    style.backgroundColor = QStringLiteral("#FFD700");
    style.border = 1;
    style.borderColor = QStringLiteral("black");
    style.cellSpacing = 2;
    style.cellPadding = 2;
    style.widthPercent = 10;
    style.cellAlign = HtmlAlign::Left;
    style.wrapCellData = false;
    style.boldFirstRow = true;
    style.boldFirstColumn = false;
    style.boldLastRow = true;
    return style;
}

// The pointer comes back on every way out.
class BusyPointer {
public:
    explicit BusyPointer(ExtractionRunUi& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyPointer() { m_ui.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    ExtractionRunUi& m_ui;
};

using Outcome = AttributePageResult::Outcome;

}  // namespace

QString attributePagePath(const QString& programFolder) {
    return platform::joinPath(programFolder, QStringLiteral("attr.htm"));
}

AttributePageResult writeAttributePage(const AttributePageRequest& request,
                                       const drawingapi::ReaderFactory& factory,
                                       ExtractionRunUi& ui, const platform::Clock& clock) {
    AttributePageResult result;
    const QString joined = platform::joinPath(request.drawingFolder, request.drawingName);
    result.drawingPath = platform::resolvePath(joined);
    const QString upperName = request.drawingName.toUpper();

    BusyPointer busy(ui);
    ui.setStatus(QStringLiteral("Starting AutoCAD..."));
    DrawingSession session(factory, ui);
    if (!session.start()) {
        // The session has shown its own message box.
        result.outcome = Outcome::NoApplication;
        result.status = QStringLiteral("Unable to start AutoCAD");
        return result;
    }

    auto fail = [&](Outcome outcome, const QString& message) {
        session.stop();
        result.outcome = outcome;
        result.status = message;
        result.beep = true;
        return result;
    };

    if (!platform::fileExists(joined)) {
        return fail(Outcome::DrawingMissing,
                    QStringLiteral("File ") + upperName + QStringLiteral(" not found."));
    }
    const QDateTime start = clock.now();
    ui.setStatus(QStringLiteral("Creating HTML file from ") + upperName + QStringLiteral("..."));
    if (const core::Status opened = session.openDrawing(result.drawingPath); !opened) {
        return fail(Outcome::OpenFailed, core::withReason(QStringLiteral("Error opening file."),
                                                          opened.error().description));
    }
    const core::Result<AttributeTable> table = session.attributeTable();
    session.closeDrawing();
    if (!table) {
        return fail(Outcome::NoTable, QStringLiteral("Error extracting attributes from file."));
    }

    result.attributes = table.value().attributeCount();
    result.heading =
        QString::number(result.attributes) + QStringLiteral(" attributes in ") + result.drawingPath;
    HtmlPageStyle page;
    page.heading = result.heading;
    page.title = result.heading;
    const core::Status written =
        htmltable::toFile(table.value(), request.pagePath, page, pageTableStyle(), ui);
    if (!written || !QFileInfo(request.pagePath).isFile()) {
        return fail(Outcome::NotWritten,
                    core::withReason(QStringLiteral("Error creating HTML file."),
                                     written ? QString() : written.error().description));
    }
    session.stop();
    result.elapsedSeconds = static_cast<double>(start.msecsTo(clock.now())) / 1000.0;
    result.status = QStringLiteral("HTML file created in ") +
                    textforms::elapsedSeconds(result.elapsedSeconds) + QStringLiteral(" seconds");
    return result;
}
