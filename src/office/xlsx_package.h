#pragma once

// A workbook file as a zip package: its parts by name, in the order they were stored, read
// into memory at opening and written back as a whole.

#include <QByteArray>
#include <QString>
#include <vector>

#include "office/result.h"

namespace office::xlsx {

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

    static Result<Package> read(const QString& path);

    const QByteArray* part(const QString& name) const;
    void setPart(const QString& name, QByteArray data);  // replaces or appends
    void removePart(const QString& name);
    const std::vector<Part>& parts() const { return m_parts; }

    // The whole package as the bytes of a zip file.
    Result<QByteArray> zipped() const;

private:
    std::vector<Part> m_parts;
};

// Writes `bytes` to a temporary file beside `path`, then renames it into place, so a failure
// leaves the old file as it was.
Status saveAtomically(const QString& path, const QByteArray& bytes);

}  // namespace office::xlsx
