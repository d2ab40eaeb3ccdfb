// SPDX-License-Identifier: GPL-3.0-or-later
// "&File": a drawing list file chosen, run by the drawing list runner, and the window brought
// up to date with what it added.

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "batch/drawing_list_runner.h"
#include "mainwindow/main_window.h"
#include "mainwindow/operation_guard.h"
#include "mainwindow/record_table_view.h"
#include "mainwindow/window_run_ui.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "records/record_list_model.h"

// What a drawing list shows in the window.
class MainWindow::DrawingListView : public batch::DrawingListWindow {
public:
    explicit DrawingListView(MainWindow& window)
        : m_window(window), m_runUi(window.m_platform, window.statusLabel, window.runProgress) {}

    void processPendingEvents() override { m_runUi.processPendingEvents(); }
    void showError(const QString& caption, const QString& text) override {
        m_runUi.showError(caption, text);
    }
    void setStatus(const QString& text) override { m_window.setStatus(text); }
    void setProblem(const QString& text) override { m_window.setProblem(text); }
    void setProgress(qint64 done, qint64 total) override { m_runUi.setProgress(done, total); }
    bool cancelRequested() const override { return m_runUi.cancelRequested(); }
    void setBusy(bool busy) override { m_runUi.setBusy(busy); }
    void beep() override { m_window.m_platform.ui.beep(); }

    void applyHeaderOptions(const batch::HeaderOptions& options) override {
        auto show = [](QCheckBox* box, std::optional<bool> on) {
            if (on) setCheckValue(box, *on ? CheckValue::Checked : CheckValue::Unchecked);
        };
        show(m_window.includeDrawingNameCheck, options.includeName);
        show(m_window.fullPathCheck, options.fullPath);
        show(m_window.timestampCheck, options.timestamp);
    }
    RecordForm recordForm() const override { return m_window.recordForm(); }
    RecordListModel& records() override { return *m_window.records; }
    void recordsAdded(qint64 first, qint64 count) override {
        if (count == 0) return;
        m_window.nameRecordColumns(recordForm());
        // The window's counts and buttons follow once, at the end of the run.
        m_window.selectRecords(first, count, false);
    }
    output::SendRequest requestFor(output::Destination destination) override {
        // Choosing a destination does what a click on it does (its file list, its remembered
        // file), and the window is left showing the destination of the last send line.
        m_window.destinationGroup->button(static_cast<int>(destination))->setChecked(true);
        output::SendRequest request = m_window.sendRequest();
        request.fromList = true;
        return request;
    }
    void showSend(const output::SendRequest& request, const output::SendResult& result) override {
        m_window.showSend(request, result);
    }

private:
    MainWindow& m_window;
    WindowRunUi m_runUi;
};

void MainWindow::runDrawingListFile() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    runDrawingList();
}

void MainWindow::runDrawingList() {
    QString listPath;
    const bool fromCommandLine = !m_commandLine.isEmpty() && m_commandLine != QLatin1String("/p");
    if (fromCommandLine) {
        QString refusal;  // a path too long to look up: the reader says why
        listPath = platform::resolvePath(m_commandLine, &refusal);
        if (refusal.isEmpty() && !QFile::exists(listPath)) {
            m_platform.ui.beep();
            setProblem(QStringLiteral("Passed file '") + m_commandLine +
                       QStringLiteral("' does not exist."));
            m_commandLine.clear();
            return;
        }
    } else {
        platform::FileDialogRequest request;
        request.caption = QStringLiteral("Open Drawing List File");
        request.filter = QStringLiteral("DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*");
        request.folder = m_programFolder;
        listPath = m_platform.dialogs.openFile(request);
        if (listPath.isEmpty()) return;
    }
    // A list that cannot be read (gone, no permission, a folder, a device or a pipe, too large)
    // ends the run here, said so, with the attribute list untouched and nothing left to run
    // again on the next click.
    platform::LineReader list;
    if (!list.open(listPath, batch::listFileLimit())) {
        m_platform.ui.beep();
        setProblem(QStringLiteral("Cannot read the drawing list file ") + listPath +
                   QStringLiteral(": ") + list.errorString() + QLatin1Char('.'));
        m_commandLine.clear();
        return;
    }

    platform::Hourglass hourglass(m_platform.ui);
    records->clear();
    recordSelectionChanged();
    DrawingListView view(*this);
    batch::DrawingListRunner runner(view, *m_sender, m_readerFactory, m_platform.clock,
                                    m_programFolder);
    const batch::DrawingListResult result = runner.run(list);
    if (result.outcome == batch::DrawingListResult::Outcome::Ended) {
        // Settings are not stored: the window's unload steps do not run. A script that started
        // the list learns from the exit status whether a line failed; err.log says which.
        m_unloaded = true;
        m_endProgram(fromCommandLine && result.failedLines > 0 ? kFailedListStatus : 0);
        return;
    }
    // Without a drawing session nothing ran: the same list runs again on the next click.
    if (result.outcome == batch::DrawingListResult::Outcome::NoApplication) return;

    m_commandLine.clear();
    hourglass.release();
    // A list the user stopped keeps what it extracted; the lines after the click did not run.
    const QString cancelled =
        result.outcome == batch::DrawingListResult::Outcome::Cancelled
            ? QStringLiteral(" Cancelled after ") + QString::number(result.drawingLinesRun) +
                  QStringLiteral(" of ") + QString::number(result.drawingLines) +
                  QStringLiteral(" drawing line(s).")
            : QString();

    if (result.recordsAdded == 0) {
        setProblem(QStringLiteral("No attributes extracted.") + cancelled);
        return;
    }
    fitRecordScrollWidth();
    showNewRecords(0, records->count());
    for (QPushButton* b : {clearRecordsButton, selectAllRecordsButton, unselectAllRecordsButton})
        b->setEnabled(true);
    recordList->setToolTip(QStringLiteral(" Select items to send "));
    recordSelectionChanged();
    if (!result.sent || !cancelled.isEmpty()) {
        setStatus(extractedMessage(result.drawingsExtracted, result.elapsedSeconds) + cancelled);
    }
}
