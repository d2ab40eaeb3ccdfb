// SPDX-License-Identifier: GPL-3.0-or-later
// The index run's threads, and what each may touch:
//
// - The calling thread walks the folders, loads what the register knows, and makes the list
//   of jobs and the move candidates before any other thread starts. Once the workers run,
//   both are read only, except each candidate's `claimed` flag (an atomic).
// - N worker threads take jobs by an atomic counter and, each on its own, hash the file and
//   read it. The drawing reader keeps no state between calls (no static mutable data in the
//   reader or the DWG and DXF parsers; the few function-local statics are constant strings,
//   initialised once by the language's thread-safe rule), so one call per thread at a time is
//   safe. What a worker produces it hands over whole through the queue and never touches again.
// - Every thread may read the cancel flag (an atomic) and set m_stopped (an atomic).
// - One writer thread owns the register's connection (SQLite or PostgreSQL) while the workers run
// and is the only
//   one to change the summary's counts. The calling thread takes both back after joining it.

#include "register/index_run.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>
#include <atomic>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

#include "drawing/reader_errors.h"
#include "register/drawing_walk.h"
#include "register/register_database.h"
#include "register/work_queue.h"

namespace reg {
namespace {

constexpr qint64 kMaxTransactionMs = 2000;

// A drawing found by the walk that is not the same as when it was indexed.
struct Job {
    QString path;
    FileStamp stamp;
    std::optional<KnownDrawing> known;
};

// A drawing of the register whose file is gone: a new file with its content is it, moved.
struct MoveCandidate {
    qint64 id = 0;
    std::atomic<bool> claimed{false};
};

struct Outcome {
    enum class Kind { Touched, Moved, Stored, Vanished } kind = Kind::Stored;
    const Job* job = nullptr;
    StoredDrawing drawing;  // Stored: what was read, or why it could not be
    qint64 movedId = 0;
};

class IndexRun {
public:
    explicit IndexRun(const IndexOptions& options) : m_options(options) {
        if (!m_options.read) {
            m_options.read = [](const QString& path) { return drawing::readDrawingFile(path); };
        }
    }

    IndexSummary run() {
        auto opened = openRegisterDatabase({m_options.database, m_options.server});
        if (!opened) {
            m_summary.error = opened.error().description;
            return m_summary;
        }
        m_database = std::move(opened).value();
        m_perTransaction = std::max(1, std::min(m_options.drawingsPerTransaction,
                                                m_database->drawingsPerTransactionLimit()));
        m_summary.opened = true;
        m_roots = registerRoots(m_options.folders);
        const QStringList found = listDrawings(m_roots);
        m_summary.found = found.size();
        m_known = m_database->knownDrawings();
        planJobs(found);
        findMoveCandidates(found);
        if (!m_jobs.empty()) process();
        m_summary.cancelled = m_stopped;
        if (m_summary.error.isEmpty() && !m_summary.cancelled) settleGone(found);
        // A run that stored much of the register (the first, above all) leaves the query
        // planner's picture of it out of date: renewed now, the next search uses the indexes.
        const qsizetype changed =
            m_summary.read + m_summary.failures.size() + m_summary.missing + m_summary.forgotten;
        if (m_summary.error.isEmpty() && changed > m_known.size() / 10 + 100)
            m_database->refreshStatistics();
        return m_summary;
    }

private:
    bool cancelled() const { return m_options.cancel && m_options.cancel->load(); }

    void planJobs(const QStringList& found) {
        for (const QString& path : found) {
            Job job{path, {}, std::nullopt};
            const auto known = m_known.constFind(path);
            const bool stamped = stampOf(path, job.stamp);
            if (known != m_known.constEnd()) {
                // A drawing that could not even be opened (no hash: no permission, a lock)
                // is tried again, as that changes without changing the file; one the reader
                // refused is refused again until its content changes.
                if (stamped && !known->missing && !known->hash.isEmpty() &&
                    known->size == job.stamp.size && known->mtime == job.stamp.mtime) {
                    ++m_summary.unchanged;
                    continue;
                }
                job.known = *known;
            }
            m_jobs.push_back(std::move(job));
        }
    }

    // The register's drawings whose file is gone: missing already, not found under the
    // folders walked, or, outside them, no longer there (a move out of a folder not walked).
    void findMoveCandidates(const QStringList& found) {
        const QSet<QString> foundSet(found.begin(), found.end());
        for (auto it = m_known.constBegin(); it != m_known.constEnd(); ++it) {
            if (it->hash.isEmpty() || foundSet.contains(it.key())) continue;
            if (!it->missing && !underRoots(it.key(), m_roots) && QFileInfo::exists(it.key()))
                continue;
            MoveCandidate& candidate = m_candidates.emplace_back();
            candidate.id = it->id;
            m_candidatesByHash[it->hash].push_back(&candidate);
        }
    }

