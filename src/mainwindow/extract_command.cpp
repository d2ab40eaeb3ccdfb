// "5) Extract Attributes": the selected drawings through the chosen template into the list.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "engine/extraction_run.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"
#include "mainwindow/operation_guard.h"
#include "mainwindow/window_run_ui.h"
#include "records/record_list_model.h"

RecordForm Form1::recordForm() const {
    RecordForm form;
    form.includeDrawingName = Check1->checkState() == Qt::Checked;
    form.fullPath = Check5->checkState() == Qt::Checked;
    form.timestamp = Check6->checkState() == Qt::Checked;
    form.commaDelimited = Option1->isChecked();
    form.spaces = static_cast<quint8>(std::clamp(Text4->text().trimmed().toInt(), 0, 255));
    return form;
}

void Form1::Command15_Click() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    ExtractionRunRequest request;
    request.programFolder = mstrAppPath;
    request.templateFolder = Dir3->path();
    const QList<QListWidgetItem*> templates = List1->selectedItems();
    request.templateName = templates.isEmpty() ? QString() : templates[0]->text();
    request.drawingFolder = Dir1->path();
    request.drawingNames = selectedTexts(List2);
    request.form = recordForm();

    const qint64 countBefore = records->count();
    WindowRunUi ui(m_platform, Label4);
    const ExtractionRunResult result =
        runExtraction(request, drawingApplication, ui, m_platform.clock);
    if (result.outcome != ExtractionRunResult::Outcome::Finished) {
        return;
    }
    addRecords(result.records, result.maxFields, false);
    // The header row goes with the records of the run that read it.
    if (!result.records.isEmpty()) records->setHeader(result.header);

    if (records->isEmpty()) {
        m_platform.ui.beep();
        setStatus(finalStatus(result, true));
        return;
    }
    {
        // Unselecting the drawings is no click on them: the run's message stays.
        const QSignalBlocker block(List2);
        List2->clearSelection();
    }
    fitRecordScrollWidth();
    for (QPushButton* b : {Command3, Command6, Command7}) b->setEnabled(true);
    Command15->setEnabled(false);
    recordView->setToolTip(QStringLiteral(" Select items to send "));
    if (records->count() == countBefore) {
        m_platform.ui.beep();
        setStatus(finalStatus(result, true));
    } else {
        setStatus(finalStatus(result, false));
        const qint64 selected = selectedRecordCount();
        if (selected > 0) {
            Label11->setText(QString::number(selected) + QStringLiteral(" of ") +
                             QString::number(records->count()) + QStringLiteral(" selected"));
        }
    }
}
