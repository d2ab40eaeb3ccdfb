// SPDX-License-Identifier: GPL-3.0-or-later
// A send of many records to a .docx document, the way the document destination makes it: a
// new document, its page turned to landscape, and the records as a table with a heading row
// (then, in a second run, as lines of text), each written to the file. Prints milliseconds per
// step and of the whole send, best of the runs.
//   build/default/bench/docx_write_bench [records] [runs] [folder]
// The folder keeps the documents written (the user's temporary folder when not given).

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <vector>

#include "office/docx_word_processor.h"

namespace {

// Records shaped like a title block extract: drawing, tag, description, size, revision, date.
std::vector<QStringList> records(qint64 count) {
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(count) + 1);
    rows.push_back({"DWGNAME", "TAG", "DESCRIPTION", "SIZE", "REV", "DATE"});
    for (qint64 i = 0; i < count; ++i) {
        rows.push_back({QStringLiteral("P-%1.dwg").arg(i / 40 + 1, 4, 10, QLatin1Char('0')),
                        QStringLiteral("PUMP-%1").arg(i + 101),
                        i % 3 == 0 ? QStringLiteral("Centrifugal pump, stainless steel")
                                   : QStringLiteral("Gate valve"),
                        QStringLiteral("%1 mm").arg(25 + i % 7 * 25), QString::number(i % 5),
                        QStringLiteral("2026-12-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))});
    }
    return rows;
}

// The same records as lines of comma-separated cells.
QString lines(const std::vector<QStringList>& rows) {
    QString text;
    text.reserve(static_cast<qsizetype>(rows.size()) * 80);
    for (const QStringList& row : rows) {
        text += row.join(QLatin1Char(','));
        text += QStringLiteral("\r\n");
    }
    return text;
}

struct Timing {
    double create = 0, landscape = 0, insert = 0, total = 0, cpu = 0;
    qint64 bytes = 0;
};

Timing send(const QString& folder, const std::vector<QStringList>& rows, bool table) {
    Timing timing;
    QElapsedTimer clock;
    const std::clock_t cpuStart = std::clock();
    clock.start();
    auto word = office::startDocxWordProcessor(folder).value();
    auto document = word->AddDocument();
    if (!document) qFatal("%s", qPrintable(document.error().description));
    timing.create = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (auto turned = document.value()->SetLandscape(true); !turned) {
        qFatal("%s", qPrintable(turned.error().description));
    }
    timing.landscape = static_cast<double>(clock.nsecsElapsed()) / 1e6 - timing.create;
    const auto inserted =
        table ? document.value()->InsertTable(true, rows, 8, office::TableFormat{true})
              : document.value()->InsertBlock(true, lines(rows), 8);
    if (!inserted) {
        qFatal("%s", qPrintable(inserted.error().description));
    }
    timing.total = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    timing.cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    timing.insert = timing.total - timing.create - timing.landscape;
    timing.bytes = QFileInfo(document.value()->FullName().value()).size();
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qint64 count = arguments.size() > 1 ? arguments[1].toLongLong() : 10000;
    const int runs = arguments.size() > 2 ? arguments[2].toInt() : 5;
    QTemporaryDir scratch;
    const QString folder = arguments.size() > 3 ? arguments[3] : scratch.path();
    QDir().mkpath(folder);
    QTextStream out(stdout);
    for (const bool table : {true, false}) {
        const std::vector<QStringList> rows = records(count);
        Timing best;
        best.total = 1e300;
        for (int run = 0; run < runs; ++run) {
            const Timing timing = send(folder, rows, table);
            if (timing.total < best.total) best = timing;
        }
        out << (table ? "table" : "lines") << ": " << count << " records, best of " << runs
            << ": new document " << best.create << " ms, landscape " << best.landscape
            << " ms, insert and save " << best.insert << " ms, whole send " << best.total
            << " ms (processor " << best.cpu << " ms); file " << best.bytes / 1024 << " KB\n";
    }
    out << "documents in " << folder << "\n";
    return 0;
}
