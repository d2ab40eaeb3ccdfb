// SPDX-License-Identifier: GPL-3.0-or-later
// The window beside the command line on the same drawings: a drawing list file naming every
// drawing of FOLDER that matches PATTERN with TEMPLATE, and a send of all records to a text file,
// run through the real main window (headless); then quillon-extract on the same folder, pattern
// and template. Also times Select All, Unselect All and Clear Selection on a long record list.
//   QT_QPA_PLATFORM=offscreen build/window/bench/window_run_bench TEMPLATE FOLDER PATTERN
//       [--repeat N] [--records N]

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include "drawing/drawing_file_reader.h"
#include "mainwindow/main_window.h"
#include "platform/folder_listing.h"
#include "platform/gui/qt_platform.h"
#include "records/record_list_model.h"

namespace {

// Answers every question Yes, so the run and Clear Selection go on without a person.
class YesDialogs : public platform::Dialogs {
public:
    platform::DialogButton message(const platform::MessageBoxRequest&) override {
        return platform::DialogButton::Yes;
    }
    std::optional<QString> input(const platform::InputBoxRequest&) override { return {}; }
    // The drawing list file the File button opens.
    QString openFile(const platform::FileDialogRequest&) override { return listFile; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    QString pickFolder(const platform::FolderRequest&) override { return {}; }

    QString listFile;
};

template <typename F>
double timed(F&& operation) {
    QElapsedTimer timer;
    timer.start();
    operation();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// The longest stretch in which the window let no timer run: how long a click would wait.
class PauseWatch {
public:
    PauseWatch() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, static_cast<double>(m_since.nsecsElapsed()) / 1e9);
            m_since.restart();
            ++m_ticks;
        });
    }
    void start() {
        m_longest = 0;
        m_ticks = 0;
        m_since.start();
        m_timer.start();
    }
    void stop() {
        m_timer.stop();
        m_longest = std::max(m_longest, static_cast<double>(m_since.nsecsElapsed()) / 1e9);
    }
    double longest() const { return m_longest; }
    qint64 ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    double m_longest = 0;
    qint64 m_ticks = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    auto option = [&args](const QString& name, int fallback) {
        const qsizetype at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size()) return fallback;
        const int value = args[at + 1].toInt();
        args.remove(at, 2);
        return value;
    };
    const int repeat = std::max(1, option("--repeat", 3));
    const int longList = option("--records", 200000);
    QTextStream out(stdout);
    if (args.size() != 3) {
        out << "usage: window_run_bench TEMPLATE FOLDER PATTERN [--repeat N] [--records N]\n";
        return 2;
    }
    const QString templatePath = QFileInfo(args[0]).absoluteFilePath();
    const QString folder = QFileInfo(args[1]).absoluteFilePath();
    const QStringList drawings = platform::listFolder(folder, args[2], {});

    QTemporaryDir scratch;
    const QString listPath = scratch.filePath("run.dlf");
    const QString sent = scratch.filePath("records.txt");
    {
        QFile list(listPath);
        if (!list.open(QIODevice::WriteOnly)) return 1;
        QTextStream text(&list);
        text << "DWGNAME\r\n";
        for (const QString& name : drawings) {
            text << folder << '/' << name << ',' << templatePath << "\r\n";
        }
        text << "EXTRACT TO FILE " << sent << "\r\n";
    }

    const auto qt = platform::makeQtPlatform();
    YesDialogs dialogs;
    const platform::Platform& real = qt->platform();
    platform::Platform services{dialogs,       real.shell, real.clipboard,
                                real.settings, real.ui,    real.clock};
    MainWindowServices windowServices(services, drawing::drawingFileReaderFactory());
    windowServices.endProgram = [](int) {};
    MainWindow window(windowServices, scratch.path(), QString());
    auto* records = window.findChild<RecordListModel*>(QStringLiteral("records"));
    dialogs.listFile = listPath;
    window.show();
    QApplication::processEvents();

    out << "drawings: " << drawings.size() << " (" << folder << '/' << args[2] << "), template "
        << QFileInfo(templatePath).fileName() << "\n";
    double bestWindow = 1e9;
    double longestPause = 0;
    PauseWatch watch;
    for (int i = 0; i < repeat; ++i) {
        QFile::remove(sent);
        watch.start();
        bestWindow = std::min(bestWindow, timed([&] { window.runDrawingListFile(); }));
        watch.stop();
        longestPause = std::max(longestPause, watch.longest());
    }
    out << "window, drawing list and send: " << bestWindow << " s best of " << repeat << "; "
        << records->count() << " records; longest pause between events " << longestPause * 1000
        << " ms\n";
    out << "  status: " << window.findChild<QLabel*>(QStringLiteral("statusLabel"))->text() << "\n";
    out.flush();

    double bestCommandLine = 1e9;
    for (int i = 0; i < repeat; ++i) {
        QProcess extract;
        extract.setStandardOutputFile(scratch.filePath("extract-out.txt"));
        extract.setStandardErrorFile(QProcess::nullDevice());
        bestCommandLine = std::min(bestCommandLine, timed([&] {
                                       extract.start(QStringLiteral(QUILLON_EXTRACT_PROGRAM),
                                                     {templatePath, folder, args[2]});
                                       extract.waitForFinished(-1);
                                   }));
    }
    QFile lines(scratch.filePath("extract-out.txt"));
    qint64 printed = 0;
    if (lines.open(QIODevice::ReadOnly)) printed = lines.readAll().count('\n');
    out << "quillon-extract:               " << bestCommandLine << " s best of " << repeat << "; "
        << printed << " records\n";
    out << "window / command line: " << bestWindow / bestCommandLine << "\n";
    out.flush();

    // The selection buttons on a long list.
    QStringList texts;
    texts.reserve(longList);
    for (int i = 0; i < longList; ++i) {
        texts << QStringLiteral("'SHEET-%1.DWG','TITLE','A-%1','Title of sheet %1','C'").arg(i);
    }
    records->clear();
    out << "records: " << longList << "\n";
    out << "  add:             " << timed([&] { records->append(texts, 6); }) * 1000 << " ms\n";
    out << "  Select All:      " << timed([&] { window.selectAllRecords(); }) * 1000 << " ms\n";
    out << "  Unselect All:    " << timed([&] { window.unselectAllRecords(); }) * 1000 << " ms\n";
    window.selectAllRecords();
    out << "  Clear Selection: " << timed([&] { window.clearRecordSelection(); }) * 1000 << " ms\n";
    return 0;
}
