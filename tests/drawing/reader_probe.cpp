// SPDX-License-Identifier: GPL-3.0-or-later
#include "reader_probe.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cctype>

#include "drawing/reader_objects.h"

namespace drawing::test {

QString fixturePath(const QString& name) {
    return QStringLiteral(QUILLON_FIXTURES_DIR "/dxf/") + name;
}

std::string parameterName(std::string fileName) {
    for (char& c : fileName)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return fileName;
}

std::string readBytes(const QString& path) {
    QFile file(path);
    QProcess gzip;
    if (!QFile::exists(path)) gzip.start(u"gzip"_qs, {u"-dc"_qs, path + u".gz"_qs});
    const bool read = QFile::exists(path) ? file.open(QIODevice::ReadOnly)
                                          : gzip.waitForFinished(60000) && gzip.exitCode() == 0;
    if (!read) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    const QByteArray bytes = file.isOpen() ? file.readAll() : gzip.readAllStandardOutput();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string autocadBytes(const QString& name) {
    return readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/") + name);
}

References select(const std::shared_ptr<const Drawing>& drawing,
                  std::optional<drawingapi::Space> space, const QString& layer) {
    if (space) return blockReferencesOf(drawing, *space, layer);
    References out = blockReferencesOf(drawing, drawingapi::Space::Model, layer);
    const References paper = blockReferencesOf(drawing, drawingapi::Space::Paper, layer);
    out.insert(out.end(), paper.begin(), paper.end());
    return out;
}

QStringList summary(const References& references) {
    QStringList lines;
    for (const auto& ref : references) {
        QString line =
            ref->name().value() + u' ' + ref->layer().value() + u' ' + ref->handle().value();
        if (ref->hasAttributes().value()) {
            QStringList attributes;
            const drawingapi::Attributes list = ref->attributes().value();
            for (const auto& a : list) attributes << a->tag().value() + u'=' + a->value().value();
            line += QStringLiteral(" [") + attributes.join(QStringLiteral(", ")) + u']';
        }
        lines << line;
    }
    return lines;
}

QString properties(const drawingapi::BlockReference& r) {
    const drawingapi::Point3 p = r.insertionPoint().value();
    return QStringLiteral(
               "name=%1 layer=%2 handle=%3 id=%4 owner=%5 object=%6 color=%7 linetype=%8 "
               "rotation=%9 visible=%10 scale=%11,%12,%13 ltscale=%14 lineweight=%15 "
               "xdict=%16 at=%17,%18,%19")
        .arg(r.name().value(), r.layer().value(), r.handle().value())
        .arg(r.objectId().value())
        .arg(r.ownerId().value())
        .arg(r.objectName().value())
        .arg(r.color().value())
        .arg(r.linetype().value())
        .arg(r.rotation().value(), 0, 'g', 6)
        .arg(r.visible().value())
        .arg(r.xScale().value())
        .arg(r.yScale().value())
        .arg(r.zScale().value())
        .arg(r.linetypeScale().value())
        .arg(r.lineweight().value())
        .arg(r.hasExtensionDictionary().value())
        .arg(p.x)
        .arg(p.y)
        .arg(p.z);
}

namespace {

std::shared_ptr<const Drawing> valueOrFail(const DrawingResult& result, const QString& what) {
    if (result.ok()) return result.value();
    ADD_FAILURE() << what.toStdString() << ": " << result.error().description.toStdString();
    return std::make_shared<Drawing>();
}

}  // namespace

std::shared_ptr<const Drawing> readOrFail(const QString& path, const ReadOptions& options) {
    return valueOrFail(readDrawingFile(path, options), path);
}

std::shared_ptr<const Drawing> parseOrFail(std::string_view bytes, const ReadOptions& options) {
    return valueOrFail(readDrawingBytes(bytes, options), u"the drawing"_qs);
}

const QStringList kExampleReferences = {
    u"bloko Tavolo 3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1C8"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D0"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D1"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D2"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D3"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D4"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D5"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D6"_qs,
    u"bloko Tavolo 3 756 [ETIKEDO=valoro]"_qs,
};

}  // namespace drawing::test
