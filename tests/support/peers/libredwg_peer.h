// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// LibreDWG (compiled to WebAssembly, run under node) as an independent reader of the DWG files
// Quillon writes. tools/setup.sh installs it into the build tree; where node or the package is
// missing, libreDwgMissing() says why and the test skips.

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace testsupport {

struct PeerAttribute {
    QString handle;  // upper-case hexadecimal, as the reader keeps handles
    QString tag;
    QString text;
};

struct PeerInsert {
    QString handle;
    QString name;
    std::vector<PeerAttribute> attributes;
};

struct PeerReading {
    int error = 0;  // LibreDWG's own code: 128 and above, it could not read the drawing
    std::vector<PeerInsert> inserts;

    // Every attribute's text by its handle.
    std::map<QString, QString> textsByHandle() const;
};

// Why LibreDWG cannot be run here, or an empty string.
QString libreDwgMissing();

// What LibreDWG reads of the file at `path`; nothing when it cannot be run (a crash, a
// timeout, output that is not its JSON). One drawing per process.
std::optional<PeerReading> readWithLibreDwg(const QString& path);

}  // namespace testsupport

// Skips the current test when LibreDWG cannot be run.
#define SKIP_WITHOUT_LIBREDWG()                                                         \
    do {                                                                                \
        if (const QString missing = testsupport::libreDwgMissing(); !missing.isEmpty()) \
            GTEST_SKIP() << missing.toStdString();                                      \
    } while (false)
