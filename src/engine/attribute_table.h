// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table of every attribute of one drawing, as the attribute page shows it: rows 0 and N + 1
// hold the column headers, rows 1 to N one attribute each (model space first, then paper
// space), and the columns below. Block data is kept once per block reference, not per row, so
// a drawing of a few hundred thousand attributes stays small.

#include <QString>
#include <array>
#include <vector>

#include "engine/text_table.h"

class AttributeTable : public TextTable {
public:
    enum Column { Space, Block, Layer, BlockHandle, Handle, X, Y, Z, Tag, Value, kColumnCount };
    static const std::array<QString, kColumnCount> kHeaders;

    struct BlockData {
        QString space;  // "MODEL" or "PAPER"
        QString name;
        QString layer;
        QString handle;
        std::array<float, 3> point{};  // insertion point, single precision
    };

    // Starts a block reference; the attributes added next belong to it.
    void addBlock(BlockData block);
    void addAttribute(QString handle, QString tag, QString value);
    qint64 attributeCount() const { return static_cast<qint64>(m_rows.size()); }

    qint64 rowCount() const override { return attributeCount() + 2; }
    int columnCount() const override { return kColumnCount; }
    QString text(qint64 row, int column, const QLocale& locale) const override;

private:
    struct Row {
        qint64 block = 0;
        QString handle;
        QString tag;
        QString value;
    };
    const Row* rowAt(qint64 row) const;

    std::vector<BlockData> m_blocks;
    std::vector<Row> m_rows;
    mutable QLocale m_pointLocale;
    mutable std::array<QString, 3> m_pointTexts;  // the last block's coordinates, as text
    mutable qint64 m_pointTextsBlock = -1;
};
