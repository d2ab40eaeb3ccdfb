// "&File": a drawing list file chosen, run by the drawing list runner, and the window brought
// up to date with what it added.

#include <QCheckBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include "batch/drawing_list_runner.h"
#include "mainwindow/form1.h"
#include "mainwindow/operation_guard.h"
#include "mainwindow/window_run_ui.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "records/record_list_model.h"

// What a drawing list shows in the window.
class DrawingListGlue : public batch::DrawingListWindow {
public:
    explicit DrawingListGlue(Form1& window)
        : m_window(window), m_runUi(window.m_platform, window.Label4) {}

    void processPendingEvents() override { m_runUi.processPendingEvents(); }
    void showError(const QString& caption, const QString& text) override {
        m_runUi.showError(caption, text);
    }
    void setStatus(const QString& text) override { m_window.setStatus(text); }
    void setBusy(bool busy) override { m_runUi.setBusy(busy); }
    void beep() override { m_window.m_platform.ui.beep(); }

    void applyHeaderOptions(const batch::HeaderOptions& options) override {
        if (options.includeName) setCheckValue(m_window.Check1, *options.includeName);
        if (options.fullPath) setCheckValue(m_window.Check5, *options.fullPath);
        if (options.timestamp) setCheckValue(m_window.Check6, *options.timestamp);
    }
    RecordForm recordForm() const override { return m_window.recordForm(); }
    RecordListModel& records() override { return *m_window.records; }
    void recordsAdded(qint64 first, qint64 count) override {
        if (count == 0) return;
        // The window's counts and buttons follow once, at the end of the run.
        QItemSelectionModel* selection = m_window.recordView->selectionModel();
        const QSignalBlocker block(selection);
        selection->select(
            QItemSelection(m_window.records->index(static_cast<int>(first)),
                           m_window.records->index(static_cast<int>(first + count - 1))),
            QItemSelectionModel::Select);
    }
    output::SendRequest requestFor(output::Destination destination) override {
        // Choosing a destination does what a click on it does (its file list, its remembered
        // file), and the window is left showing the destination of the last send line.
        QRadioButton* option = destination == output::Destination::Clipboard     ? m_window.Option4
                               : destination == output::Destination::Spreadsheet ? m_window.Option5
                               : destination == output::Destination::Database    ? m_window.Option6
                               : destination == output::Destination::Document    ? m_window.Option7
                                                                                 : m_window.Option3;
        option->setChecked(true);
        output::SendRequest request = m_window.sendRequest();
        request.fromList = true;
        return request;
    }
    void showSend(const output::SendRequest& request, const output::SendResult& result) override {
        m_window.showSend(request, result);
    }
    void endProgram() override {
        // Settings are not stored: the window's unload steps do not run.
        m_window.m_unloaded = true;
        m_window.endProgram();
    }

private:
    Form1& m_window;
    WindowRunUi m_runUi;
};

namespace {

// The send targets a run changes and gives back at its end.
struct SendTargets {
    QString textFile, excelFile, excelSheet, accessFile, accessTable, wordFile;
};

}  // namespace

void Form1::Command5_Click() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    runDrawingList();
}

void Form1::runDrawingList() {
    QString listPath;
    if (!mstrCmdLine.isEmpty() && mstrCmdLine != QLatin1String("/p")) {
        listPath = platform::resolvePath(mstrCmdLine);
        if (!QFile::exists(listPath)) {
            m_platform.ui.beep();
            setStatus(QStringLiteral("Passed file '") + mstrCmdLine +
                      QStringLiteral("' does not exist."));
            mstrCmdLine.clear();
            return;
        }
    } else {
        platform::FileDialogRequest request;
        request.caption = QStringLiteral("Open Drawing List File");
        request.filter = QStringLiteral("DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*");
        request.folder = mstrAppPath;
        listPath = m_platform.dialogs.openFile(request);
        if (listPath.isEmpty()) return;
    }
    // A list that cannot be read (gone, no permission, a folder) ends the run here, said so,
    // with the attribute list untouched and nothing left to run again on the next click.
    platform::LineReader list;
    if (!list.open(listPath)) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("Cannot read the drawing list file ") + listPath +
                  QStringLiteral(": ") + list.errorString() + QLatin1Char('.'));
        mstrCmdLine.clear();
        return;
    }

    platform::Hourglass hourglass(m_platform.ui);
    records->clear();
    recordSelectionChanged();
    const SendTargets saved{mstrTextFile,   mstrExcelFile,   mstrExcelSheet,
                            mstrAccessFile, mstrAccessTable, mstrWordFile};
    DrawingListGlue glue(*this);
    batch::DrawingListRunner runner(glue, *m_sender, drawingApplication, m_platform.clock,
                                    mstrAppPath);
    const batch::DrawingListResult result = runner.run(list);
    // Without a drawing session nothing ran: the same list runs again on the next click.
    if (result.outcome != batch::DrawingListResult::Outcome::Finished) return;

    mstrCmdLine.clear();
    mstrTextFile = saved.textFile;
    mstrExcelFile = saved.excelFile;
    mstrExcelSheet = saved.excelSheet;
    mstrAccessFile = saved.accessFile;
    mstrAccessTable = saved.accessTable;
    mstrWordFile = saved.wordFile;
    hourglass.release();

    if (result.recordsAdded == 0) {
        setStatus(QStringLiteral("No attributes extracted."));
        return;
    }
    fitRecordScrollWidth();
    for (QPushButton* b : {Command3, Command6, Command7}) b->setEnabled(true);
    recordView->setToolTip(QStringLiteral(" Select items to send "));
    recordSelectionChanged();
    if (!result.sent) {
        setStatus(extractedMessage(result.drawingsExtracted, result.elapsedSeconds));
    }
}
