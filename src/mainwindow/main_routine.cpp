// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_routine.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "drawing/drawing_file_reader.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "mainwindow/single_instance.h"
#include "office/docx_word_processor.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "platform/gui/qt_platform.h"
#include "platform/program_folder.h"

namespace {

constexpr const char* kUsage =
    "Usage: quillon [LIST.dlf | /p]\n"
    "Reads the block attributes of DWG and DXF drawings and sends the records you choose to a\n"
    "text file, the clipboard, a spreadsheet (.xlsx), a database (SQLite) or a document\n"
    "(.docx).\n\n"
    "  LIST.dlf     run a drawing list file at once; its END line ends the program, with exit\n"
    "               status 1 when a drawing line or send line failed (err.log says which)\n"
    "  /p           start the window as usual\n"
    "  --help       show this text\n"
    "  --version    show the version\n";

// --help and --version answer on the terminal without opening a window (or needing a display).
bool answeredOnTheTerminal(int argc, char** argv) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs("quillon " QUILLON_VERSION "\n", stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return true;
    }
    return false;
}

}  // namespace

MainWindowServices desktopServices(platform::Platform platform) {
    MainWindowServices services(platform, drawing::drawingFileReaderFactory());
    // The drawing reader keeps nothing between drawings that threads could share.
    services.extractionJobs = std::max(1, QThread::idealThreadCount());
    services.office.openDatabase = office::openSqliteDatabase;
    services.office.startSpreadsheet = office::startXlsxSpreadsheet;
    services.office.startWordProcessor = office::startDocxWordProcessor;
    return services;
}

int runDesktopProgram(int argc, char** argv) {
    if (answeredOnTheTerminal(argc, argv)) return 0;
    QApplication app(argc, argv);
    platform::nameTheProgram();
    const auto qt = platform::makeQtPlatform();
    platform::Platform services = qt->platform();

    SingleInstance instance(SingleInstance::nameForCurrentUser());
    if (!instance.claim()) {
        services.ui.beep();
        services.dialogs.messageBox(
            QStringLiteral("Quillon"),
            QStringLiteral("Quillon is already running; its window is now in front."),
            platform::MessageIcon::Exclamation);
        return 0;
    }

    // The list file path may hold blanks that split it into several arguments.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    MainWindow window(desktopServices(services), platform::programFolder(), commandLine);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    // Loading runs inside the event loop, so a drawing list's END can end the program.
    QTimer::singleShot(0, &window, [&window] { window.load(); });
    return app.exec();
}
