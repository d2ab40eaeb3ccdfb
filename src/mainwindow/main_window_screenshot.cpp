// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_window_screenshot.h"

#include <QApplication>
#include <QRadioButton>

#include "mainwindow/main_window.h"
#include "mainwindow/record_table_view.h"
#include "records/record_list_model.h"

namespace {

class IgnoreActivation : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::ActivationChange;
    }
};

}  // namespace

bool saveMainWindowScreenshot(platform::Platform services, const MainWindowShot& shot,
                              const QString& pngPath) {
    MainWindow window(MainWindowServices(services), shot.folder, QString());
    window.load();
    // The offscreen screen is small at a large scale: the window's check for a small screen
    // would wait on its message box.
    IgnoreActivation ignoreActivation;
    window.installEventFilter(&ignoreActivation);
    window.show();
    auto* records = window.findChild<RecordListModel*>(QStringLiteral("records"));
    // Named as a run of the bundled title block template names them.
    RecordLayout layout;
    layout.names =
        QStringList{"DRAWING_NAME", "BLOCK_NAME", "BLOCK_HANDLE", "DWGNO", "TITLE", "REV"};
    records->setLayout(layout);
    records->append(
        {QStringLiteral("'COOLING-WATER.DXF','TITLE','63','PID-1001','Cooling water circuit','C'"),
         QStringLiteral("'TANK-FARM.DXF','TITLE','59','PID-2001','Tank farm transfer','B'")});
    if (auto* table = window.findChild<RecordTableView*>(QStringLiteral("recordList"))) {
        table->fitColumns(records->longestRecord());
    }
    auto check = [&window](const char* option) {
        window.findChild<QRadioButton*>(QLatin1String(option))->setChecked(true);
    };
    if (shot.destination) {
        static const char* const kOptions[] = {"textFileOption", "clipboardOption",
                                               "spreadsheetOption", "databaseOption",
                                               "documentOption"};
        check(kOptions[static_cast<size_t>(*shot.destination)]);
    }
    if (shot.spaceDelimited) check("sdfOption");
    if (shot.size) window.resize(*shot.size);
    QApplication::processEvents();
    return window.grab().save(pngPath);
}
