// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_workbook.h"

#include <QFileInfo>
#include <algorithm>

#include "office/xlsx_cells.h"
#include "office/xlsx_columns.h"
#include "office/xlsx_tables.h"
#include "office/xlsx_template.h"

namespace office::xlsx {
namespace {

constexpr long kObjectError = 1004;
constexpr long kSubscriptOutOfRange = 9;
const QString kContentTypes = QStringLiteral("[Content_Types].xml");

// The elements that may follow <calcPr> in a workbook, in their required order.
bool comesAfterCalcPr(std::string_view name) {
    static const char* const later[] = {"oleSize",        "customWorkbookViews", "pivotCaches",
                                        "smartTagPr",     "smartTagTypes",       "webPublishing",
                                        "fileRecoveryPr", "webPublishObjects",   "extLst"};
    return std::any_of(std::begin(later), std::end(later),
                       [&](const char* candidate) { return name == candidate; });
}

}  // namespace

XlsxWorkbook::XlsxWorkbook(QString path, Package package, QChar decimalPoint)
    : m_path(std::move(path)), m_package(std::move(package)), m_decimalPoint(decimalPoint) {}

Result<std::shared_ptr<XlsxWorkbook>> XlsxWorkbook::open(const QString& path, QChar decimalPoint) {
    auto package = Package::read(path, workbookFile());
    if (!package) return package.error();
    std::shared_ptr<XlsxWorkbook> book(new XlsxWorkbook(QFileInfo(path).absoluteFilePath(),
                                                        std::move(package).value(), decimalPoint));
    if (auto loaded = book->load(); !loaded) {
        return Error{loaded.error().number, QStringLiteral("Cannot open the workbook '") + path +
                                                "': " + loaded.error().description};
    }
    return book;
}

Result<std::shared_ptr<XlsxWorkbook>> XlsxWorkbook::create(const QString& path,
                                                           QChar decimalPoint) {
    std::shared_ptr<XlsxWorkbook> book(
        new XlsxWorkbook(QFileInfo(path).absoluteFilePath(), newWorkbookPackage(), decimalPoint));
    if (auto loaded = book->load(); !loaded) return loaded.error();
    if (auto saved = book->save(); !saved) return saved.error();
    return book;
}

Status XlsxWorkbook::load() {
    // The package's relationships name the workbook part; the usual name serves without them.
    m_workbookPart = QStringLiteral("xl/workbook.xml");
    if (const QByteArray* rootRelationships = m_package.part(QStringLiteral("_rels/.rels"))) {
        auto relationships = parseRelationships(*rootRelationships, QString());
        if (!relationships) return relationships.error();
        for (const Relationship& relationship : relationships.value()) {
            if (isType(relationship, QStringLiteral("officeDocument")) &&
                !relationship.target.isEmpty()) {
                m_workbookPart = relationship.target;
                break;
            }
        }
    }
    if (!m_package.part(m_workbookPart)) {
        return Error{kObjectError,
                     QStringLiteral("the file has no workbook part (") + m_workbookPart + ")."};
    }
    if (const QByteArray* bytes = m_package.part(relationshipsPartOf(m_workbookPart))) {
        auto relationships = parseRelationships(*bytes, m_workbookPart);
        if (!relationships) return relationships.error();
        m_workbookRelationships = std::move(relationships).value();
    }
    auto workbook = parsedPart(m_workbookPart);
    if (!workbook) return workbook.error();
    const pugi::xml_node root = workbook.value()->document_element();
    if (localName(root) != "workbook") {
        return Error{kObjectError, QStringLiteral("the workbook part is not a workbook.")};
    }
    for (const pugi::xml_node& sheet : children(child(root, "sheets"), "sheet")) {
        Sheet entry;
        entry.name = text(attribute(sheet, "name"));
        const QString id = text(attribute(sheet, "id"));
        for (const Relationship& relationship : m_workbookRelationships) {
            if (relationship.id != id) continue;
            entry.part = relationship.target;
            entry.isWorksheet = isType(relationship, QStringLiteral("worksheet"));
        }
        if (entry.name.isEmpty() || entry.part.isEmpty() || !m_package.part(entry.part)) {
            return Error{kObjectError, QStringLiteral("the sheet '") + entry.name +
                                           QStringLiteral("' has no part in the file.")};
        }
        m_sheets.push_back(entry);
    }
    if (m_sheets.empty()) {
        return Error{kObjectError, QStringLiteral("the workbook has no sheet.")};
    }
    const int activeTab =
        attribute(child(child(root, "bookViews"), "workbookView"), "activeTab").as_int(0);
    m_active = activeTab >= 0 && static_cast<size_t>(activeTab) < m_sheets.size()
                   ? static_cast<size_t>(activeTab)
                   : 0;
    return core::success();
}

Result<pugi::xml_document*> XlsxWorkbook::parsedPart(const QString& name) {
    if (auto found = m_parsedParts.find(name); found != m_parsedParts.end()) {
        return found->second.get();
    }
    const QByteArray* bytes = m_package.part(name);
    if (!bytes) return Error{kObjectError, QStringLiteral("The part '") + name + "' is missing."};
    auto parsed = parseXml(*bytes, name);
    if (!parsed) return parsed.error();
    pugi::xml_document* document = parsed.value().get();
    m_parsedParts.emplace(name, std::move(parsed).value());
    return document;
}

Status XlsxWorkbook::stillOpen() const {
    if (m_closed) return Error{kObjectError, QStringLiteral("The workbook has been closed.")};
    return core::success();
}

Result<QString> XlsxWorkbook::FullName() const {
    if (auto open = stillOpen(); !open) return open.error();
    return m_path;
}

Result<QStringList> XlsxWorkbook::SheetNames() const {
    if (auto open = stillOpen(); !open) return open.error();
    QStringList names;
    for (const Sheet& sheet : m_sheets) names << sheet.name;
    return names;
}

Status XlsxWorkbook::ActivateSheet(const QString& name) {
    if (auto open = stillOpen(); !open) return open;
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            m_active = i;
            return core::success();
        }
    }
    return Error{kSubscriptOutOfRange, QStringLiteral("Subscript out of range: no sheet '") + name +
                                           QStringLiteral("' in the workbook.")};
}

