// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/list_line.h"

namespace batch {

LineKind kindOf(const QString& line) {
    if (line.isEmpty()) return LineKind::Blank;
    if (line.startsWith(QLatin1Char('\''))) return LineKind::Comment;
    if (line == QLatin1String("END")) return LineKind::End;
    if (line.startsWith(QLatin1String("EXTRACT"))) return LineKind::Send;
    if (line.startsWith(QLatin1String("UPDATE DRAWINGS"))) return LineKind::Update;
    if (line.contains(QLatin1Char(','))) return LineKind::Drawing;
    return LineKind::Other;
}

HeaderOptions headerOptions(const QString& line) {
    static const QString kKeywords =
        QStringLiteral("NODWGNAME DWGNAME FULLDWGNAME DWGNAMETS FULLDWGNAMETS");
    if (line.isEmpty() || !kKeywords.contains(line)) return {};
    if (line == QLatin1String("NODWGNAME")) return {false, std::nullopt, std::nullopt};
    if (line == QLatin1String("DWGNAME")) return {true, false, false};
    if (line == QLatin1String("FULLDWGNAME")) return {true, true, false};
    if (line == QLatin1String("DWGNAMETS")) return {true, false, true};
    if (line == QLatin1String("FULLDWGNAMETS")) return {true, true, true};
    return {};
}

bool SendLine::fieldIs(qsizetype index, const char* keyword) const {
    return field(index).compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

std::optional<SendLine> parseSendLine(const QString& line) {
    struct Target {
        const char* text;
        SendLine::Destination destination;
        // Where the fields start: after "EXTRACT", a blank, the destination's words and a
        // blank; -1: the destination takes no fields.
        qsizetype fieldsFrom;
    };
    static const Target kTargets[] = {{" TO FILE", SendLine::Destination::File, 16},
                                      {" TO CLIPBOARD", SendLine::Destination::Clipboard, -1},
                                      {" TO WORD", SendLine::Destination::Word, 16},
                                      {" TO EXCEL", SendLine::Destination::Excel, 17},
                                      {" TO ACCESS", SendLine::Destination::Access, 18}};
    const QString upper = line.toUpper();
    for (const Target& target : kTargets) {
        if (!upper.contains(QLatin1String(target.text))) continue;
        SendLine send;
        send.destination = target.destination;
        send.tags = upper.endsWith(QLatin1String("TAGS"));
        if (target.fieldsFrom >= 0)
            send.fields = line.mid(target.fieldsFrom).split(QLatin1Char(','));
        return send;
    }
    return std::nullopt;
}

std::optional<UpdateLine> parseUpdateLine(const QString& line) {
    static const struct {
        const char* text;
        UpdateLine::Source source;
    } kSources[] = {{"UPDATE DRAWINGS FROM FILE ", UpdateLine::Source::File},
                    {"UPDATE DRAWINGS FROM EXCEL ", UpdateLine::Source::Excel},
                    {"UPDATE DRAWINGS FROM ACCESS ", UpdateLine::Source::Access}};
    const QString written = line.trimmed();
    for (const auto& kind : kSources) {
        const QLatin1String prefix(kind.text);
        if (!written.startsWith(prefix, Qt::CaseInsensitive)) continue;
        QStringList fields = written.mid(prefix.size()).split(QLatin1Char(','));
        for (QString& field : fields) field = field.trimmed();
        UpdateLine update;
        update.source = kind.source;
        if (fields.size() > 1 &&
            fields.last().compare(QLatin1String("PLAN"), Qt::CaseInsensitive) == 0) {
            update.planOnly = true;
            fields.removeLast();
        }
        update.path = fields.value(0);
        if (kind.source != UpdateLine::Source::File) update.part = fields.value(1);
        if (update.path.isEmpty()) return std::nullopt;
        return update;
    }
    return std::nullopt;
}

long long numericValue(const QString& field) {
    qsizetype end = 0;
    const QString text = field.trimmed();
    if (end < text.size() && (text[end] == QLatin1Char('-') || text[end] == QLatin1Char('+'))) {
        ++end;
    }
    while (end < text.size() && text[end].isDigit()) ++end;
    bool ok = false;
    const long long value = text.left(end).toLongLong(&ok);
    return ok ? value : 0;
}

DrawingLine splitDrawingLine(const QString& line) {
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    return {line.left(comma), line.mid(comma + 1)};
}

QString fileNameOf(const QString& path) {
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(slash + 1);
}

}  // namespace batch
