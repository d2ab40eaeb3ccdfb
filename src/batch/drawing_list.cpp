// "&File": a drawing list file run line by line: drawings extracted into the attribute list,
// send lines delivering everything extracted so far, END ending the program.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "batch/list_line.h"
#include "engine/cautocad.h"
#include "engine/module1.h"
#include "engine/run_extract_file.h"
#include "engine/text_forms.h"
#include "mainwindow/form1.h"
#include "mainwindow/window_run_ui.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text_writer.h"
#include "records/record_list_model.h"

namespace {

// The send targets a run changes and gives back at its end.
struct SendTargets {
    QString textFile, excelFile, excelSheet, accessFile, accessTable, wordFile;
};

}  // namespace

void Form1::Command5_Click() {
    if (!beginOperation()) return;
    runDrawingList();
    endOperation();
}

void Form1::runDrawingList() {
    if (!mstrCmdLine.isEmpty() && mstrCmdLine != QLatin1String("/p")) {
        Module1::strDwgFile = platform::resolvePath(mstrCmdLine);
        if (!QFile::exists(Module1::strDwgFile)) {
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
        Module1::strDwgFile = m_platform.dialogs.openFile(request);
        if (Module1::strDwgFile.isEmpty()) return;
    }
    // A list that cannot be read (gone, no permission, a folder) ends the run here, said so,
    // with the attribute list untouched and nothing left to run again on the next click.
    platform::LineReader list;
    if (!list.open(Module1::strDwgFile)) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("Cannot read the drawing list file ") + Module1::strDwgFile +
                  QStringLiteral(": ") + list.errorString() + QLatin1Char('.'));
        mstrCmdLine.clear();
        Module1::strDwgFile.clear();
        return;
    }

    platform::Hourglass hourglass(m_platform.ui);
    records->clear();
    recordSelectionChanged();
    const SendTargets saved{mstrTextFile,   mstrExcelFile,   mstrExcelSheet,
                            mstrAccessFile, mstrAccessTable, mstrWordFile};
    m_batchRecords = 0;
    const QDateTime started = m_platform.clock.now();
    setStatus(QStringLiteral("Extraction in process..."));
    // The run's own extract file: another run may share the program folder.
    RunExtractFile extractFile(mstrAppPath);
    Module1::strExtractPath = extractFile.path();

    QString line;
    while (list.readLine(line)) {
        const batch::LineKind kind = batch::kindOf(line.trimmed().toUpper());
        if (kind == batch::LineKind::Blank || kind == batch::LineKind::Comment) continue;
        applyHeaderLine(line.trimmed().toUpper());
        break;
    }

    WindowRunUi ui(m_platform, Label4);
    cAutoCAD session(drawingApplication, ui);
    if (session.OpenAutoCAD() != 1) return;
    platform::TextWriter log;
    log.open(platform::joinPath(mstrAppPath, "err.log"));
    Module1::lngFileCount = 0;

    bool sent = false;
    while (list.readLine(line)) {
        const QString written = line.trimmed();
        const QString upper = written.toUpper();
        switch (batch::kindOf(upper)) {
            case batch::LineKind::End:
                extractFile.publish();
                log.commit();
                session.CloseAutoCAD();
                // Settings are not stored: the window's unload steps do not run.
                m_unloaded = true;
                endProgram();
                return;
            case batch::LineKind::Send:
                mblnBatchSend = true;
                if (m_batchRecords != 0 && applySendLine(written)) {
                    sendSelected();
                    m_platform.ui.processEvents();
                    sent = true;
                }
                break;
            case batch::LineKind::Drawing:
                mblnBatchSend = false;
                extractDrawingLine(session, log, written);
                break;
            default:
                mblnBatchSend = false;
                break;
        }
    }

    extractFile.publish();
    log.commit();
    session.CloseAutoCAD();
    mstrCmdLine.clear();
    mstrTextFile = saved.textFile;
    mstrExcelFile = saved.excelFile;
    mstrExcelSheet = saved.excelSheet;
    mstrAccessFile = saved.accessFile;
    mstrAccessTable = saved.accessTable;
    mstrWordFile = saved.wordFile;
    mblnBatchSend = false;
    Module1::strDwgSpec.clear();
    Module1::strDwgFile.clear();
    Module1::strExtractPath.clear();
    Module1::strTemplatePath.clear();
    hourglass.release();

    if (m_batchRecords == 0) {
        setStatus(QStringLiteral("No attributes extracted."));
        return;
    }
    fitRecordScrollWidth();
    for (QPushButton* b : {Command3, Command6, Command7}) b->setEnabled(true);
    recordView->setToolTip(QStringLiteral(" Select items to send "));
    recordSelectionChanged();
    if (!sent) {
        setStatus(extractedMessage(Module1::lngFileCount,
                                   started.msecsTo(m_platform.clock.now()) / 1000.0));
    }
    Module1::lngFileCount = 0;
}

void Form1::applyHeaderLine(const QString& line) {
    const batch::HeaderOptions options = batch::headerOptions(line);
    if (options.includeName) setCheckValue(Check1, *options.includeName);
    if (options.fullPath) setCheckValue(Check5, *options.fullPath);
    if (options.timestamp) setCheckValue(Check6, *options.timestamp);
}