Result<pugi::xml_node> XlsxWorkbook::activeWorksheet() {
    const Sheet& sheet = m_sheets[m_active];
    if (!sheet.isWorksheet) {
        return Error{kObjectError, QStringLiteral("The sheet '") + sheet.name +
                                       QStringLiteral("' has no cells (it is not a worksheet).")};
    }
    auto document = parsedPart(sheet.part);
    if (!document) return document.error();
    const pugi::xml_node root = document.value()->document_element();
    if (localName(root) != "worksheet" || !child(root, "sheetData")) {
        return Error{kObjectError,
                     QStringLiteral("The sheet '") + sheet.name + "' is not a valid worksheet."};
    }
    return root;
}

Status XlsxWorkbook::WriteRange(int row, int column, const Grid& cells) {
    if (auto open = stillOpen(); !open) return open;
    auto worksheet = activeWorksheet();
    if (!worksheet) return worksheet.error();
    auto written = writeCells(worksheet.value(), CellPosition{row, column}, cells, m_decimalPoint);
    if (!written) return written.error();
    renameTableColumns(worksheet.value(), CellPosition{row, column}, cells);
    m_changedParts.insert(m_sheets[m_active].part);
    // Formulas elsewhere may read the written cells: the spreadsheet program recalculates them
    // on opening, and rebuilds the calculation order when a formula was overwritten.
    markFullRecalculation();
    if (written.value().formulaRemoved) dropCalculationChain();
    return save();
}

void XlsxWorkbook::renameTableColumns(pugi::xml_node worksheet, CellPosition origin,
                                      const Grid& cells) {
    const QString sheetPart = m_sheets[m_active].part;
    const QByteArray* bytes = m_package.part(relationshipsPartOf(sheetPart));
    if (!bytes) return;
    const auto relationships = parseRelationships(*bytes, sheetPart);
    if (!relationships) return;
    for (const Relationship& relationship : relationships.value()) {
        if (!isType(relationship, QStringLiteral("table")) || relationship.target.isEmpty()) {
            continue;
        }
        auto table = parsedPart(relationship.target);
        if (!table) continue;
        const auto headers =
            xlsx::renameTableColumns(table.value()->document_element(), origin, cells);
        if (headers.empty()) continue;
        m_changedParts.insert(relationship.target);
        for (const HeaderCell& header : headers) {
            writeCells(worksheet, header.position, Grid{{header.text}}, m_decimalPoint,
                       Typing::Text);
        }
    }
}

Result<const std::vector<QString>*> XlsxWorkbook::sharedStrings() {
    if (!m_sharedStrings) {
        m_sharedStrings.emplace();
        for (const Relationship& relationship : m_workbookRelationships) {
            const QByteArray* bytes = m_package.part(relationship.target);
            if (!isType(relationship, QStringLiteral("sharedStrings")) || !bytes) continue;
            auto strings = parseSharedStrings(*bytes, relationship.target);
            if (!strings) {
                m_sharedStrings.reset();
                return strings.error();
            }
            m_sharedStrings = std::move(strings).value();
        }
    }
    return &*m_sharedStrings;
}

