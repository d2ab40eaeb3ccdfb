// SPDX-License-Identifier: GPL-3.0-or-later
// The search window over real drawings, headless: the search run as a click on Search starts
// it (listing, one reader session, every drawing opened and walked, lines shown in the results
// box, status line), and the wait from a click on Abort to the end of the run.
//   QT_QPA_PLATFORM=offscreen search_window_bench FOLDER_SPEC TEXT [--repeat N]
//       [--abort-after MS]

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include "drawing/drawing_file_reader.h"
#include "platform/gui/qt_platform.h"
#include "search/search_window.h"

namespace {

// No one answers: every box is a refusal or a completion report that needs no answer here.
class SilentDialogs : public platform::Dialogs {
public:
    platform::DialogButton message(const platform::MessageBoxRequest& request) override {
        QTextStream(stderr) << "box: " << request.text << Qt::endl;
        return platform::DialogButton::OK;
    }
    std::optional<QString> input(const platform::InputBoxRequest&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    QString pickFolder(const platform::FolderRequest&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);  // never the user's settings
    QStringList args = app.arguments().mid(1);
    int repeat = 3;
    int abortAfter = -1;
    for (qsizetype i = 0; i + 1 < args.size();) {
        if (args[i] == "--repeat") {
            repeat = args[i + 1].toInt();
            args.remove(i, 2);
        } else if (args[i] == "--abort-after") {
            abortAfter = args[i + 1].toInt();
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    QTextStream out(stdout);
    if (args.size() != 2) {
        out << "search_window_bench FOLDER_SPEC TEXT [--repeat N] [--abort-after MS]" << Qt::endl;
        return 2;
    }

    const auto qt = platform::makeQtPlatform();
    SilentDialogs dialogs;
    const platform::Platform& real = qt->platform();
    platform::Platform services{dialogs,       real.shell, real.clipboard,
                                real.settings, real.ui,    real.clock};
    QTemporaryDir home;
    SearchWindow window(services, drawing::drawingFileReaderFactory(), home.path());
    window.resize(900, 620);
    window.show();
    window.folderEdit->setText(args[0]);
    window.searchTextEdit->setText(args[1]);
    QApplication::processEvents();

    double best = 1e9;
    double longestAbortWait = 0;
    for (int run = 0; run < repeat; ++run) {
        QElapsedTimer sinceAbort;
        if (abortAfter >= 0) {
            QTimer::singleShot(abortAfter, &window, [&] {
                sinceAbort.start();
                window.abortButton->click();
            });
        }
        QElapsedTimer timer;
        timer.start();
        window.searchButton->click();
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        best = std::min(best, seconds);
        if (sinceAbort.isValid()) {
            longestAbortWait =
                std::max(longestAbortWait, static_cast<double>(sinceAbort.nsecsElapsed()) / 1e9);
        }
        out << "run " << run + 1 << ": " << QString::number(seconds, 'f', 3) << " s, "
            << window.statusLabel->text().replace('\n', " | ") << Qt::endl;
        QApplication::processEvents();
    }
    out << "best " << QString::number(best, 'f', 3) << " s over " << repeat << " runs" << Qt::endl;
    if (abortAfter >= 0) {
        out << "longest wait from Abort to the end of the run: "
            << QString::number(longestAbortWait * 1000, 'f', 2) << " ms" << Qt::endl;
    }
    return 0;
}
