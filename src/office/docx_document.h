// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One .docx document open in a word processor session. Each change is saved to its file at
// once, through a temporary file; a change that cannot be saved is undone, so the document in
// memory stays the one on disk.

#include <QStringList>
#include <memory>

#include "office/docx_body.h"
#include "office/docx_template.h"
#include "office/ooxml_package.h"
#include "office/ooxml_xml.h"
#include "office/word_processor.h"

namespace office::docx {

class DocxDocument : public TextDocument {
public:
    // Reads the document at `path`; a missing, unreadable or malformed file is an error.
    static Result<std::shared_ptr<DocxDocument>> open(const QString& path, Paper paper);
    // A new empty document on a portrait page, saved at `path`.
    static Result<std::shared_ptr<DocxDocument>> create(const QString& path, Paper paper);

    Result<QString> FullName() const override;
    Status SetLandscape(bool atEnd) override;
    Status InsertBlock(bool atEnd, const QString& text, int pointSize) override;
    Status InsertTable(bool atEnd, const std::vector<QStringList>& rows, int pointSize,
                       TableFormat format) override;

private:
    DocxDocument(QString path, ooxml::Package package, Paper paper);
    Status load();
    // Puts the changed document part into the package and writes it; on failure the change is
    // dropped.
    Status save();
    Status reload();
    // Adds the block at the start or the end of the body and saves the document.
    Status insert(bool atEnd, Block block);

    QString m_path;
    ooxml::Package m_package;
    Paper m_paper;
    QString m_documentPart;
    ooxml::Document m_document;
    std::string m_tableStyle;  // the id of the "Table Grid" style when the document has it
};

// The lock file beside `path` that shows the document is open in another program (Word's
// "~$" owner file, LibreOffice's ".~lock.NAME#"); empty when there is none.
QString lockFileOf(const QString& path);

// The lines of a block of text: ended by CR LF, a lone CR or a lone LF; the end of the last
// line need not be marked.
QStringList blockLines(const QString& text);

}  // namespace office::docx
