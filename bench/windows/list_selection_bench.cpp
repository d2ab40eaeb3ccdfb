// SPDX-License-Identifier: GPL-3.0-or-later
// Select All, Unselect All and Clear Selection on an attribute list of 100,000 records, the way
// the window runs them. Prints milliseconds per operation.
//   QT_QPA_PLATFORM=offscreen build/default/bench/list_selection_bench [records]

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QStandardPaths>
#include <QTextStream>

#include "mainwindow/main_window.h"
#include "platform/gui/qt_platform.h"
#include "records/record_list_model.h"

namespace {

// Answers every question Yes, so Clear Selection runs without a person at the keyboard.
class YesDialogs : public platform::Dialogs {
public:
    platform::DialogButton message(const platform::MessageBoxRequest&) override {
        return platform::DialogButton::Yes;
    }
    std::optional<QString> input(const platform::InputBoxRequest&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override { return {}; }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    QString pickFolder(const platform::FolderRequest&) override { return {}; }
};

template <typename F>
double timed(F&& operation) {
    QElapsedTimer timer;
    timer.start();
    operation();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const auto qt = platform::makeQtPlatform();
    YesDialogs dialogs;
    const platform::Platform& real = qt->platform();
    platform::Platform services{dialogs,       real.shell, real.clipboard,
                                real.settings, real.ui,    real.clock};
    MainWindow window(MainWindowServices(services), QDir::tempPath(), QString());
    auto* recordList = window.findChild<QAbstractItemView*>(QStringLiteral("recordList"));
    auto* model = window.findChild<RecordListModel*>(QStringLiteral("records"));

    QStringList items;
    items.reserve(records);
    for (int i = 0; i < records; ++i) {
        items << QStringLiteral("'SHEET-%1.DWG','TITLE','A-%1','Title of sheet %1','C'").arg(i);
    }
    QTextStream out(stdout);
    out << "records: " << records << "\n";
    out << "add:            " << timed([&] { model->append(items, 6); }) << " ms\n";
    out.flush();
    out << "Select All:     " << timed([&] { window.selectAllRecords(); }) << " ms\n";
    out << "Unselect All:   " << timed([&] { window.unselectAllRecords(); }) << " ms\n";
    {
        // Setting up the selection is no part of what is measured.
        QItemSelection every;
        for (int i = 0; i < records; i += 2) {
            every.select(recordList->model()->index(i, 0), recordList->model()->index(i, 0));
        }
        recordList->selectionModel()->select(
            every, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    out << "Clear Selection (every other record): " << timed([&] { window.clearRecordSelection(); })
        << " ms\n";
    out << "left: " << model->count() << "\n";
    return 0;
}
