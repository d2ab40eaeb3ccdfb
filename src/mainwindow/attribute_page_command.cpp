// SPDX-License-Identifier: GPL-3.0-or-later
// A double-click on a drawing: every attribute of it as a page in the desktop's browser.

#include <QListWidget>

#include "engine/attribute_page.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "mainwindow/operation_guard.h"
#include "mainwindow/window_run_ui.h"

void MainWindow::showAttributePage(QListWidgetItem* drawing) {
    if (!drawing) return;
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    AttributePageRequest request;
    request.drawingFolder = drawingFolderList->path();
    request.drawingName = drawing->text();
    request.pagePath = attributePagePath(m_programFolder);
    WindowRunUi ui(m_platform, statusLabel);
    const AttributePageResult result =
        writeAttributePage(request, m_readerFactory, ui, m_platform.clock);
    if (result.beep) {
        m_platform.ui.beep();
        setProblem(result.status);
    } else {
        setStatus(result.status);
    }
    if (result.outcome == AttributePageResult::Outcome::Written) {
        m_platform.shell.openDocument(request.pagePath);
    }
}
