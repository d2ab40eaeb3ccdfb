// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The word processor as the document output drives it: documents, landscape pages, and a block
// of text in small type at the start or the end, optionally made into a formatted table.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "office/result.h"

namespace office {

struct TableFormat {
    bool headingRow = false;  // the first row is formatted as the table's heading row
};

class TextDocument {
public:
    virtual ~TextDocument() = default;
    virtual Result<QString> FullName() const = 0;
    // Turns the page that a block inserted at the end of the document (or at its start) lands
    // on to landscape.
    virtual Status SetLandscape(bool atEnd) = 0;
    // Inserts `text` (lines ended by CR LF) as new paragraphs at the end of the document or at
    // its start, in `pointSize` type.
    virtual Status InsertBlock(bool atEnd, const QString& text, int pointSize) = 0;
    // Inserts a table of `rows` of cells at the end of the document or at its start, each cell
    // holding its text as it is, in `pointSize` type.
    virtual Status InsertTable(bool atEnd, const std::vector<QStringList>& rows, int pointSize,
                               TableFormat format) = 0;
};

class WordProcessor {
public:
    virtual ~WordProcessor() = default;
    virtual Result<std::shared_ptr<TextDocument>> OpenDocument(const QString& path) = 0;
    virtual Result<std::shared_ptr<TextDocument>> AddDocument() = 0;
    virtual Result<int> DocumentCount() const = 0;
    virtual Result<std::shared_ptr<TextDocument>> ActiveDocument() = 0;
    virtual Result<bool> Visible() const = 0;
    virtual Status SetVisible(bool visible) = 0;
};

}  // namespace office
