// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "writeback/update_plan.h"

// A plan as a table, one line per planned value: drawing, source row, block, handle, tag, the
// value now, the new one and its status. A value that cannot be applied, or whose drawing
// cannot be written, is a problem: its status says why, and problemRole tells it apart.
class PlanTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Drawing, Row, Block, Handle, Tag, Now, New, Status, ColumnCount };
    // "1" for a problem, "0" otherwise: the role a filter on problems matches.
    static constexpr int problemRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setPlan(const writeback::UpdatePlan& plan);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Line {
        QString drawing;  // the path; empty for a row that names no drawing
        writeback::PlannedValue value;
        QString refusal;  // why the drawing cannot be written
    };
    bool isProblem(const Line& line) const;
    QString statusText(const Line& line) const;
    QString text(const Line& line, int column) const;

    std::vector<Line> m_lines;
};
