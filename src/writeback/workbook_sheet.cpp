// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/workbook_sheet.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "office/ooxml_package.h"
#include "office/xlsx_cells.h"
#include "office/xlsx_template.h"
#include "platform/paths.h"
#include "writeback/shown_number.h"

namespace writeback {
namespace {

using namespace office::ooxml;
using office::xlsx::parseReference;

struct Sheet {
    QString name;
    QString part;
    bool isWorksheet = false;
};

// What the cells of a sheet need from the rest of the workbook.
struct Book {
    std::vector<Sheet> sheets;
    std::size_t active = 0;
    bool date1904 = false;
    std::vector<QString> sharedStrings;
    std::map<int, QString> formatCodes;  // the workbook's own number formats, by id
    std::vector<int> styleFormats;       // the number format id of each cell style
};

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A cell string as the workbook means it: _xHHHH_ stands for the character HHHH (how control
// characters are stored, and an underscore that starts such a text, as _x005F_).
QString unescaped(const QString& text) {
    if (!text.contains(QLatin1String("_x"))) return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && isHex(text[i + 2]) &&
            isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == u'_') {
            result += QChar(static_cast<char16_t>(text.mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 6;
        } else {
            result += text[i];
        }
    }
    return result;
}

// The text of a string item (<si>, <is>): its <t>, or the <t> of each rich-text run; phonetic
// hints are no part of it.
QString itemText(const pugi::xml_node& item) {
    QString text;
    for (pugi::xml_node node = item.first_child(); node; node = node.next_sibling()) {
        if (localName(node) == "t") {
            text += QString::fromUtf8(node.text().get());
        } else if (localName(node) == "r") {
            text += QString::fromUtf8(child(node, "t").text().get());
        }
    }
    return unescaped(text);
}

// The part a workbook relationship of `kind` points at; empty when none.
QString partOfType(const std::vector<Relationship>& relationships, const QString& kind) {
    for (const Relationship& relationship : relationships) {
        if (isType(relationship, kind) && !relationship.target.isEmpty()) {
            return relationship.target;
        }
    }
    return QString();
}

office::Status readStyles(const Package& package, const QString& part, Book& book) {
    const QByteArray* bytes = part.isEmpty() ? nullptr : package.part(part);
    if (!bytes) return core::success();
    auto parsed = parseXml(*bytes, part);
    if (!parsed) return parsed.error();
    const pugi::xml_node root = parsed.value()->document_element();
    for (const pugi::xml_node& format : children(child(root, "numFmts"), "numFmt")) {
        book.formatCodes[attribute(format, "numFmtId").as_int(-1)] =
            text(attribute(format, "formatCode"));
    }
    for (const pugi::xml_node& style : children(child(root, "cellXfs"), "xf")) {
        book.styleFormats.push_back(attribute(style, "numFmtId").as_int(0));
    }
    return core::success();
}

office::Result<Book> readBook(const Package& package) {
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (const QByteArray* rootRelationships = package.part(QStringLiteral("_rels/.rels"))) {
        auto relationships = parseRelationships(*rootRelationships, QString());
        if (!relationships) return relationships.error();
        const QString named = partOfType(relationships.value(), QStringLiteral("officeDocument"));
        if (!named.isEmpty()) workbookPart = named;
    }
    const QByteArray* workbookBytes = package.part(workbookPart);
    if (!workbookBytes) {
        return core::Error{-1, QStringLiteral("the file has no workbook part.")};
    }
    std::vector<Relationship> relationships;
    if (const QByteArray* bytes = package.part(relationshipsPartOf(workbookPart))) {
        auto parsed = parseRelationships(*bytes, workbookPart);
        if (!parsed) return parsed.error();
        relationships = std::move(parsed).value();
    }
    auto workbook = parseXml(*workbookBytes, workbookPart);
    if (!workbook) return workbook.error();
    const pugi::xml_node root = workbook.value()->document_element();
    Book book;
    for (const pugi::xml_node& sheet : children(child(root, "sheets"), "sheet")) {
        Sheet entry{text(attribute(sheet, "name")), QString(), false};
        const QString id = text(attribute(sheet, "id"));
        for (const Relationship& relationship : relationships) {
            if (relationship.id != id) continue;
            entry.part = relationship.target;
            entry.isWorksheet = isType(relationship, QStringLiteral("worksheet"));
        }
        book.sheets.push_back(entry);
    }
    const int activeTab =
        attribute(child(child(root, "bookViews"), "workbookView"), "activeTab").as_int(0);
    if (activeTab > 0 && static_cast<std::size_t>(activeTab) < book.sheets.size()) {
        book.active = static_cast<std::size_t>(activeTab);
    }
    book.date1904 = attribute(child(root, "workbookPr"), "date1904").as_bool(false);

    const QString strings = partOfType(relationships, QStringLiteral("sharedStrings"));
    if (const QByteArray* bytes = strings.isEmpty() ? nullptr : package.part(strings)) {
        auto parsed = parseXml(*bytes, strings);
        if (!parsed) return parsed.error();
        for (const pugi::xml_node& item : children(parsed.value()->document_element(), "si")) {
            book.sharedStrings.push_back(itemText(item));
        }
    }
    if (auto styles =
            readStyles(package, partOfType(relationships, QStringLiteral("styles")), book);
        !styles) {
        return styles.error();
    }
    return book;
}

// The text a cell shows; a reason instead when it cannot be known exactly.
struct Shown {
    QString text;
    QString problem;
};

Shown shownText(const pugi::xml_node& cell, const Book& book) {
    const std::string_view type = attribute(cell, "t").value();
    if (type == "inlineStr") return {itemText(child(cell, "is")), {}};
    const char* stored = child(cell, "v").text().get();
    // A formula's result is saved beside it, empty only for an empty text (type "str"); a
    // program that does not calculate saves none.
    if (child(cell, "f") && !*stored && type != "str") {
        return {{},
                QStringLiteral("a formula whose result was not saved with the workbook; open "
                               "the workbook in a spreadsheet program and save it.")};
    }
    if (!*stored) return {};
    if (type == "s") {
        char* end = nullptr;
        const unsigned long index = std::strtoul(stored, &end, 10);
        if (end == stored || *end || index >= book.sharedStrings.size()) {
            return {{}, QStringLiteral("it names a shared string the workbook does not have.")};
        }
        return {book.sharedStrings[index], {}};
    }
    if (type == "str") return {unescaped(QString::fromUtf8(stored)), {}};
    if (type == "b") return {*stored == '1' ? QStringLiteral("TRUE") : QStringLiteral("FALSE"), {}};
    if (type == "e") {
        return {{}, QStringLiteral("it shows the error ") + QString::fromUtf8(stored) + u'.'};
    }
    if (!type.empty() && type != "n") {
        return {{},
                QStringLiteral("a value of a type this program does not read (") +
                    QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size())) +
                    QStringLiteral(").")};
    }
    bool converts = false;
    const double number = QByteArray(stored).toDouble(&converts);  // whatever the C locale
    if (!converts) return {{}, QStringLiteral("its number cannot be read.")};
    NumberFormat format;
    // A style the workbook does not define reads as the first, as spreadsheet programs do.
    const auto style = static_cast<std::size_t>(std::max(attribute(cell, "s").as_int(0), 0));
    if (!book.styleFormats.empty()) {
        format.id = book.styleFormats[style < book.styleFormats.size() ? style : 0];
    }
    if (const auto found = book.formatCodes.find(format.id); found != book.formatCodes.end()) {
        format.code = found->second;
    }
    if (const auto shown = shownNumber(number, format, book.date1904)) return {*shown, {}};
    return {
        {},
        QStringLiteral("it shows its number in a format this program does not show exactly "
                       "(%1); make the column General or Text.")
            .arg(format.code.isEmpty() ? QStringLiteral("format %1").arg(format.id) : format.code)};
}

QString cellName(int row, int column) {
    return QString::fromStdString(office::xlsx::cellReference(row, column));
}

// The sheet named `name`: the exact name first, then ignoring letter case.
const Sheet* findSheet(const Book& book, const QString& name) {
    if (name.isEmpty()) return book.sheets.empty() ? nullptr : &book.sheets[book.active];
    for (const Sheet& sheet : book.sheets) {
        if (sheet.name == name) return &sheet;
    }
    for (const Sheet& sheet : book.sheets) {
        if (sheet.name.compare(name, Qt::CaseInsensitive) == 0) return &sheet;
    }
    return nullptr;
}

}  // namespace

