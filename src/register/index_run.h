// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One index run: the folders walked, each drawing that is new or changed since the last run
// read on a pool of worker threads, and what they found stored by one writer thread in
// transactions of many drawings.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

#include "drawing/dxf_reader.h"

namespace reg {

struct IndexOptions {
    QString database;
    QString server;  // a PostgreSQL conninfo: the register is there, not in `database`
    QStringList folders;
    int jobs = 0;  // worker threads; 0: one per core
    bool forgetMissing = false;
    int drawingsPerTransaction = 256;
    // How a drawing is read: the drawing reader unless told otherwise. Called on the worker
    // threads, several at once.
    std::function<drawing::DrawingResult(const QString&)> read;
    // Told each drawing as a worker starts on it (on that worker's thread).
    std::function<void(const QString&)> reaching;
    // Drawings done of those found, told by the writer thread after each.
    std::function<void(qsizetype done, qsizetype total)> progress;
    // Set from any thread to stop: no drawing is started after it, those read are stored, and
    // nothing is marked missing, as the walk's verdict is incomplete.
    const std::atomic<bool>* cancel = nullptr;
};

struct IndexSummary {
    bool opened = false;     // the register could be opened (or made)
    bool cancelled = false;  // stopped before every drawing was looked at
    QString error;           // why the register could not be opened, or written
    qsizetype found = 0;
    qsizetype unchanged = 0;  // same size and time: not opened
    qsizetype touched = 0;    // new time or size, same content: not read
    qsizetype read = 0;       // read and stored
    qsizetype moved = 0;      // a new path for the content of a drawing gone from its own
    qsizetype missing = 0;    // gone since the last run, marked missing
    qsizetype forgotten = 0;  // gone, and deleted from the register
    qsizetype vanished = 0;   // listed, then gone before it could be read
    QStringList failures;     // "PATH: reason", the drawings that could not be read
};

IndexSummary runIndex(const IndexOptions& options);

// A drawing changed on disk since it was indexed.
struct StatusLine {
    enum class State { New, Changed, Missing } state;
    QString path;
};

// The drawings under `folders` that an index run would store again: new ones, changed ones
// (their content, not only their time), and those gone. Nothing is read or written. With
// `server`, the register is that PostgreSQL database and `database` is not looked at.
core::Result<std::vector<StatusLine>> registerStatus(const QString& database,
                                                     const QStringList& folders,
                                                     const QString& server = {});

}  // namespace reg
