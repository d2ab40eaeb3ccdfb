// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/update_line_run.h"

#include <QFileInfo>

#include "platform/paths.h"
#include "platform/text_writer.h"
#include "writeback/apply_update.h"
#include "writeback/plan_file.h"
#include "writeback/undo_file.h"

namespace batch {
namespace {

writeback::EditSource editSourceOf(const UpdateLine& line, const QString& path) {
    switch (line.source) {
        case UpdateLine::Source::Excel:
            return {writeback::SourceKind::Workbook, path, line.part};
        case UpdateLine::Source::Access:
            return {writeback::SourceKind::Database, path, line.part};
        case UpdateLine::Source::File:
            break;
    }
    return {writeback::SourceKind::TextFile, path, {}};
}

// Each value that cannot be applied, and each drawing that was not written.
QStringList problemsOf(const writeback::UpdatePlan& plan) {
    QStringList problems;
    auto add = [&problems](const QString& drawing, const writeback::PlannedValue& value) {
        if (value.status != writeback::ValueStatus::Problem) return;
        QString where = drawing.isEmpty() ? QString() : drawing + QStringLiteral(" ");
        where += QStringLiteral("row ") + QString::number(value.sourceRow);
        if (!value.tag.isEmpty()) where += QLatin1Char(' ') + value.tag;
        problems << where + QStringLiteral(": ") + value.reason;
    };
    for (const writeback::PlannedValue& value : plan.unplaced) add(QString(), value);
    for (const writeback::DrawingPlan& drawing : plan.drawings) {
        for (const writeback::PlannedValue& value : drawing.values) add(drawing.path, value);
    }
    return problems;
}

}  // namespace

UpdateLineResult runUpdateLine(const UpdateLine& line, const QString& logFolder,
                               const QDateTime& now) {
    UpdateLineResult result;
    const QString source = platform::resolvePath(line.path);
    const auto table = writeback::readEditSource(editSourceOf(line, source));
    if (!table) {
        result.failures << table.error().description;
        result.status = QStringLiteral("Drawings not updated: ") + table.error().description;
        return result;
    }
    const auto columns = writeback::editColumns(table.value());
    if (!columns) {
        result.failures << columns.error().description;
        result.status = QStringLiteral("Drawings not updated: ") + columns.error().description;
        return result;
    }
    writeback::UpdateOptions options;
    options.folder = QFileInfo(source).absolutePath();
    const writeback::UpdatePlan plan =
        writeback::planUpdate(table.value(), columns.value(), options);
    result.failures = problemsOf(plan);
    const QString changes = QString::number(plan.count(writeback::ValueStatus::Change));
    if (line.planOnly) {
        const QString planFile = platform::joinPath(logFolder, "update-plan.csv");
        platform::TextWriter writer;
        if (!writer.open(planFile) || (writer.write(writeback::planCsv(plan)), !writer.commit())) {
            result.failures << QStringLiteral("The plan could not be written to ") + planFile +
                                   QStringLiteral(": ") + writer.errorString();
        }
        result.status = QStringLiteral("Update planned: ") + changes +
                        QStringLiteral(" value(s) to change; the plan is in ") + planFile;
        return result;
    }
    const writeback::ApplyResult applied = writeback::applyUpdate(
        plan, options, writeback::undoSourceFor(editSourceOf(line, source), now));
    int values = 0;
    for (const writeback::DrawingOutcome& drawing : applied.drawings) {
        values += drawing.changed;
        if (!drawing.reason.isEmpty()) {
            result.failures << drawing.path + QStringLiteral(" not written: ") + drawing.reason;
        }
    }
    if (!applied.undoError.isEmpty()) {
        result.failures << QStringLiteral("The undo file could not be written: ") +
                               applied.undoError;
    }
    result.status =
        QStringLiteral("Drawings updated: ") + QString::number(applied.written()) +
        QStringLiteral(" (") + QString::number(values) + QStringLiteral(" value(s))") +
        (applied.undoFile.isEmpty() ? QString()
                                    : QStringLiteral("; undo file ") + applied.undoFile);
    return result;
}

}  // namespace batch
