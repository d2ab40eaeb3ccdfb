// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/name_order.h"

namespace platform {

namespace {

constexpr QChar kSeparator = u'/';

bool endsWithSeparator(const QString& folder) {
#ifdef Q_OS_WIN
    return folder.endsWith(u'\\') || folder.endsWith(u'/');
#else
    return folder.endsWith(kSeparator);
#endif
}

bool existsOrIsLink(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The entry of `folder` that `name` means: the exact name when present, else the first
// case-insensitive match in name order; empty when nothing matches.
QString matchEntry(const QString& folder, const QString& name) {
    QString best;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString candidate = it.fileName();
        if (candidate.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (candidate == name) return candidate;
        if (best.isEmpty() || compareNames(candidate, best) < 0) best = candidate;
    }
    return best;
}

bool isDriveLetter([[maybe_unused]] const QString& part) {
#ifdef Q_OS_WIN
    return part.size() == 2 && part[1] == u':';
#else
    return false;
#endif
}

}  // namespace

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (endsWithSeparator(folder)) return folder + name;
    return folder + kSeparator + name;
}

QString driveOf(const QString& path) {
    if (path.isEmpty()) return {};
    QString existing = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing) return {};
        existing = parent;
    }
    const QStorageInfo storage(existing);
    return storage.isValid() ? storage.rootPath() : QString();
}

QString resolvePath(const QString& path) {
    if (path.isEmpty() || existsOrIsLink(path)) return path;

    const QStringList parts = QDir::fromNativeSeparators(path).split(kSeparator);
    QString resolved;
    bool parentExists = true;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const bool absoluteRoot = i == 0 && (part.isEmpty() || isDriveLetter(part));
        QString chosen = part;
        if (!absoluteRoot && parentExists && !part.isEmpty() && part != u"." && part != u"..") {
            // The root itself is "/" (or "C:/"): "" and "C:" would name the current folder.
            const QString folder = i == 0 ? QStringLiteral(".")
                                   : resolved.isEmpty() || isDriveLetter(resolved)
                                       ? resolved + kSeparator
                                       : resolved;
            const QString match = matchEntry(folder, part);
            if (match.isEmpty()) {
                parentExists = false;
            } else {
                chosen = match;
            }
        }
        resolved = i == 0 ? chosen : resolved + kSeparator + chosen;
    }
    return resolved;
}

}  // namespace platform
