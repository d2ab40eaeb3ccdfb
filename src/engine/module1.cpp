#include "engine/module1.h"

#include <QFileInfo>

#include "engine/blanks.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace Module1 {
namespace {
const QString kSeparator = QStringLiteral("','");
}

qint64 CountFields(const QString& line) {
    // Counted from the second character to the last but one, without overlaps.
    if (line.size() < 2) return 0;
    const QStringView inner = QStringView(line).mid(1, line.size() - 2);
    qint64 count = 0;
    for (qsizetype at = inner.indexOf(kSeparator); at >= 0;
         at = inner.indexOf(kSeparator, at + kSeparator.size())) {
        ++count;
    }
    return count == 0 ? 0 : count + 2;
}

QString CdfToSdf(const QString& line, quint8 width) {
    if (line.isEmpty()) return QString();
    if (!line.contains(kSeparator)) return line;
    QString inner = line.mid(1, line.size() - 2);
    inner.replace(kSeparator, QString(width, QLatin1Char(' ')));
    return blanks::cut(inner);
}

qint16 CountSpaces(const QString& text) {
    return static_cast<qint16>(text.count(QLatin1Char(' ')));
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(platform::resolvePath(path));
    const QString name = info.fileName();
    if (name.isEmpty()) return info.isDir();  // a folder given with a trailing separator
    if (name.startsWith(QLatin1Char('.'))) return false;  // hidden
    // Only a wildcard makes a pattern: any other character, ";" too, is part of the name.
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        return info.isFile() || info.isDir();
    }
    platform::ListOptions options;
    options.files = true;
    options.folders = true;
    for (const QString& entry : platform::listFolder(info.path(), QStringLiteral("*"), options)) {
        if (platform::wildcardMatch(entry, name)) return true;
    }
    return false;
}

}  // namespace Module1
