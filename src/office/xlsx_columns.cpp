// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_columns.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace office::xlsx {
namespace {

constexpr double kDefaultWidth = 8.43;
constexpr double kWidestFit = 100.0;

// The elements that may come before <cols> in a worksheet, in their required order.
bool comesBeforeCols(std::string_view name) {
    return name == "sheetPr" || name == "dimension" || name == "sheetViews" ||
           name == "sheetFormatPr";
}

pugi::xml_node columnsElement(pugi::xml_node worksheet) {
    if (pugi::xml_node cols = child(worksheet, "cols")) return cols;
    pugi::xml_node after;
    for (pugi::xml_node node = worksheet.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && comesBeforeCols(localName(node))) after = node;
    }
    const std::string name = qualifiedLike(worksheet, "cols");
    return after ? worksheet.insert_child_after(name.c_str(), after)
                 : worksheet.prepend_child(name.c_str());
}

int bound(const pugi::xml_node& col, std::string_view name) {
    return attribute(col, name).as_int(0);
}

void setBound(pugi::xml_node col, const char* name, int value) {
    pugi::xml_attribute a = col.attribute(name);
    if (!a) a = col.append_attribute(name);
    a.set_value(value);
}

}  // namespace

double fittedWidth(int characters) {
    const double width = std::round((characters * 1.1 + 1.0) * 100.0) / 100.0;
    return std::clamp(width, kDefaultWidth, kWidestFit);
}

void setColumnWidths(pugi::xml_node worksheet, const std::map<int, double>& widths) {
    if (widths.empty()) return;
    pugi::xml_node cols = columnsElement(worksheet);
    const std::string colName = qualifiedLike(cols, "col");
    for (const auto& [column, width] : widths) {
        pugi::xml_node target;
        pugi::xml_node insertBefore;
        for (pugi::xml_node col : children(cols, "col")) {
            const int min = bound(col, "min");
            const int max = bound(col, "max");
            if (min <= column && column <= max) {
                target = col;
                break;
            }
            if (min > column) {
                insertBefore = col;
                break;
            }
        }
        if (target) {
            // Split the range around the column: copies keep the other columns as they were.
            const int min = bound(target, "min");
            const int max = bound(target, "max");
            if (min < column) {
                pugi::xml_node left = cols.insert_copy_before(target, target);
                setBound(left, "max", column - 1);
            }
            if (column < max) {
                pugi::xml_node right = cols.insert_copy_after(target, target);
                setBound(right, "min", column + 1);
            }
            setBound(target, "min", column);
            setBound(target, "max", column);
        } else {
            target = insertBefore ? cols.insert_child_before(colName.c_str(), insertBefore)
                                  : cols.append_child(colName.c_str());
            setBound(target, "min", column);
            setBound(target, "max", column);
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", width);
        pugi::xml_attribute widthAttribute = target.attribute("width");
        if (!widthAttribute) widthAttribute = target.append_attribute("width");
        widthAttribute.set_value(text);
        pugi::xml_attribute custom = target.attribute("customWidth");
        if (!custom) custom = target.append_attribute("customWidth");
        custom.set_value("1");
        target.remove_attribute("bestFit");
    }
}

}  // namespace office::xlsx
