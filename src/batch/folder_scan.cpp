// The folder scan of a wildcard drawing line: every matching drawing of a folder (and its
// subfolders when the pattern had no extension) extracted with the line's template.

#include "batch/folder_scan.h"

#include <QLabel>

#include "batch/list_line.h"
#include "engine/cautocad.h"
#include "engine/module1.h"
#include "mainwindow/form1.h"
#include "mainwindow/window_run_ui.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace batch {

QStringList ScanFolder(const QString& folder, const QString& pattern,
                       const std::function<void(const QString&)>& scanning) {
    QStringList found;
    platform::ListOptions subfolders;
    subfolders.files = false;
    subfolders.folders = true;
    const QStringList names = platform::listFolder(folder, QStringLiteral("*"), subfolders);
    for (const QString& name : names) {
        if (scanning) scanning(platform::joinPath(folder, name));
    }
    platform::ListOptions files;
    files.hidden = true;
    files.system = true;
    for (const QString& name : platform::listFolder(folder, pattern, files)) {
        found << platform::joinPath(folder, name);
    }
    for (const QString& name : names) {
        found << ScanFolder(platform::joinPath(folder, name), pattern, scanning);
    }
    return found;
}

}  // namespace batch

void Form1::runFolderScan(const QString& folder, const QString& pattern, bool withSubfolders) {
    QStringList drawings;
    if (withSubfolders) {
        drawings = batch::ScanFolder(folder, pattern, [this](const QString& path) {
            setStatus(QStringLiteral("Scanning ") + path + QStringLiteral("..."));
        });
    } else {
        setStatus(QStringLiteral("Scanning ") + folder + QStringLiteral("..."));
        for (const QString& name : platform::listFolder(folder, pattern, platform::ListOptions{})) {
            drawings << platform::joinPath(folder, name);
        }
    }

    // A session of its own, as the scan's drawings are opened apart from the batch's.
    WindowRunUi ui(m_platform, Label4);
    cAutoCAD session(drawingApplication, ui);
    if (session.OpenAutoCAD() != 1) return;
    QString error;
    session.PrepTemplate(Module1::strTemplatePath, &error);
    if (!error.isEmpty()) {
        setStatus(QStringLiteral("Unable to extract block attributes. ") + error);
        session.CloseAutoCAD();
        return;
    }
    for (const QString& drawing : drawings) {
        Module1::strDwgFile = drawing;
        error = extractForBatch(session, drawing);
        if (!error.isEmpty()) {
            setStatus(error);  // the scan writes no error-log lines
            continue;
        }
        addBatchItems(drawing, batch::fileNameOf(drawing).toUpper());
    }
    session.CloseAutoCAD();
}
