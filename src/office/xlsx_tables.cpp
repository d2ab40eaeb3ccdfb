// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_tables.h"

#include <QSet>

namespace office::xlsx {

std::vector<HeaderCell> renameTableColumns(pugi::xml_node table, CellPosition origin,
                                           const Grid& cells) {
    std::vector<HeaderCell> headers;
    const std::string ref = attribute(table, "ref").value();
    const auto first = parseReference(std::string_view(ref).substr(0, ref.find(':')));
    const pugi::xml_attribute headerRows = attribute(table, "headerRowCount");
    if (!first || (headerRows && headerRows.as_int(1) == 0)) return headers;
    const int headerRow = first->row;
    const auto index = static_cast<long long>(headerRow) - origin.row;
    if (index < 0 || index >= static_cast<long long>(cells.size())) return headers;
    const std::vector<QString>& written = cells[static_cast<size_t>(index)];

    std::vector<pugi::xml_node> columns = children(child(table, "tableColumns"), "tableColumn");
    std::vector<bool> renamed(columns.size(), false);
    for (size_t i = 0; i < columns.size(); ++i) {
        const long long at = first->column + static_cast<long long>(i) - origin.column;
        renamed[i] = at >= 0 && at < static_cast<long long>(written.size());
    }
    // Names are unique ignoring case; those not written keep theirs and are taken first.
    QSet<QString> taken;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!renamed[i]) taken.insert(text(attribute(columns[i], "name")).toLower());
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!renamed[i]) continue;
        const int column = first->column + static_cast<int>(i);
        const QString wanted = written[static_cast<size_t>(column - origin.column)];
        const QString base = wanted.isEmpty() ? QStringLiteral("Column%1").arg(i + 1) : wanted;
        QString name = base;
        for (int n = 2; taken.contains(name.toLower()); ++n) name = base + QString::number(n);
        taken.insert(name.toLower());
        pugi::xml_attribute nameAttribute = columns[i].attribute("name");
        if (!nameAttribute) nameAttribute = columns[i].append_attribute("name");
        nameAttribute.set_value(name.toUtf8().constData());
        headers.push_back(HeaderCell{CellPosition{headerRow, column}, name});
    }
    return headers;
}

}  // namespace office::xlsx
