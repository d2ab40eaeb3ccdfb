// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a plan and an applied run come to, in the words the window shows.

#include <QString>

#include "writeback/apply_update.h"
#include "writeback/update_plan.h"

// A plan counted the way the user meets it: a change in a drawing that cannot be written now
// (open in another program, read-only) cannot be applied either.
struct PlanCounts {
    int change = 0;     // values that Apply writes
    int unchanged = 0;  // rows whose value the drawing already has
    int problems = 0;   // values that cannot be applied
    int drawings = 0;   // drawings the source names
    int drawingsToWrite = 0;
};

PlanCounts countPlan(const writeback::UpdatePlan& plan);

// "N value(s) to change, N unchanged, N that cannot be applied, in N drawing(s)."
QString planSummary(const PlanCounts& counts);

// The part of `plan` that Apply writes: the drawings with changes and no refusal. What the user
// confirmed is all that is written, even when a drawing's lock has gone in between.
writeback::UpdatePlan writablePart(const writeback::UpdatePlan& plan);

// The end of a run: the drawings written, those not written with their reasons, a cancel, and
// the undo file (or why it could not be written).
QString applySummary(const writeback::ApplyResult& result, int planned);
