// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/plan_summary.h"

#include <QFileInfo>
#include <QStringList>

using writeback::ValueStatus;

PlanCounts countPlan(const writeback::UpdatePlan& plan) {
    PlanCounts counts;
    counts.drawings = static_cast<int>(plan.drawings.size());
    counts.problems = plan.count(ValueStatus::Problem);
    counts.unchanged = plan.count(ValueStatus::Unchanged);
    for (const writeback::DrawingPlan& drawing : plan.drawings) {
        const int changes = drawing.count(ValueStatus::Change);
        if (!drawing.refusal.isEmpty()) {
            counts.problems += changes;
        } else if (changes > 0) {
            counts.change += changes;
            ++counts.drawingsToWrite;
        }
    }
    return counts;
}

QString planSummary(const PlanCounts& counts) {
    return QStringLiteral(
               "%1 value(s) to change, %2 unchanged, %3 that cannot be applied, in %4 "
               "drawing(s).")
        .arg(counts.change)
        .arg(counts.unchanged)
        .arg(counts.problems)
        .arg(counts.drawings);
}

writeback::UpdatePlan writablePart(const writeback::UpdatePlan& plan) {
    writeback::UpdatePlan part;
    for (const writeback::DrawingPlan& drawing : plan.drawings) {
        if (drawing.refusal.isEmpty() && drawing.count(ValueStatus::Change) > 0)
            part.drawings.push_back(drawing);
    }
    return part;
}

QString applySummary(const writeback::ApplyResult& result, int planned) {
    QStringList lines;
    lines << QStringLiteral("%1 drawing(s) written.").arg(result.written());
    QStringList notWritten;
    for (const writeback::DrawingOutcome& drawing : result.drawings) {
        if (!drawing.reason.isEmpty())
            notWritten << QFileInfo(drawing.path).fileName() + QStringLiteral(": ") +
                              drawing.reason;
    }
    if (!notWritten.isEmpty())
        lines << QStringLiteral("Not written: ") + notWritten.join(QStringLiteral("; "));
    if (result.cancelled) {
        const int untried = planned - static_cast<int>(result.drawings.size());
        lines << QStringLiteral("Cancelled: %1 drawing(s) left as they were.").arg(untried);
    }
    if (!result.undoFile.isEmpty()) {
        lines << QStringLiteral("Undo file: ") + result.undoFile;
    } else if (!result.undoError.isEmpty()) {
        lines << QStringLiteral("The undo file could not be written: ") + result.undoError;
    }
    return lines.join(QLatin1Char('\n'));
}