Status XlsxWorkbook::AutoFitColumns(int row, int column, int rows, int columns) {
    if (auto open = stillOpen(); !open) return open;
    if (row < 1 || column < 1 || rows < 1 || columns < 1 ||
        static_cast<long long>(row) + rows - 1 > kMaxRows ||
        static_cast<long long>(column) + columns - 1 > kMaxColumns) {
        return Error{kObjectError, QStringLiteral("The range does not fit the sheet.")};
    }
    auto worksheet = activeWorksheet();
    if (!worksheet) return worksheet.error();
    auto strings = sharedStrings();
    if (!strings) return strings.error();
    const pugi::xml_node sheetData = child(worksheet.value(), "sheetData");
    numberRowsAndCells(sheetData);
    const int lastRow = row + rows - 1;
    const int lastColumn = column + columns - 1;
    std::map<int, int> longest;
    for (int c = column; c <= lastColumn; ++c) longest[c] = 0;
    for (const pugi::xml_node& rowNode : children(sheetData, "row")) {
        const int r = attribute(rowNode, "r").as_int(0);
        if (r < row || r > lastRow) continue;
        for (const pugi::xml_node& cell : children(rowNode, "c")) {
            const auto position = parseReference(attribute(cell, "r").value());
            if (!position || position->column < column || position->column > lastColumn) continue;
            // The widest line of the text decides, counted in characters, not UTF-16 units.
            for (const QString& line : cellText(cell, *strings.value()).split(QLatin1Char('\n'))) {
                const int characters = static_cast<int>(line.toUcs4().size());
                longest[position->column] = std::max(longest[position->column], characters);
            }
        }
    }
    std::map<int, double> widths;
    for (const auto& [c, characters] : longest) widths[c] = fittedWidth(characters);
    setColumnWidths(worksheet.value(), widths);
    m_changedParts.insert(m_sheets[m_active].part);
    return save();
}

void XlsxWorkbook::markFullRecalculation() {
    auto workbook = parsedPart(m_workbookPart);
    if (!workbook) return;
    pugi::xml_node root = workbook.value()->document_element();
    pugi::xml_node calcPr = child(root, "calcPr");
    if (!calcPr) {
        pugi::xml_node before;
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element && comesAfterCalcPr(localName(node))) {
                before = node;
                break;
            }
        }
        const std::string name = qualifiedLike(child(root, "sheets"), "calcPr");
        calcPr = before ? root.insert_child_before(name.c_str(), before)
                        : root.append_child(name.c_str());
    }
    if (std::string_view(calcPr.attribute("fullCalcOnLoad").value()) == "1") return;
    pugi::xml_attribute full = calcPr.attribute("fullCalcOnLoad");
    if (!full) full = calcPr.append_attribute("fullCalcOnLoad");
    full.set_value("1");
    m_changedParts.insert(m_workbookPart);
}

void XlsxWorkbook::dropCalculationChain() {
    const auto chain =
        std::find_if(m_workbookRelationships.begin(), m_workbookRelationships.end(),
                     [](const Relationship& r) { return isType(r, QStringLiteral("calcChain")); });
    if (chain == m_workbookRelationships.end()) return;
    const QString chainPart = chain->target;
    const QString chainId = chain->id;
    m_workbookRelationships.erase(chain);
    m_package.removePart(chainPart);
    const QString relationshipsPart = relationshipsPartOf(m_workbookPart);
    if (auto relationships = parsedPart(relationshipsPart)) {
        pugi::xml_node root = relationships.value()->document_element();
        for (pugi::xml_node node : children(root, "Relationship")) {
            if (text(attribute(node, "Id")) == chainId) root.remove_child(node);
        }
        m_changedParts.insert(relationshipsPart);
    }
    if (auto types = parsedPart(kContentTypes)) {
        pugi::xml_node root = types.value()->document_element();
        for (pugi::xml_node node : children(root, "Override")) {
            if (text(attribute(node, "PartName"))
                    .compare(QLatin1Char('/') + chainPart, Qt::CaseInsensitive) == 0) {
                root.remove_child(node);
            }
        }
        m_changedParts.insert(kContentTypes);
    }
}

Status XlsxWorkbook::save() {
    for (const QString& name : m_changedParts) {
        if (auto found = m_parsedParts.find(name); found != m_parsedParts.end()) {
            m_package.setPart(name, writeXml(*found->second));
        }
    }
    m_changedParts.clear();
    auto bytes = m_package.zipped();
    if (!bytes) return bytes.error();
    return saveAtomically(m_path, bytes.value(), workbookFile());
}

Status XlsxWorkbook::Close() {
    m_closed = true;
    m_parsedParts.clear();
    m_package = Package(workbookFile());
    return core::success();
}

}  // namespace office::xlsx
