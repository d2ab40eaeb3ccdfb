// SPDX-License-Identifier: GPL-3.0-or-later
// A search over many drawings on several threads. Each thread has a SearchRun of its own (its
// drawing session, reader and open drawing are never shared); what is shared is the list of
// drawings, taken one at a time, and one slot per drawing for what was found in it, written
// by one thread only. The calling thread hands the slots to the events in drawing order as
// they are filled: the lines, the drawings not opened and the totals are those of a search
// on one thread. An abort asked for from an event ends the search after that drawing.

#include <QDateTime>
#include <QFileInfo>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/attribute_search.h"

namespace {

// What one drawing gave: filled by one worker, read by the calling thread once `done` is set.
struct DrawingFound {
    QStringList lines;
    QString openFailure;  // why it could not be opened
    bool openFailed = false;
    SearchRun::Totals totals;  // totals.started false: the worker's session did not start
    bool done = false;
};

struct SharedSearch {
    std::vector<DrawingFound> found;
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;  // guards each DrawingFound::done
    std::condition_variable changed;
};

// A worker's own elapsed time is not used, so its clock need not know the time zone: the local
// time would have each worker reread it (tzset), for nothing.
class WorkerClock : public platform::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};

}  // namespace

SearchRun::Totals SearchRun::runOnThreads(const QStringList& drawings, const Events& events) {
    Totals totals;
    totals.started = true;
    const QDateTime started = m_clock.now();
    SharedSearch shared;
    shared.found.resize(static_cast<size_t>(drawings.size()));

    const auto work = [&] {
        QuietEngineUi ui;  // nothing is shown from a worker thread
        const WorkerClock clock;
        SearchRun search(m_factory, ui, clock);
        search.setCriteria(m_criteria);
        search.setFullPath(m_fullPath);
        search.setDelimiter(m_delimiter);
        for (qsizetype i = shared.next++; i < drawings.size() && !shared.stop; i = shared.next++) {
            DrawingFound& slot = shared.found[static_cast<size_t>(i)];
            Events collect;
            collect.lineFound = [&slot](const QString& line) { slot.lines << line; };
            collect.openFailed = [&slot](const QString&, const QString& reason) {
                slot.openFailed = true;
                slot.openFailure = reason;
            };
            slot.totals = search.run(QStringList{drawings[i]}, collect);
            const std::lock_guard lock(shared.mutex);
            slot.done = true;
            shared.changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const qsizetype threads = std::min<qsizetype>(m_jobs, drawings.size());
    for (qsizetype n = 0; n < threads; ++n) workers.emplace_back(work);

    for (qsizetype i = 0; i < drawings.size(); ++i) {
        DrawingFound& slot = shared.found[static_cast<size_t>(i)];
        {
            std::unique_lock lock(shared.mutex);
            shared.changed.wait(lock, [&] { return slot.done; });
        }
        if (!slot.totals.started) {
            totals.started = false;
            break;
        }
        if (events.searching) events.searching(QFileInfo(drawings[i]).fileName());
        for (const QString& line : slot.lines) {
            if (events.lineFound) events.lineFound(line);
        }
        if (slot.openFailed && events.openFailed) events.openFailed(drawings[i], slot.openFailure);
        totals.hits += slot.totals.hits;
        totals.filesWithHits += slot.totals.filesWithHits;
        totals.drawingsSearched += slot.totals.drawingsSearched;
        totals.openFailures += slot.totals.openFailures;
        if (m_search.abortRequested()) {
            totals.aborted = i + 1 < drawings.size();
            break;
        }
    }
    shared.stop = true;
    for (std::thread& worker : workers) worker.join();
    totals.elapsedSeconds = static_cast<double>(started.msecsTo(m_clock.now())) / 1000.0;
    return totals;
}
