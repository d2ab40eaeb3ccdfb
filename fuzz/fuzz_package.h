// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An .xlsx or .docx input that does not start like a zip file is a list of parts, "name NUL
// bytes NUL" again and again, zipped here: mutations then reach the XML inside instead of
// failing the zip's checksums.

#include "fuzz_input.h"
#include "office/ooxml_package.h"

namespace fuzz {

// The input as the bytes of a package file (see above); empty when the parts do not zip.
inline QByteArray packageBytes(const std::uint8_t* data, std::size_t size,
                               const office::ooxml::FileKind& kind) {
    const QByteArray input = bytesOf(data, size);
    if (input.startsWith("PK")) return input;
    office::ooxml::Package package(kind);
    const QList<QByteArray> fields = input.split('\0');
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].isEmpty()) continue;
        package.setPart(QString::fromUtf8(fields[i]), fields[i + 1]);
    }
    auto zipped = package.zipped();
    return zipped ? zipped.value() : QByteArray();
}

}  // namespace fuzz