bool Form1::applySendLine(const QString& line) {
    const std::optional<batch::SendLine> send = batch::parseSendLine(line);
    if (!send) return false;
    // A path names an existing file in any letter case; a new file keeps the name as written.
    auto path = [&send](int number) {
        const QString written = send->field(number);
        return written.isEmpty() ? written : platform::resolvePath(written);
    };
    auto tagsRule = [&] { setCheckValue(Check9, send->tags ? 1 : 0); };
    using Destination = batch::SendLine::Destination;
    switch (send->destination) {
        case Destination::File:
            Option3->setChecked(true);
            if (!send->field(1).isEmpty()) mstrTextFile = path(1);
            setCheckValue(Check2, send->fieldIs(2, "APPEND") ? 1 : 0);
            tagsRule();
            break;
        case Destination::Clipboard:
            Option4->setChecked(true);
            tagsRule();
            break;
        case Destination::Word:
            Option7->setChecked(true);
            mstrWordFile = path(1);
            if (!send->field(1).isEmpty()) {
                setCheckValue(Check7, send->fieldIs(2, "APPEND") ? 1 : 0);
                setCheckValue(Check8, send->fieldIs(3, "TABLE") ? 1 : 0);
            }
            tagsRule();
            break;
        case Destination::Excel:
            Option5->setChecked(true);
            mstrExcelFile = path(1);
            mstrExcelSheet = send->field(2);
            if (!mstrExcelFile.isEmpty() && !mstrExcelSheet.isEmpty()) {
                if (batch::numericValue(send->field(3)) > 0) Text2->setText(send->field(3));
                if (batch::numericValue(send->field(4)) > 0) Text3->setText(send->field(4));
                setCheckValue(Check3, send->fieldIs(5, "TRANSPOSE") ? 1 : 0);
                setCheckValue(Check10, send->fieldIs(6, "ADJUSTCOLS") ? 1 : 0);
            }
            tagsRule();
            break;
        case Destination::Access:
            Option6->setChecked(true);
            mstrAccessFile = path(1);
            mstrAccessTable = send->field(2);
            setCheckValue(Check4, send->fieldIs(3, "APPEND") ? 1 : 0);
            break;
    }
    return true;
}

void Form1::extractDrawingLine(cAutoCAD& session, platform::TextWriter& log, const QString& line) {
    const batch::DrawingLine parts = batch::splitDrawingLine(line);
    Module1::strDwgFile = platform::resolvePath(parts.drawing);
    Module1::strDwgSpec = batch::fileNameOf(parts.drawing).toUpper();
    Module1::strTemplatePath = platform::resolvePath(parts.templatePath);

    if (Module1::strDwgSpec.contains(QLatin1Char('*')) ||
        Module1::strDwgSpec.contains(QLatin1Char('?'))) {
        QString pattern = Module1::strDwgSpec;
        Module1::blnNoExt = !pattern.contains(QLatin1Char('.'));
        if (Module1::blnNoExt) {
            pattern += QStringLiteral(".dwg");
        } else if (!pattern.endsWith(QLatin1String("dwg"), Qt::CaseInsensitive)) {
            pattern = pattern.left(pattern.indexOf(QLatin1Char('.')) + 1) + QStringLiteral("dwg");
        }
        Module1::strDwgSpec = pattern;
        const qsizetype cut = parts.drawing.size() - batch::fileNameOf(parts.drawing).size();
        runFolderScan(platform::resolvePath(parts.drawing.left(cut)), pattern, Module1::blnNoExt);
        return;
    }

    QString error;
    session.PrepTemplate(Module1::strTemplatePath, &error);
    if (error.isEmpty()) error = extractForBatch(session, Module1::strDwgFile);
    if (!error.isEmpty()) {
        setStatus(error);
        log.writeLine(textforms::logTimestamp(m_platform.clock.now()) +
                      QStringLiteral("  Template: ") + Module1::strTemplatePath +
                      QStringLiteral("  Drawing: ") + Module1::strDwgFile +
                      QStringLiteral("  Error: ") + error);
        return;
    }
    addBatchItems(Module1::strDwgFile, Module1::strDwgSpec);
}

QString Form1::extractForBatch(cAutoCAD& session, const QString& drawing) {
    if (!Module1::FileExists(drawing)) return QStringLiteral("DWG file not found.");
    const qint16 opened = session.OpenDrawing(drawing, true, session.Password());
    setStatus(QStringLiteral("Processing ") + drawing + QStringLiteral("..."));
    if (opened != 1) return session.withOpenError(QStringLiteral("Error opening DWG file."));
    if (Module1::FileExists(Module1::strExtractPath)) QFile::remove(Module1::strExtractPath);
    QString error;
    if (session.GetAttributes(Module1::strExtractPath, &error) == 1) {
        ++Module1::lngFileCount;
    } else {
        error = QStringLiteral("Unable to extract block attributes. ") + error;
    }
    session.CloseDrawing();
    return error;
}

void Form1::addBatchItems(const QString& drawingPath, const QString& drawingName) {
    ExtractFileFacts facts;
    const std::optional<QStringList> added =
        readExtractFile(Module1::strExtractPath, drawingPath, drawingName, recordForm(), &facts);
    if (!added) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("No attributes extracted from file ") + drawingName.toUpper() +
                  QLatin1Char('.'));
        return;
    }
    // The header row of the drawing read last goes with the records, for the sends that follow.
    records->setHeader(facts.header);
    // Items stay selected, so every send line sends all that the run extracted so far; the
    // window's counts and buttons follow once, at the end of the run.
    const QSignalBlocker block(recordView->selectionModel());
    addRecords(*added, facts.maxFields, true);
    m_batchRecords += added->size();
}
