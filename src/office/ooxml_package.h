// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An Office Open XML file (.xlsx workbook, .docx document) as a zip package: its parts by name,
// in the order they were stored, read into memory at opening and written back as a whole. Parts
// the program does not change are written back with the same bytes.

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "office/result.h"

namespace office::ooxml {

// How messages name the kind of file a package is: "workbook" and ".xlsx", "document" and
// ".docx".
struct FileKind {
    QString noun;
    QString extension;
};

struct Part {
    QString name;  // as stored in the zip, without a leading '/'
    QByteArray data;
};

class Package {
public:
    // Files bigger than this are refused rather than read into memory.
    static constexpr qint64 kMaxFileSize = 200LL * 1024 * 1024;
    // The parts together, unpacked; guards against a small file that unpacks to gigabytes.
    static constexpr qint64 kMaxUnpackedSize = 1024LL * 1024 * 1024;

    explicit Package(FileKind kind) : m_kind(std::move(kind)) {}

    static Result<Package> read(const QString& path, FileKind kind);

    const FileKind& kind() const { return m_kind; }
    const QByteArray* part(const QString& name) const;
    void setPart(const QString& name, QByteArray data);  // replaces or appends
    void removePart(const QString& name);
    const std::vector<Part>& parts() const { return m_parts; }

    // The whole package as the bytes of a zip file.
    Result<QByteArray> zipped() const;

private:
    FileKind m_kind;
    std::vector<Part> m_parts;
};

// Writes `bytes` to a temporary file beside `path`, then renames it into place, so a failure
// leaves the old file as it was. A read-only file is not replaced.
Status saveAtomically(const QString& path, const QByteArray& bytes, const FileKind& kind);

// Where a new workbook or document goes, named as the office program names it: the first of
// `pattern` ("Book%1.xlsx") numbered 1, 2, ... that is neither a file in `folder` (the user's
// documents folder when empty) nor `taken` (a new one not saved yet). An error when none is free.
Result<QString> firstFreeName(const QString& folder, const QString& pattern,
                              const std::function<bool(const QString&)>& taken);

}  // namespace office::ooxml
