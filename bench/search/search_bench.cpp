// SPDX-License-Identifier: GPL-3.0-or-later
// search_bench FOLDER_SPEC TEXT [--repeat N] [--abort-after MS]
//
// Times the attribute search the window and quillon-search run: every drawing of the folder
// pattern opened, both spaces walked, result lines built and counted. Prints the best
// wall time of N runs with the hits and files. With --abort-after, an Abort is requested at the
// first pending-events point after MS milliseconds and the time until the run returns is
// printed: how long a user waits after pressing Abort.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <limits>

#include "drawing/drawing_file_reader.h"
#include "engine/attribute_search.h"

namespace {

class AbortingUi : public EngineUi {
public:
    void processPendingEvents() override {
        ++calls;
        if (run && abortAfterMs >= 0 && requestedAtNs < 0 && clock.elapsed() >= abortAfterMs) {
            requestedAtNs = clock.nsecsElapsed();
            run->requestAbort();
        }
    }
    void showError(const QString&, const QString&) override {}

    SearchRun* run = nullptr;
    qint64 abortAfterMs = -1;
    qint64 requestedAtNs = -1;
    qint64 calls = 0;
    QElapsedTimer clock;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int repeat = 5;
    qint64 abortAfter = -1;
    for (int i = 0; i + 1 < args.size();) {
        if (args[i] == "--repeat") {
            repeat = std::max(1, args[i + 1].toInt());
            args.remove(i, 2);
        } else if (args[i] == "--abort-after") {
            abortAfter = args[i + 1].toLongLong();
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    QTextStream out(stdout);
    if (args.size() != 2) {
        out << "usage: search_bench FOLDER_SPEC TEXT [--repeat N] [--abort-after MS]\n";
        return 2;
    }
    platform::SystemClock clock;
    double best = std::numeric_limits<double>::max();
    double worstAbortWait = 0;
    SearchRun::Totals totals;
    for (int r = 0; r < repeat; ++r) {
        AbortingUi ui;
        SearchRun run(drawing::drawingFileReaderFactory(), ui, clock);
        ui.run = &run;
        ui.abortAfterMs = abortAfter;
        SearchCriteria criteria;
        criteria.text = args[1];
        run.setCriteria(criteria);
        qint64 lines = 0;
        SearchRun::Events events;
        events.lineFound = [&lines](const QString& line) { lines += line.isEmpty() ? 0 : 1; };
        ui.clock.start();
        // The listing is part of what the user waits for.
        totals = run.run(drawingsOf(splitFolderPattern(args[0])), events);
        const qint64 endedNs = ui.clock.nsecsElapsed();
        best = std::min(best, static_cast<double>(endedNs) / 1e9);
        if (ui.requestedAtNs >= 0) {
            worstAbortWait =
                std::max(worstAbortWait, static_cast<double>(endedNs - ui.requestedAtNs) / 1e9);
        }
        if (lines != totals.hits) out << "line count differs from the hit total\n";
    }
    out << args[0] << " \"" << args[1] << "\": " << totals.hits << " hits in "
        << totals.filesWithHits << " files of " << totals.drawingsSearched << " searched"
        << (totals.aborted ? " (aborted)" : "") << "; best of " << repeat << ": "
        << QString::number(best, 'f', 3) << " s";
    if (abortAfter >= 0) {
        out << "; longest wait from Abort to the end of the run: "
            << QString::number(worstAbortWait * 1000, 'f', 3) << " ms";
    }
    out << "\n";
    return 0;
}
