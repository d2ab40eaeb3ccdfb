// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/attribute_table.h"

#include "engine/drawing_session.h"
#include "engine/text_forms.h"

const std::array<QString, AttributeTable::kColumnCount> AttributeTable::kHeaders = {
    QStringLiteral("Space"),
    QStringLiteral("Block"),
    QStringLiteral("Layer"),
    QStringLiteral("BHandle"),
    QStringLiteral("Handle"),
    QStringLiteral("X"),
    QStringLiteral("Y"),
    QStringLiteral("Z"),
    QStringLiteral("AttributeTag"),
    QStringLiteral("AttributeValue")};

void AttributeTable::addBlock(BlockData block) {
    m_blocks.push_back(std::move(block));
}

void AttributeTable::addAttribute(QString handle, QString tag, QString value) {
    m_rows.push_back({static_cast<qint64>(m_blocks.size()) - 1, std::move(handle), std::move(tag),
                      std::move(value)});
}

const AttributeTable::Row* AttributeTable::rowAt(qint64 row) const {
    if (row < 1 || row > attributeCount()) return nullptr;
    const Row& found = m_rows[static_cast<size_t>(row - 1)];
    return found.block >= 0 ? &found : nullptr;
}

QString AttributeTable::text(qint64 row, int column, const QLocale& locale) const {
    if (column < 0 || column >= kColumnCount || row < 0 || row >= rowCount()) return {};
    if (row == 0 || row == rowCount() - 1) return kHeaders[static_cast<std::size_t>(column)];
    const Row* r = rowAt(row);
    if (!r) return {};
    const BlockData& block = m_blocks[static_cast<size_t>(r->block)];
    switch (column) {
        case Space:
            return block.space;
        case Block:
            return block.name;
        case Layer:
            return block.layer;
        case BlockHandle:
            return block.handle;
        case Handle:
            return r->handle;
        case Tag:
            return r->tag;
        case Value:
            return r->value;
        default:
            break;
    }
    // A block's rows follow each other, so its coordinates are formatted once, not once a row.
    if (m_pointTextsBlock != r->block || m_pointLocale != locale) {
        for (std::size_t i = 0; i < 3; ++i)
            m_pointTexts[i] = textforms::singleReal(block.point[i], locale);
        m_pointTextsBlock = r->block;
        m_pointLocale = locale;
    }
    return m_pointTexts[static_cast<std::size_t>(column - X)];
}

core::Result<AttributeTable> DrawingSession::attributeTable() {
    if (!m_drawing) return core::Error{-1, QStringLiteral("no drawing is open")};
    AttributeTable table;
    const std::pair<QString, drawingapi::Space> spaces[] = {
        {QStringLiteral("MODEL"), drawingapi::Space::Model},
        {QStringLiteral("PAPER"), drawingapi::Space::Paper}};
    for (const auto& space : spaces) {
        const QString& spaceName = space.first;
        const auto references = m_drawing->blockReferences(space.second);
        if (!references) continue;
        for (const auto& item : references.value()) {
            m_ui.processPendingEvents();
            if (!item) continue;
            const drawingapi::BlockReference& block = *item;
            if (!block.hasAttributes().valueOr(false)) continue;
            const drawingapi::Attributes attributes = block.attributes().valueOr({});
            if (attributes.empty()) continue;
            const drawingapi::Point3 point = block.insertionPoint().valueOr({});
            table.addBlock({spaceName,
                            block.name().valueOr({}),
                            block.layer().valueOr({}),
                            block.handle().valueOr({}),
                            {static_cast<float>(point.x), static_cast<float>(point.y),
                             static_cast<float>(point.z)}});
            for (const auto& attribute : attributes) {
                if (!attribute) continue;
                table.addAttribute(attribute->handle().valueOr({}), attribute->tag().valueOr({}),
                                   attribute->value().valueOr({}));
            }
        }
    }
    return table;
}
