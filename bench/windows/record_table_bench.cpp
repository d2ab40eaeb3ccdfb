// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute table of the shown main window with a long list: adding a run, Select All,
// sorting by a column and filtering, each with the repaint that follows. Prints milliseconds.
//   QT_QPA_PLATFORM=offscreen build/benchcheck/bench/record_table_bench [records]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTextStream>

#include "mainwindow/main_window.h"
#include "mainwindow/record_table_view.h"
#include "platform/gui/qt_platform.h"
#include "records/record_list_model.h"
#include "records/record_table_model.h"

namespace {

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

// The operation and the repaint it causes.
template <typename F>
double timed(F&& operation) {
    QElapsedTimer timer;
    timer.start();
    operation();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

QStringList run(int first, int count) {
    QStringList texts;
    texts.reserve(count);
    // Drawing, block, number, title, revision: numbers out of order so a sort moves rows.
    for (int i = first; i < first + count; ++i) {
        const int number = (i * 7919) % 1000003;
        texts << QStringLiteral("'SHEET-%1.DWG','TITLE','A-%2','Title of sheet %1','%3'")
                     .arg(i)
                     .arg(number)
                     .arg(QChar(u'A' + i % 26));
    }
    return texts;
}

}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
    const auto qt = platform::makeQtPlatform();
    YesDialogs dialogs;
    const platform::Platform& real = qt->platform();
    platform::Platform services{dialogs,       real.shell, real.clipboard,
                                real.settings, real.ui,    real.clock};
    MainWindow window(MainWindowServices(services), QDir::tempPath(), QString());
    window.show();
    QApplication::processEvents();
    auto* table = window.findChild<RecordTableView*>(QStringLiteral("recordList"));
    auto* records = window.findChild<RecordListModel*>(QStringLiteral("records"));
    auto* filter = window.findChild<QLineEdit*>(QStringLiteral("recordFilterEdit"));
    RecordLayout layout;
    layout.names = QStringList{"DRAWING_NAME", "BLOCK_NAME", "DWGNO", "TITLE", "REV"};
    records->setLayout(layout);

    // What a run does to the table: the records in one insertion, the columns fitted, the new
    // rows marked and scrolled to.
    auto addRun = [&](const QStringList& texts) {
        const qint64 first = records->count();
        records->append(texts, 6);
        table->fitColumns(records->longestRecord());
        records->markNewRecords(first, texts.size());
        const int row = table->table()->shownRow(static_cast<int>(first));
        if (row >= 0) table->scrollTo(table->table()->index(row, 0));
    };

    QTextStream out(stdout);
    const QStringList texts = run(0, count);
    out << "records: " << count << "\n";
    out << "add a run:                       " << timed([&] { addRun(texts); }) << " ms\n";
    out << "Select All:                      " << timed([&] { window.selectAllRecords(); })
        << " ms\n";
    out << "sort by DWGNO, all selected:     "
        << timed([&] { table->sortByColumn(2, Qt::AscendingOrder); }) << " ms\n";
    out << "sort descending, all selected:   "
        << timed([&] { table->sortByColumn(2, Qt::DescendingOrder); }) << " ms\n";
    out << "sort by TITLE, all selected:     "
        << timed([&] { table->sortByColumn(3, Qt::AscendingOrder); }) << " ms\n";
    out << "filter \"1\", all selected:       " << timed([&] { filter->setText("1"); }) << " ms ("
        << table->table()->rowCount() << " shown)\n";
    out << "filter \"12\":                    " << timed([&] { filter->setText("12"); }) << " ms ("
        << table->table()->rowCount() << " shown)\n";
    out << "Select All, filtered:            " << timed([&] { window.selectAllRecords(); })
        << " ms\n";
    out << "filter cleared:                  " << timed([&] { filter->clear(); }) << " ms\n";
    out << "Unselect All:                    " << timed([&] { window.unselectAllRecords(); })
        << " ms\n";
    out << "sort by DWGNO, none selected:    "
        << timed([&] { table->sortByColumn(2, Qt::AscendingOrder); }) << " ms\n";
    out << "filter \"sheet-19\", none selected: " << timed([&] { filter->setText("sheet-19"); })
        << " ms\n";
    filter->clear();
    QApplication::processEvents();
    const QStringList more = run(count, 1000);
    out << "add a run of 1000, sorted:       " << timed([&] { addRun(more); }) << " ms\n";
    table->sortByColumn(-1, Qt::AscendingOrder);
    QApplication::processEvents();
    out << "add a run of 1000, list order:   " << timed([&] { addRun(run(count + 1000, 1000)); })
        << " ms\n";
    out << "total records: " << records->count() << "\n";
    return 0;
}
