// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plan of an update: for each drawing a source names, every attribute that will change
// (block, handle, tag, the value in the drawing now, the new one), the rows that change nothing,
// and everything that cannot be applied with its reason. Making a plan reads the drawings and
// writes nothing.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <vector>

#include "drawing/drawing_model.h"
#include "writeback/edit_columns.h"

namespace writeback {

struct UpdateOptions {
    QString folder;           // where a drawing named without a folder is looked for
    QStringList blockFilter;  // a register's block names, wildcards allowed; empty: every block
    bool keepBackup = true;   // the previous file stays as NAME.bak
};

enum class ValueStatus { Change, Unchanged, Problem };

struct PlannedValue {
    int sourceRow = 0;  // the row of the source, counting the header as row 1
    QString blockName;
    QString blockHandle;
    QString tag;
    QString attributeHandle;
    std::uint32_t attributeOrdinal = 0;  // where the file has no handles
    QString now;
    QString next;
    ValueStatus status = ValueStatus::Change;
    QString reason;  // why a problem cannot be applied
};

// What the plan saw of a drawing's file: a file that differs when the plan is applied was
// changed by someone else in between.
struct FileFingerprint {
    qint64 size = -1;
    QDateTime modified;
    // A hash of the content, to see a change that kept size and time; not a security check, so
    // the fastest of Qt's hashes (SHA-256 took most of a plan's time on large drawings).
    QByteArray contentHash;
    bool operator==(const FileFingerprint&) const = default;
};

struct DrawingPlan {
    QString path;
    // Why nothing of this drawing can be written (not found, open in another program,
    // read-only, a release that cannot be written yet); empty when it can.
    QString refusal;
    FileFingerprint fingerprint;
    std::vector<PlannedValue> values;

    int count(ValueStatus status) const;
};

struct UpdatePlan {
    std::vector<DrawingPlan> drawings;  // in the order the source first names them
    // Rows that name no drawing at all, with their reason.
    std::vector<PlannedValue> unplaced;

    int count(ValueStatus status) const;  // over every drawing
    int refusedDrawings() const;
};

// How a source names the reference `index` of `model`: its handle, or in a drawing without
// handles (R12 written without them) "#N", its number in file order from 1.
QString referenceKey(const drawing::Drawing& model, std::size_t index);
// Every reference of `model` by that name in upper case, for finding the ones a source names.
std::map<QString, std::size_t> referencesByKey(const drawing::Drawing& model);

UpdatePlan planUpdate(const EditTable& table, const EditColumns& columns,
                      const UpdateOptions& options);

// The fingerprint of a file as it is now; an empty one when it cannot be read.
FileFingerprint fingerprintOf(const QString& path);
// The same from the bytes just read from `path`.
FileFingerprint fingerprintOf(const QString& path, const QByteArray& bytes);

// Why a drawing cannot be written now, or empty: another program holds it open (the CAD
// program's NAME.dwl and NAME.dwl2, office-style ~$NAME and .~lock.NAME# files), the file or
// its folder is read-only.
QString writeRefusal(const QString& path);

}  // namespace writeback
