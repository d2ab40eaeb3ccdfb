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
#include <QVariant>
#include <cstdio>

#include "drawing/reader_application.h"
#include "engine/automation/automation.h"

namespace {

QJsonValue text(const core::Result<QString>& result) {
    return result ? QJsonValue(result.value()) : QJsonValue();
}

QJsonObject describe(const acad::BlockReference& ref, const char* space) {
    QJsonObject record;
    record["space"] = QString::fromLatin1(space);
    record["name"] = text(ref.Name());
    record["layer"] = text(ref.Layer());
    record["handle"] = text(ref.Handle());
    const auto point = ref.InsertionPoint();
    record["x"] = point ? QJsonValue(point.value().x) : QJsonValue();
    record["y"] = point ? QJsonValue(point.value().y) : QJsonValue();
    record["z"] = point ? QJsonValue(point.value().z) : QJsonValue();
    const auto attributes = ref.GetAttributes();
    if (!attributes) {
        record["attributes"] = QJsonValue();
        return record;
    }
    QJsonArray list;
    for (const auto& attribute : attributes.value()) {
        QJsonObject pair;
        pair["tag"] = text(attribute->TagString());
        pair["value"] = text(attribute->TextString());
        list.append(pair);
    }
    record["attributes"] = list;
    return record;
}

bool dumpSpace(acad::Document& document, const char* name, int space) {
    auto set = document.AddSelectionSet(QString::fromLatin1(name));
    if (!set) {
        std::fprintf(stderr, "SelectionSets.Add %s: %s\n", name,
                     qPrintable(set.error().description));
        return false;
    }
    const auto selected =
        set.value()->Select(acad::kSelectAll, {0, 67}, {QVariant(QStringLiteral("INSERT")), space});
    if (!selected) {
        std::fprintf(stderr, "Select %s: %s\n", name, qPrintable(selected.error().description));
        return false;
    }
    const int count = set.value()->Count();
    for (int i = 0; i < count; ++i) {
        const auto item = set.value()->Item(i);
        if (!item) {
            std::fprintf(stderr, "%s Item(%d): %s\n", name, i,
                         qPrintable(item.error().description));
            return false;
        }
        const QByteArray line =
            QJsonDocument(describe(*item.value(), name)).toJson(QJsonDocument::Compact) + '\n';
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
    auto application = drawing::createReaderApplication();
    if (!application) {
        std::fprintf(stderr, "the drawing reader could not be started\n");
        return 1;
    }
    auto document = application->GetDocuments().Open(path, true, std::nullopt);
    if (!document) {
        std::fprintf(stderr, "%s: error %ld: %s\n", argv[1], document.error().number,
                     qPrintable(document.error().description));
        return 1;
    }
    const bool ok =
        dumpSpace(*document.value(), "MODEL", 0) && dumpSpace(*document.value(), "PAPER", 1);
    document.value()->Close(false);
    return ok ? 0 : 1;
}
