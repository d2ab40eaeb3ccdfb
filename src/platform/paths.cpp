// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <climits>

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

// The limits of the system's calls on a path and on one name in it, in the units it counts:
// bytes of the file-name encoding here, UTF-16 units on Windows.
#ifdef Q_OS_WIN
constexpr qsizetype kMaxPath = 32767;
constexpr qsizetype kMaxName = 255;
qsizetype systemLength(QStringView text) {
    return text.size();
}
#else
constexpr qsizetype kMaxPath = PATH_MAX - 1;  // PATH_MAX counts the closing NUL
constexpr qsizetype kMaxName = NAME_MAX;
qsizetype systemLength(QStringView text) {
    return QFile::encodeName(text.toString()).size();
}
#endif

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == kSeparator;
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

QString pathTooLong(const QString& path) {
    // Cheap first: a character takes at most three bytes (a surrogate pair four for its two),
    // so a path this short has no name too long for the system and is never encoded here.
    if (path.size() * 3 <= kMaxName) return {};
    const qsizetype length = systemLength(path);
    if (length > kMaxPath) {
        return QStringLiteral("the path is longer than the system allows: %1 bytes, at most %2")
            .arg(length)
            .arg(kMaxPath);
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) continue;
        const QStringView name = QStringView(path).sliced(start, i - start);
        if (name.size() > kMaxName ||
            (name.size() * 3 > kMaxName && systemLength(name) > kMaxName)) {
            return QStringLiteral(
                       "the name %1... is longer than the system allows: %2 bytes, at "
                       "most %3")
                .arg(name.left(20).toString())
                .arg(systemLength(name))
                .arg(kMaxName);
        }
        start = i + 1;
    }
    return {};
}

QString resolvePath(const QString& path, QString* refusal) {
    if (refusal) refusal->clear();
    if (path.isEmpty()) return path;
    if (const QString tooLong = pathTooLong(path); !tooLong.isEmpty()) {
        if (refusal) *refusal = tooLong;
        return path;
    }
    if (existsOrIsLink(path)) return path;

    const QStringList parts = QDir::fromNativeSeparators(path).split(kSeparator);
    // Built by appending, never copied whole per component.
    QString resolved;
    resolved.reserve(path.size());
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
        if (i > 0) resolved += kSeparator;
        resolved += chosen;
    }
    return resolved;
}

}  // namespace platform
