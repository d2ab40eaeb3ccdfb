// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Applying a plan, one drawing at a time and each whole or not at all: the new file is written
// beside the drawing, read back and compared with the plan, and only then takes the drawing's
// place (the previous file kept as NAME.bak). An undo file holds the old values.

#include <QString>
#include <functional>
#include <vector>

#include "writeback/edit_source.h"
#include "writeback/update_plan.h"

namespace writeback {

struct DrawingOutcome {
    QString path;
    bool written = false;
    int changed = 0;  // attributes written
    QString reason;   // why nothing was written; empty when written or when nothing changes
};

struct ApplyResult {
    std::vector<DrawingOutcome> drawings;
    EditSource undo;    // where the undo file went; an empty path when none was written
    QString undoFile;   // the same as messages name it ("NAME-undo-...db, table Tags")
    QString undoError;  // the undo file could not be written
    bool cancelled = false;

    int written() const;
    int failed() const;
};

struct ApplyCallbacks {
    // Called before each drawing with its number from 0 and the number of drawings; returning
    // false cancels the rest (between drawings only).
    std::function<bool(int index, int count)> progress;
};

// Applies the plan's changes. `undoFile`: where the old values are written, in the
// by-reference layout (see undoSourceFor); an empty path: no undo file.
ApplyResult applyUpdate(const UpdatePlan& plan, const UpdateOptions& options,
                        const EditSource& undoFile, const ApplyCallbacks& callbacks = {});

// Writes one drawing's planned changes; the reason when nothing was written.
DrawingOutcome applyToDrawing(const DrawingPlan& plan, const UpdateOptions& options);

}  // namespace writeback