    // On a worker thread.
    Outcome examine(const Job& job) {
        Outcome outcome;
        outcome.job = &job;
        if (m_options.reaching) m_options.reaching(job.path);
        StoredDrawing& stored = outcome.drawing;
        stored.path = job.path;
        stored.size = job.stamp.size;
        stored.mtime = job.stamp.mtime;
        bool gone = false;
        stored.hash = contentHash(job.path, stored.readError, gone);
        if (gone) {
            outcome.kind = Outcome::Kind::Vanished;
            return outcome;
        }
        if (stored.hash.isEmpty()) return outcome;
        if (job.known && job.known->hash == stored.hash) {
            outcome.kind = Outcome::Kind::Touched;
            return outcome;
        }
        if (!job.known) {
            const auto candidates = m_candidatesByHash.constFind(stored.hash);
            if (candidates != m_candidatesByHash.constEnd()) {
                for (MoveCandidate* candidate : *candidates) {
                    if (candidate->claimed.exchange(true)) continue;
                    outcome.kind = Outcome::Kind::Moved;
                    outcome.movedId = candidate->id;
                    return outcome;
                }
            }
        }
        // An exception must not leave a worker thread: it would end the whole program.
        drawing::DrawingResult read = core::Error{};
        try {
            read = m_options.read(job.path);
        } catch (const std::exception& problem) {
            read =
                core::Error{drawing::errors::kOutOfMemory, QString::fromLocal8Bit(problem.what())};
        }
        if (read) {
            stored.content = std::move(read).value();
        } else if (!QFileInfo::exists(job.path)) {
            outcome.kind = Outcome::Kind::Vanished;
        } else {
            stored.readError = read.error().description;
            if (stored.readError.isEmpty()) stored.readError = QStringLiteral("unreadable");
        }
        return outcome;
    }

    void process() {
        const int wanted = m_options.jobs > 0 ? m_options.jobs : QThread::idealThreadCount();
        const std::size_t workers = std::clamp<std::size_t>(
            static_cast<std::size_t>(std::max(wanted, 1)), 1, m_jobs.size());
        WorkQueue<Outcome> queue(workers * 2 + 8);
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> pool;
        for (std::size_t i = 0; i < workers; ++i) {
            pool.emplace_back([&] {
                for (std::size_t job = next++; job < m_jobs.size(); job = next++) {
                    if (cancelled()) {
                        m_stopped = true;
                        break;
                    }
                    queue.push(examine(m_jobs[job]));
                }
            });
        }
        std::thread writer([&] { write(queue); });
        for (std::thread& worker : pool) worker.join();
        queue.close();
        writer.join();
    }

    // On the writer thread.
    void write(WorkQueue<Outcome>& queue) {
        const std::unique_ptr<RegisterStore> writer = m_database->store();
        RegisterStore& store = *writer;
        if (!store.ok()) m_summary.error = m_database->lastError();
        int pending = 0;
        QElapsedTimer transaction;
        qsizetype done = m_summary.unchanged;
        while (std::optional<Outcome> outcome = queue.pop()) {
            if (m_summary.error.isEmpty()) {
                bool ok = pending > 0 || store.begin();
                if (pending == 0) transaction.start();
                ok = ok && apply(store, *outcome);
                // Many drawings to a commit, but a few seconds at most, so slow drawings (a
                // file server) are not lost by the hundred when the run is stopped, and the
                // register's readers see them soon.
                if (ok &&
                    (++pending >= m_perTransaction || transaction.hasExpired(kMaxTransactionMs))) {
                    ok = store.commit();
                    pending = 0;
                }
                if (!ok) {
                    m_summary.error = m_database->lastError();
                    store.rollback();
                }
            }
            if (m_options.progress) m_options.progress(++done, m_summary.found);
        }
        if (m_summary.error.isEmpty() && pending > 0 && !store.commit()) {
            m_summary.error = m_database->lastError();
            store.rollback();
        }
    }

