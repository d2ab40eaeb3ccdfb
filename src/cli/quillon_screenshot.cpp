// quillon-screenshot: renders the main window at its size into a PNG file, for checking the
// layout without a display (QT_QPA_PLATFORM=offscreen). Settings are kept apart from the user's.

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QStandardPaths>
#include <QTextStream>

#include "mainwindow/form1.h"
#include "platform/gui/qt_platform.h"
#include "records/record_list_model.h"

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: quillon-screenshot OUTPUT.png [DRAWING_FOLDER]\n";
        return 2;
    }
    const QString folder = QDir(args.value(2, QDir::currentPath())).absolutePath();
    const auto qt = platform::makeQtPlatform();
    platform::Platform services = qt->platform();
    services.settings.remove(QStringLiteral("Options"));
    services.settings.set(QStringLiteral("Options"), QStringLiteral("Dir"), folder);
    services.settings.set(QStringLiteral("Options"), QStringLiteral("Dir3"), folder);
    services.settings.set(QStringLiteral("Options"), QStringLiteral("FExt"),
                          QStringLiteral("*.dxf"));
    Form1 window(services, folder, QString());
    window.Form_Load();
    window.show();
    window.records->append(
        {QStringLiteral("'COOLING-WATER.DXF','TITLE','63','PID-1001','Cooling water circuit','C'"),
         QStringLiteral("'TANK-FARM.DXF','TITLE','59','PID-2001','Tank farm transfer','B'")});
    QApplication::processEvents();
    if (!window.grab().save(args[1])) {
        QTextStream(stderr) << "cannot write " << args[1] << "\n";
        return 1;
    }
    services.settings.remove(QStringLiteral("Options"));
    return 0;
}
