// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/edit_columns.h"

#include <map>

#include "engine/drawing_session.h"

namespace writeback {
namespace {

enum class Role { Drawing, Handle, Space, BlockName, EffectiveName, Field, Tag, Unnamed };

// The columns a text file's header gets in front of the extracted ones.
const QLatin1String kDrawingName("DRAWING_NAME");
const QLatin1String kTimestamp("TIMESTAMP");
// A register's own name for the space column; an extraction writes BLOCK_SPACE.
const QLatin1String kSpace("SPACE");

Role roleOf(const QString& name) {
    if (name.isEmpty()) return Role::Unnamed;
    if (name == kDrawingName) return Role::Drawing;
    if (name == kTimestamp) return Role::Field;
    if (name == kSpace) return Role::Space;
    using Session = DrawingSession;
    for (std::size_t f = 0; f < Session::kFieldNames.size(); ++f) {
        if (name != QLatin1String(Session::kFieldNames[f])) continue;
        switch (f) {
            case Session::BLOCK_HANDLE:
                return Role::Handle;
            case Session::BLOCK_SPACE:
                return Role::Space;
            case Session::BLOCK_NAME:
                return Role::BlockName;
            case Session::BLOCK_EFFECTIVENAME:
                return Role::EffectiveName;
            default:
                return Role::Field;
        }
    }
    return Role::Tag;
}

QString twice(const QString& what, int first, int second) {
    return QStringLiteral(": the header names %1 twice (columns %2 and %3)")
        .arg(what)
        .arg(first + 1)
        .arg(second + 1);
}

// The first value of column `column`, cut short for a message; empty when it has none.
QString firstValueIn(const EditTable& table, int column) {
    for (const QStringList& row : table.rows) {
        const QString& value = row[column];
        if (!value.trimmed().isEmpty())
            return value.size() > 40 ? value.left(40) + QStringLiteral("...") : value;
    }
    return QString();
}

}  // namespace

core::Result<EditColumns> editColumns(const EditTable& table) {
    EditColumns columns;
    std::map<QString, int> seen;  // the first column of each name, upper case
    std::map<QString, int> tagCounts;
    std::vector<std::pair<int, int>> repeatedTags;  // (first column, repeating column)
    auto single = [&](int& slot, int column, const QString& what) -> QString {
        if (slot >= 0) return twice(what, slot, column) + u'.';
        slot = column;
        return QString();
    };
    for (int i = 0; i < table.header.size(); ++i) {
        const QString written = table.header[i].trimmed();
        const QString name = written.toUpper();
        QString refused;
        switch (roleOf(name)) {
            case Role::Unnamed:
                if (const QString value = firstValueIn(table, i); !value.isEmpty()) {
                    refused = QStringLiteral(
                                  ": column %1 has no name in the header, yet it "
                                  "holds values ('%2').")
                                  .arg(i + 1)
                                  .arg(value);
                }
                break;
            case Role::Drawing:
                refused = single(columns.drawing, i, name);
                break;
            case Role::Handle:
                refused = single(columns.handle, i, name);
                break;
            case Role::Space:
                if (columns.space >= 0) {
                    refused = QStringLiteral(": the header has two space columns (%1 and %2).")
                                  .arg(table.header[columns.space].trimmed(), written);
                }
                columns.space = i;
                break;
            case Role::BlockName:
                refused = single(columns.blockName, i, name);
                break;
            case Role::EffectiveName:
                refused = single(columns.effectiveName, i, name);
                break;
            case Role::Field:
                if (const auto found = seen.find(name); found != seen.end()) {
                    refused = twice(name, found->second, i) + u'.';
                }
                break;
            case Role::Tag: {
                int& count = tagCounts[name];
                if (count > 0) repeatedTags.emplace_back(seen[name], i);
                columns.tags.push_back(i);
                columns.tagNames.append(written);
                columns.tagOccurrences.push_back(count++);
                break;
            }
        }
        if (!refused.isEmpty()) return refusal(table.origin, refused);
        seen.emplace(name, i);
    }
    if (columns.drawing < 0) {
        return refusal(table.origin, QStringLiteral(": the header has no DRAWING_NAME column, "
                                                    "which names each row's drawing."));
    }
    if (columns.tags.empty()) {
        return refusal(table.origin, QStringLiteral(": the header names no tag, so there is "
                                                    "nothing to write."));
    }
    columns.layout = columns.handle >= 0 ? EditLayout::ByReference : EditLayout::ByDrawing;
    if (columns.layout == EditLayout::ByDrawing && !repeatedTags.empty()) {
        const auto [first, second] = repeatedTags.front();
        return refusal(
            table.origin,
            twice(QStringLiteral("the tag ") + table.header[second].trimmed(), first, second) +
                QStringLiteral("; without a BLOCK_HANDLE column each tag has one "
                               "column."));
    }
    return columns;
}

}  // namespace writeback
