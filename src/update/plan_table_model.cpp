// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/plan_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFileInfo>

using writeback::ValueStatus;

namespace {

const QColor kProblemColour(0xC0, 0x00, 0x00);

// A value's line breaks shown as a mark, so every line of the table stays one line high.
QString oneLine(const QString& value) {
    QString shown = value;
    shown.replace(QLatin1Char('\n'), QChar(0x21B5));
    return shown;
}

}  // namespace

void PlanTableModel::setPlan(const writeback::UpdatePlan& plan) {
    beginResetModel();
    m_lines.clear();
    for (const writeback::PlannedValue& value : plan.unplaced) m_lines.push_back({{}, value, {}});
    for (const writeback::DrawingPlan& drawing : plan.drawings) {
        for (const writeback::PlannedValue& value : drawing.values)
            m_lines.push_back({drawing.path, value, drawing.refusal});
    }
    endResetModel();
}

void PlanTableModel::clear() {
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool PlanTableModel::isProblem(const Line& line) const {
    return line.value.status == ValueStatus::Problem ||
           (line.value.status == ValueStatus::Change && !line.refusal.isEmpty());
}

QString PlanTableModel::statusText(const Line& line) const {
    switch (line.value.status) {
        case ValueStatus::Change:
            return line.refusal.isEmpty() ? QStringLiteral("Change")
                                          : QStringLiteral("Not written: ") + line.refusal;
        case ValueStatus::Unchanged:
            return QStringLiteral("Unchanged");
        case ValueStatus::Problem:
            break;
    }
    return QStringLiteral("Problem: ") + line.value.reason;
}

QString PlanTableModel::text(const Line& line, int column) const {
    switch (column) {
        case Drawing:
            return QFileInfo(line.drawing).fileName();
        case Block:
            return line.value.blockName;
        case Handle:
            return line.value.blockHandle;
        case Tag:
            return line.value.tag;
        case Now:
            return oneLine(line.value.now);
        case New:
            return oneLine(line.value.next);
        case Status:
            return statusText(line);
        default:
            return {};
    }
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Line& line = m_lines[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            // A number, so sorting by row goes 2, 10 and not 10, 2.
            if (index.column() == Row) return line.value.sourceRow;
            return text(line, index.column());
        case Qt::ToolTipRole:
            if (index.column() == Drawing) return line.drawing;
            if (index.column() == Now) return line.value.now;
            if (index.column() == New) return line.value.next;
            if (index.column() == Status) return statusText(line);
            return {};
        case Qt::ForegroundRole:
            if (isProblem(line)) return QBrush(kProblemColour);
            return {};
        case problemRole:
            return isProblem(line) ? QStringLiteral("1") : QStringLiteral("0");
        default:
            return {};
    }
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kCaptions[ColumnCount] = {"Drawing", "Row", "Block", "Handle",
                                                       "Tag",     "Now", "New",   "Status"};
    if (section < 0 || section >= ColumnCount) return {};
    return QLatin1String(kCaptions[section]);
}
