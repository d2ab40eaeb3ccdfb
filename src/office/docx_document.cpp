// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/docx_document.h"

#include <QDir>
#include <QFileInfo>

#include "office/docx_body.h"

namespace office::docx {
namespace {

constexpr long kObjectError = 1004;
constexpr long kPermissionDenied = 70;

// The id of the document's "Table Grid" table style, or empty when its styles have none.
std::string tableGridStyle(const QByteArray* styles) {
    if (!styles) return {};
    const auto parsed = ooxml::parseXml(*styles, QStringLiteral("styles"));
    if (!parsed) return {};
    for (const pugi::xml_node& style :
         ooxml::children(parsed.value()->document_element(), "style")) {
        if (std::string_view(ooxml::attribute(style, "type").value()) != "table") continue;
        const std::string_view id = ooxml::attribute(style, "styleId").value();
        const std::string_view name = ooxml::attribute(ooxml::child(style, "name"), "val").value();
        if (id == "TableGrid" || name == "Table Grid") return std::string(id);
    }
    return {};
}

}  // namespace

QString lockFileOf(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QDir folder = info.absoluteDir();
    QStringList candidates{QStringLiteral("~$") + name,
                           QStringLiteral(".~lock.") + name + QLatin1Char('#')};
    // Word shortens its owner file's name for long names: "~$cument1.docx" for Document1.docx.
    const qsizetype stem = info.completeBaseName().size();
    if (stem >= 8) candidates << QStringLiteral("~$") + name.mid(2);
    if (stem == 7) candidates << QStringLiteral("~$") + name.mid(1);
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(folder.filePath(candidate))) return folder.filePath(candidate);
    }
    return {};
}

QStringList blockLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines << text.mid(start);
    return lines;
}

DocxDocument::DocxDocument(QString path, ooxml::Package package, Paper paper)
    : m_path(std::move(path)), m_package(std::move(package)), m_paper(paper) {}

Result<std::shared_ptr<DocxDocument>> DocxDocument::open(const QString& path, Paper paper) {
    auto package = ooxml::Package::read(path, documentFile());
    if (!package) return package.error();
    std::shared_ptr<DocxDocument> document(
        new DocxDocument(QFileInfo(path).absoluteFilePath(), std::move(package).value(), paper));
    if (auto loaded = document->load(); !loaded) {
        return Error{loaded.error().number, QStringLiteral("Cannot open the document '") + path +
                                                "': " + loaded.error().description};
    }
    return document;
}

Result<std::shared_ptr<DocxDocument>> DocxDocument::create(const QString& path, Paper paper) {
    std::shared_ptr<DocxDocument> document(
        new DocxDocument(QFileInfo(path).absoluteFilePath(), newDocumentPackage(paper), paper));
    if (auto loaded = document->load(); !loaded) return loaded.error();
    if (auto saved = document->save(); !saved) return saved.error();
    return document;
}

Status DocxDocument::load() {
    // The package's relationships name the document part; the usual name serves without them.
    m_documentPart = QStringLiteral("word/document.xml");
    if (const QByteArray* rootRelationships = m_package.part(QStringLiteral("_rels/.rels"))) {
        auto relationships = ooxml::parseRelationships(*rootRelationships, QString());
        if (!relationships) return relationships.error();
        for (const ooxml::Relationship& relationship : relationships.value()) {
            if (ooxml::isType(relationship, QStringLiteral("officeDocument")) &&
                !relationship.target.isEmpty()) {
                m_documentPart = relationship.target;
                break;
            }
        }
    }
    if (!m_package.part(m_documentPart)) {
        return Error{kObjectError,
                     QStringLiteral("the file has no document part (") + m_documentPart + ")."};
    }
    if (auto parsed = reload(); !parsed) return parsed;
    const pugi::xml_node root = m_document->document_element();
    if (ooxml::localName(root) != "document" || !ooxml::child(root, "body")) {
        return Error{kObjectError, QStringLiteral("the document has no body.")};
    }
    if (const QByteArray* bytes = m_package.part(ooxml::relationshipsPartOf(m_documentPart))) {
        if (auto relationships = ooxml::parseRelationships(*bytes, m_documentPart)) {
            for (const ooxml::Relationship& relationship : relationships.value()) {
                if (ooxml::isType(relationship, QStringLiteral("styles"))) {
                    m_tableStyle = tableGridStyle(m_package.part(relationship.target));
                }
            }
        }
    }
    return core::success();
}

Status DocxDocument::reload() {
    auto parsed = ooxml::parseXml(*m_package.part(m_documentPart), m_documentPart);
    if (!parsed) return parsed.error();
    m_document = std::move(parsed).value();
    return core::success();
}

Result<QString> DocxDocument::FullName() const {
    return m_path;
}

Status DocxDocument::save() {
    const auto undone = [this](const Error& error) -> Status {
        reload();
        return error;
    };
    if (const QString lock = lockFileOf(m_path); !lock.isEmpty()) {
        return undone(Error{kPermissionDenied,
                            QStringLiteral("The document '") + m_path +
                                QStringLiteral("' is open in another program (its lock file '") +
                                lock + QStringLiteral("' exists); it was not written.")});
    }
    ooxml::Package next = m_package;
    next.setPart(m_documentPart, ooxml::writeXml(*m_document));
    auto bytes = next.zipped();
    if (!bytes) return undone(bytes.error());
    if (auto saved = ooxml::saveAtomically(m_path, bytes.value(), documentFile()); !saved) {
        return undone(saved.error());
    }
    m_package = std::move(next);
    return core::success();
}

Status DocxDocument::SetLandscape(bool atEnd) {
    pugi::xml_node root = m_document->document_element();
    const WordNames names(root);
    if (!setLandscape(ooxml::child(root, "body"), names, m_paper, atEnd)) return core::success();
    return save();
}

Status DocxDocument::InsertBlock(bool atEnd, const QString& text, int pointSize) {
    Block block;
    block.lines = blockLines(text);
    if (block.lines.isEmpty()) return core::success();
    block.pointSize = pointSize;
    return insert(atEnd, std::move(block));
}

Status DocxDocument::InsertTable(bool atEnd, const std::vector<QStringList>& rows, int pointSize,
                                 TableFormat format) {
    if (rows.empty()) return core::success();
    Block block;
    block.rows = rows;
    block.pointSize = pointSize;
    block.table = format;
    return insert(atEnd, std::move(block));
}

Status DocxDocument::insert(bool atEnd, Block block) {
    if (block.pointSize < 1 || block.pointSize > 1638) {
        return Error{kObjectError,
                     QStringLiteral("The type size %1 is out of range.").arg(block.pointSize)};
    }
    block.tableStyle = m_tableStyle;
    pugi::xml_node root = m_document->document_element();
    const WordNames names(root);
    insertBlock(ooxml::child(root, "body"), names, atEnd, block);
    return save();
}

}  // namespace office::docx