core::Result<EditTable> readWorkbookSheet(const QString& path, const QString& sheetName) {
    const QString file = platform::resolvePath(path);
    const QString fileName = QFileInfo(file).fileName();
    auto package = Package::read(file, office::xlsx::workbookFile());
    if (!package) return package.error();
    auto book = readBook(package.value());
    if (!book) return refusal(fileName, QStringLiteral(": ") + book.error().description);
    const Sheet* sheet = findSheet(book.value(), sheetName);
    if (!sheet) {
        QStringList names;
        for (const Sheet& each : book.value().sheets) names << each.name;
        return refusal(fileName,
                       QStringLiteral(": the workbook has no sheet '%1' (its sheets: %2).")
                           .arg(sheetName, names.join(QStringLiteral(", "))));
    }
    const QString origin = fileName + QStringLiteral(", sheet ") + sheet->name;
    const QByteArray* bytes = sheet->part.isEmpty() ? nullptr : package.value().part(sheet->part);
    if (!sheet->isWorksheet || !bytes) {
        return refusal(origin, QStringLiteral(": not a sheet of cells."));
    }
    auto parsed = parseXml(*bytes, sheet->part);
    if (!parsed) return refusal(origin, QStringLiteral(": ") + parsed.error().description);

    // Only cells with a value are kept, so a sheet formatted to its last row costs nothing.
    std::map<int, std::map<int, QString>> values;
    qint64 count = 0;
    int firstColumn = office::xlsx::kMaxColumns;
    int lastColumn = 0;
    int row = 0;
    const pugi::xml_node sheetData = child(parsed.value()->document_element(), "sheetData");
    for (const pugi::xml_node& rowNode : children(sheetData, "row")) {
        const int number = attribute(rowNode, "r").as_int(0);
        row = number > 0 && number <= office::xlsx::kMaxRows ? number : row + 1;
        int column = 0;
        for (const pugi::xml_node& cell : children(rowNode, "c")) {
            const auto position = parseReference(attribute(cell, "r").value());
            column = position ? position->column : column + 1;
            if (row > office::xlsx::kMaxRows || column > office::xlsx::kMaxColumns) {
                return refusal(origin, QStringLiteral(": a cell lies outside the sheet."));
            }
            Shown shown = shownText(cell, book.value());
            if (!shown.problem.isEmpty()) {
                return refusal(origin, QStringLiteral(", cell ") + cellName(row, column) +
                                           QStringLiteral(": ") + shown.problem);
            }
            if (shown.text.isEmpty()) continue;
            if (++count > kMaxValues) {
                return refusal(origin, QStringLiteral(": more than %1 values, more than this "
                                                      "program reads from one source.")
                                           .arg(kMaxValues));
            }
            firstColumn = std::min(firstColumn, column);
            lastColumn = std::max(lastColumn, column);
            values[row][column] = std::move(shown.text);
        }
    }
    if (values.empty()) return refusal(origin, QStringLiteral(": the sheet is empty."));

    TableBuilder table(origin);
    QString reason;
    bool header = true;
    for (auto& [number, cells] : values) {
        QStringList rowValues;
        rowValues.resize(lastColumn - firstColumn + 1);
        for (auto& [column, text] : cells) rowValues[column - firstColumn] = std::move(text);
        const bool kept = header ? table.setHeader(std::move(rowValues), reason)
                                 : table.addRow(std::move(rowValues), number, reason);
        if (!kept) return refusal(origin, reason);
        header = false;
    }
    return table.take();
}

}  // namespace writeback
