// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_listing.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "platform/name_order.h"

namespace platform {

namespace {

// Classic greedy matcher with one backtrack point: linear for patterns with a single `*`,
// never exponential. Both strings arrive case-folded.
bool matchFolded(QStringView name, QStringView pattern) {
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

bool matchesAny(const QString& foldedName, const QStringList& foldedPatterns) {
    for (const QString& pattern : foldedPatterns) {
        if (matchFolded(foldedName, pattern)) return true;
        // As on Windows, a trailing ".*" also matches a name without an extension.
        if (pattern.endsWith(u".*") && matchFolded(foldedName, QStringView(pattern).chopped(2)))
            return true;
    }
    return false;
}

QStringList foldedPatterns(const QString& pattern) {
    QStringList patterns;
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty()) patterns.append(trimmed.toCaseFolded());
    }
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    return patterns;
}

enum class Kind { File, Folder, System };

// QFileInfo follows symbolic links, so a link counts as what it points to; a dangling link
// is neither file nor folder.
Kind kindOf(const QFileInfo& info) {
    if (info.isDir()) return Kind::Folder;
    if (info.isFile()) return Kind::File;
    return Kind::System;
}

bool wanted(Kind kind, const ListOptions& options) {
    switch (kind) {
        case Kind::File:
            return options.files;
        case Kind::Folder:
            return options.folders;
        case Kind::System:
            return options.system;
    }
    return false;
}

}  // namespace

bool wildcardMatch(const QString& name, const QString& pattern) {
    const QString folded = pattern.toCaseFolded();
    return matchesAny(name.toCaseFolded(), QStringList{folded});
}

bool patternLists(const QString& name, const QString& pattern) {
    return matchesAny(name.toCaseFolded(), foldedPatterns(pattern));
}

QStringList listFolder(const QString& folder, const QString& pattern, const ListOptions& options) {
    const QStringList patterns = foldedPatterns(pattern);
    struct Entry {
        QString key;
        QString name;
    };
    std::vector<Entry> entries;

    // The iterator reports each entry's type from the directory read itself where the file
    // system allows, so only links and unknown types cost an extra look-up.
    QDirIterator it(folder.isEmpty() ? QStringLiteral(".") : folder,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!options.hidden && name.startsWith(u'.')) continue;
        if (!matchesAny(name.toCaseFolded(), patterns)) continue;
        if (!wanted(kindOf(it.fileInfo()), options)) continue;
        entries.push_back({nameSortKey(name), name});
    }

    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.key != b.key) return a.key < b.key;
        return a.name < b.name;
    });
    QStringList names;
    names.reserve(static_cast<qsizetype>(entries.size()));
    for (Entry& entry : entries) names.append(std::move(entry.name));
    return names;
}

}  // namespace platform
