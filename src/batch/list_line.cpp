// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/list_line.h"

namespace batch {

LineKind kindOf(const QString& line) {
    if (line.isEmpty()) return LineKind::Blank;
    if (line.startsWith(QLatin1Char('\''))) return LineKind::Comment;
    if (line == QLatin1String("END")) return LineKind::End;
    if (line.startsWith(QLatin1String("EXTRACT"))) return LineKind::Send;
    if (line.contains(QLatin1Char(','))) return LineKind::Drawing;
    return LineKind::Other;
}

HeaderOptions headerOptions(const QString& line) {
    static const QString kKeywords =
        QStringLiteral("NODWGNAME DWGNAME FULLDWGNAME DWGNAMETS FULLDWGNAMETS");
    if (line.isEmpty() || !kKeywords.contains(line)) return {};
    if (line == QLatin1String("NODWGNAME")) return {0, std::nullopt, std::nullopt};
    if (line == QLatin1String("DWGNAME")) return {1, 0, 0};
    if (line == QLatin1String("FULLDWGNAME")) return {1, 1, 0};
    if (line == QLatin1String("DWGNAMETS")) return {1, 0, 1};
    if (line == QLatin1String("FULLDWGNAMETS")) return {1, 1, 1};
    return {};
}

bool SendLine::fieldIs(int number, const char* keyword) const {
    return field(number).compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

std::optional<SendLine> parseSendLine(const QString& line) {
    struct Target {
        const char* text;
        SendLine::Destination destination;
        int fieldsAt;  // 1-based position of the first field; 0: no fields
    };
    static const Target kTargets[] = {{" TO FILE", SendLine::Destination::File, 17},
                                      {" TO CLIPBOARD", SendLine::Destination::Clipboard, 0},
                                      {" TO WORD", SendLine::Destination::Word, 17},
                                      {" TO EXCEL", SendLine::Destination::Excel, 18},
                                      {" TO ACCESS", SendLine::Destination::Access, 19}};
    const QString upper = line.toUpper();
    for (const Target& target : kTargets) {
        if (!upper.contains(QLatin1String(target.text))) continue;
        SendLine send;
        send.destination = target.destination;
        send.tags = upper.endsWith(QLatin1String("TAGS"));
        if (target.fieldsAt > 0) {
            // The position assumes "EXTRACT", a blank, the destination and a blank.
            send.fields = line.mid(target.fieldsAt - 1).split(QLatin1Char(','));
        }
        return send;
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
