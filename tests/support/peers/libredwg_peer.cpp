// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/peers/libredwg_peer.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

namespace {

QString script() {
    return QStringLiteral(QUILLON_LIBREDWG_DIR "/dwg_attributes.mjs");
}

QString node() {
    return QStandardPaths::findExecutable(QStringLiteral("node"));
}

}  // namespace

std::map<QString, QString> PeerReading::textsByHandle() const {
    std::map<QString, QString> texts;
    for (const PeerInsert& insert : inserts)
        for (const PeerAttribute& attribute : insert.attributes)
            texts[attribute.handle] = attribute.text;
    return texts;
}

QString libreDwgMissing() {
    if (node().isEmpty()) return QStringLiteral("no node on PATH to run LibreDWG (tools/setup.sh)");
    if (!QFileInfo::exists(
            QStringLiteral(QUILLON_LIBREDWG_DIR "/node_modules/@mlightcad/libredwg-web")))
        return QStringLiteral("LibreDWG is not installed in " QUILLON_LIBREDWG_DIR
                              " (tools/setup.sh)");
    return {};
}

std::optional<PeerReading> readWithLibreDwg(const QString& path) {
    QProcess process;
    process.start(node(), {script(), path});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput());
    if (!document.isObject()) return std::nullopt;
    const QJsonObject root = document.object();
    PeerReading reading;
    reading.error = root.value(u"error").toInt();
    for (const QJsonValue insertValue : root.value(u"inserts").toArray()) {
        const QJsonObject insert = insertValue.toObject();
        PeerInsert read{
            insert.value(u"handle").toString().toUpper(), insert.value(u"name").toString(), {}};
        for (const QJsonValue attributeValue : insert.value(u"attribs").toArray()) {
            const QJsonObject attribute = attributeValue.toObject();
            read.attributes.push_back({attribute.value(u"handle").toString().toUpper(),
                                       attribute.value(u"tag").toString(),
                                       attribute.value(u"text").toString()});
        }
        reading.inserts.push_back(std::move(read));
    }
    return reading;
}

}  // namespace testsupport