    bool apply(RegisterStore& store, const Outcome& outcome) {
        const Job& job = *outcome.job;
        const StoredDrawing& drawing = outcome.drawing;
        switch (outcome.kind) {
            case Outcome::Kind::Touched:
                ++m_summary.touched;
                return store.restamp(job.known->id, job.path, job.stamp.size, job.stamp.mtime);
            case Outcome::Kind::Moved:
                ++m_summary.moved;
                return store.restamp(outcome.movedId, job.path, job.stamp.size, job.stamp.mtime);
            case Outcome::Kind::Vanished:
                ++m_summary.vanished;
                return !job.known || settle(store, *job.known);
            case Outcome::Kind::Stored:
                if (drawing.content) {
                    ++m_summary.read;
                } else {
                    m_summary.failures << job.path + QStringLiteral(": ") + drawing.readError;
                }
                return store.store(drawing);
        }
        return false;
    }

    // A drawing of the register that is gone.
    bool settle(RegisterStore& store, const KnownDrawing& known) {
        if (m_options.forgetMissing) {
            ++m_summary.forgotten;
            return store.forget(known.id);
        }
        if (known.missing) return true;
        ++m_summary.missing;
        return store.markMissing(known.id);
    }

    // The register's drawings under the folders walked that the walk did not find, and that
    // did not move to a path it found.
    void settleGone(const QStringList& found) {
        QSet<qint64> moved;
        for (const MoveCandidate& candidate : m_candidates) {
            if (candidate.claimed) moved.insert(candidate.id);
        }
        const QSet<QString> foundSet(found.begin(), found.end());
        const std::unique_ptr<RegisterStore> writer = m_database->store();
        RegisterStore& store = *writer;
        if (!store.ok() || !store.begin()) {
            m_summary.error = m_database->lastError();
            return;
        }
        int pending = 0;
        for (auto it = m_known.constBegin(); it != m_known.constEnd(); ++it) {
            if (foundSet.contains(it.key()) || moved.contains(it->id) ||
                !underRoots(it.key(), m_roots))
                continue;
            bool ok = settle(store, *it);
            if (ok && ++pending >= m_perTransaction) {
                ok = store.commit() && store.begin();
                pending = 0;
            }
            if (!ok) {
                m_summary.error = m_database->lastError();
                store.rollback();
                return;
            }
        }
        // Every drawing under the folders now stands as found: they were indexed whole.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (const QString& root : m_roots) {
            if (!store.noteFolderIndexed(root.endsWith(u'/') ? root : root + u'/', now)) {
                m_summary.error = m_database->lastError();
                store.rollback();
                return;
            }
        }
        if (!store.commit()) {
            m_summary.error = m_database->lastError();
            store.rollback();
        }
    }

    IndexOptions m_options;
    IndexSummary m_summary;
    std::atomic<bool> m_stopped{false};  // a worker saw the cancel before the last job
    std::unique_ptr<RegisterDatabase> m_database;
    int m_perTransaction = 1;
    QStringList m_roots;
    QHash<QString, KnownDrawing> m_known;
    std::vector<Job> m_jobs;
    std::deque<MoveCandidate> m_candidates;
    QHash<QString, std::vector<MoveCandidate*>> m_candidatesByHash;
};

}  // namespace

IndexSummary runIndex(const IndexOptions& options) {
    return IndexRun(options).run();
}

core::Result<std::vector<StatusLine>> registerStatus(const QString& database,
                                                     const QStringList& folders,
                                                     const QString& server) {
    if (server.isEmpty() && !QFileInfo::exists(database)) {
        return core::Error{1, QStringLiteral("No register at %1.").arg(database)};
    }
    auto opened = openRegisterDatabase({database, server});
    if (!opened) return opened.error();
    const QHash<QString, KnownDrawing> known = opened.value()->knownDrawings();
    const QStringList roots = registerRoots(folders);
    const QStringList found = listDrawings(roots);
    std::vector<StatusLine> lines;
    for (const QString& path : found) {
        const auto it = known.constFind(path);
        if (it == known.constEnd()) {
            lines.push_back({StatusLine::State::New, path});
            continue;
        }
        FileStamp stamp;
        if (stampOf(path, stamp) && !it->missing && stamp.size == it->size &&
            stamp.mtime == it->mtime)
            continue;
        QString error;
        bool gone = false;
        const QString hash = contentHash(path, error, gone);
        if (gone) {
            lines.push_back({StatusLine::State::Missing, path});
        } else if (hash != it->hash || it->missing) {
            lines.push_back({StatusLine::State::Changed, path});
        }
    }
    const QSet<QString> foundSet(found.begin(), found.end());
    for (auto it = known.constBegin(); it != known.constEnd(); ++it) {
        if (!foundSet.contains(it.key()) && !it->missing && underRoots(it.key(), roots))
            lines.push_back({StatusLine::State::Missing, it.key()});
    }
    return lines;
}

}  // namespace reg
