// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/docx_word_processor.h"

#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "office/docx_document.h"
#include "platform/paths.h"

namespace office {
namespace {

using docx::DocxDocument;

class DocxWordProcessor : public WordProcessor {
public:
    explicit DocxWordProcessor(QString folder)
        : m_folder(std::move(folder)), m_paper(docx::systemPaper()) {}

    Result<std::shared_ptr<TextDocument>> OpenDocument(const QString& path) override {
        const QString found = QFileInfo(platform::resolvePath(path)).absoluteFilePath();
        // A document already open is the one returned, as the word processor does.
        for (auto it = m_documents.begin(); it != m_documents.end(); ++it) {
            if ((*it)->FullName().valueOr({}) == found) return activate(it);
        }
        auto opened = DocxDocument::open(found, m_paper);
        if (!opened) return opened.error();
        m_documents.push_back(std::move(opened).value());
        return std::shared_ptr<TextDocument>(m_documents.back());
    }

    Result<std::shared_ptr<TextDocument>> AddDocument() override {
        const auto path =
            ooxml::firstFreeName(m_folder, QStringLiteral("Document%1.docx"),
                                 [this](const QString& name) { return isOpen(name); });
        if (!path) return path.error();
        auto created = DocxDocument::create(path.value(), m_paper);
        if (!created) return created.error();
        m_documents.push_back(std::move(created).value());
        return std::shared_ptr<TextDocument>(m_documents.back());
    }

    Result<int> DocumentCount() const override { return static_cast<int>(m_documents.size()); }

    Result<std::shared_ptr<TextDocument>> ActiveDocument() override {
        if (m_documents.empty()) return std::shared_ptr<TextDocument>();
        return std::shared_ptr<TextDocument>(m_documents.back());
    }

    Result<bool> Visible() const override { return m_visible; }
    Status SetVisible(bool visible) override {
        m_visible = visible;
        return core::success();
    }

private:
    // The most recently opened or activated document is the last one.
    std::shared_ptr<TextDocument> activate(
        std::vector<std::shared_ptr<DocxDocument>>::iterator it) {
        std::shared_ptr<DocxDocument> document = *it;
        m_documents.erase(it);
        m_documents.push_back(document);
        return document;
    }
    bool isOpen(const QString& path) const {
        const QString full = QFileInfo(path).absoluteFilePath();
        return std::any_of(m_documents.begin(), m_documents.end(), [&](const auto& document) {
            return document->FullName().valueOr({}).compare(full, Qt::CaseInsensitive) == 0;
        });
    }

    QString m_folder;
    docx::Paper m_paper;
    bool m_visible = false;
    std::vector<std::shared_ptr<DocxDocument>> m_documents;
};

}  // namespace

Result<std::shared_ptr<WordProcessor>> startDocxWordProcessor(QString newDocumentFolder) {
    return std::shared_ptr<WordProcessor>(
        std::make_shared<DocxWordProcessor>(std::move(newDocumentFolder)));
}

}  // namespace office
