// SPDX-License-Identifier: GPL-3.0-or-later
// "5) Extract Attributes": the selected drawings through the chosen template into the list.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "engine/extraction_pool.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "mainwindow/operation_guard.h"
#include "mainwindow/record_table_view.h"
#include "mainwindow/window_run_ui.h"
#include "records/record_list_model.h"

RecordForm MainWindow::recordForm() const {
    RecordForm form;
    form.includeDrawingName = includeDrawingNameCheck->checkState() == Qt::Checked;
    form.fullPath = fullPathCheck->checkState() == Qt::Checked;
    form.timestamp = timestampCheck->checkState() == Qt::Checked;
    form.commaDelimited = cdfOption->isChecked();
    form.spaces =
        static_cast<quint8>(std::clamp(fieldSpacesEdit->text().trimmed().toInt(), 0, 255));
    return form;
}

void MainWindow::extractAttributes() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    rememberUsedFolders();
    ExtractionRunRequest request;
    request.programFolder = m_programFolder;
    request.templateFolder = templateFolderList->path();
    const QList<QListWidgetItem*> templates = templateList->selectedItems();
    request.templateName = templates.isEmpty() ? QString() : templates[0]->text();
    request.drawingFolder = drawingFolderList->path();
    request.drawingNames = selectedTexts(drawingList);
    request.form = recordForm();

    const qint64 countBefore = records->count();
    WindowRunUi ui(m_platform, statusLabel, runProgress);
    ExtractionRunResult result =
        runExtractionOnThreads(request, m_readerFactory, m_extractionJobs, ui, m_platform.clock);
    if (result.outcome != ExtractionRunResult::Outcome::Finished) {
        return;
    }
    addRecords(result.records, result.maxFields, std::move(result.sources), false);
    // The header row goes with the records of the run that read it, and names the columns.
    if (!result.records.isEmpty()) {
        records->setHeader(result.header);
        nameRecordColumns(request.form);
    }

    if (records->isEmpty()) {
        m_platform.ui.beep();
        setProblem(finalStatus(result, true));
        return;
    }
    {
        // Unselecting the drawings is no click on them: the run's message stays.
        const QSignalBlocker block(drawingList);
        drawingList->clearSelection();
    }
    drawingSelectionLabel->clear();
    fitRecordScrollWidth();
    if (records->count() > countBefore) showNewRecords(countBefore, records->count() - countBefore);
    for (QPushButton* b : {clearRecordsButton, selectAllRecordsButton, unselectAllRecordsButton})
        b->setEnabled(true);
    extractButton->setEnabled(false);
    recordList->setToolTip(QStringLiteral(" Select items to send "));
    if (records->count() == countBefore) {
        m_platform.ui.beep();
        setProblem(finalStatus(result, true));
    } else {
        setStatus(finalStatus(result, false));
        const qint64 selected = selectedRecordCount();
        if (selected > 0) {
            recordSelectionLabel->setText(QString::number(selected) + QStringLiteral(" of ") +
                                          QString::number(records->count()) +
                                          QStringLiteral(" selected"));
        }
    }
}
