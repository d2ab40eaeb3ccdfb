// SPDX-License-Identifier: GPL-3.0-or-later
// Prints every block reference the drawing reader reports for a DXF file, one JSON object a
// line: the MODEL selection set's items, then the PAPER set's, each with its space, name,
// layer, handle, insertion point and attributes (tag and value, in order). A property the
// reader fails to give is printed as null. compare_with_ezdxf.py checks the output.
//
// Usage: dxf_dump FILE.dxf

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cstdio>

#include "drawing/drawing_file_reader.h"
#include "engine/drawing_api/drawing_api.h"

namespace {

QJsonValue text(const core::Result<QString>& result) {
    return result ? QJsonValue(result.value()) : QJsonValue();
}

QJsonObject describe(const drawingapi::BlockReference& ref, const char* space) {
    QJsonObject record;
    record["space"] = QString::fromLatin1(space);
    record["name"] = text(ref.name());
    record["layer"] = text(ref.layer());
    record["handle"] = text(ref.handle());
    const auto point = ref.insertionPoint();
    record["x"] = point ? QJsonValue(point.value().x) : QJsonValue();
    record["y"] = point ? QJsonValue(point.value().y) : QJsonValue();
    record["z"] = point ? QJsonValue(point.value().z) : QJsonValue();
    const auto attributes = ref.attributes();
    if (!attributes) {
        record["attributes"] = QJsonValue();
        return record;
    }
    QJsonArray list;
    for (const auto& attribute : attributes.value()) {
        QJsonObject pair;
        pair["tag"] = text(attribute->tag());
        pair["value"] = text(attribute->value());
        list.append(pair);
    }
    record["attributes"] = list;
    return record;
}

bool dumpSpace(const drawingapi::Drawing& drawing, const char* name, drawingapi::Space space) {
    const auto references = drawing.blockReferences(space);
    if (!references) {
        std::fprintf(stderr, "block references of %s: %s\n", name,
                     qPrintable(references.error().description));
        return false;
    }
    for (const auto& reference : references.value()) {
        const QByteArray line =
            QJsonDocument(describe(*reference, name)).toJson(QJsonDocument::Compact) + '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dxf_dump FILE.dxf\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const auto opened = drawing::createDrawingFileReader()->open(path, {});
    if (!opened) {
        std::fprintf(stderr, "%s: error %ld: %s\n", argv[1], opened.error().number,
                     qPrintable(opened.error().description));
        return 1;
    }
    const drawingapi::Drawing& read = *opened.value();
    const bool ok = dumpSpace(read, "MODEL", drawingapi::Space::Model) &&
                    dumpSpace(read, "PAPER", drawingapi::Space::Paper);
    return ok ? 0 : 1;
}
