// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/default_application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/line_reader.h"

namespace platform {

namespace {

// The desktop entries listed for `key` in `group` of an INI-style file, in their order.
QStringList listedEntries(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString header = u'[' + group + u']';
    bool inGroup = false;
    for (const QString& rawLine : splitLines(decodeText(file.readAll()))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed() != key) continue;
        QStringList ids;
        for (const QString& id : line.mid(equals + 1).split(u';', Qt::SkipEmptyParts)) {
            if (!id.trimmed().isEmpty()) ids.append(id.trimmed());
        }
        return ids;
    }
    return {};
}

// A desktop entry's file: its id is its path below an application folder with "/" written
// as "-", so "kde4-kate.desktop" may live in kde4/.
QString installedEntry(const QString& id, const QStringList& applicationFolders) {
    for (const QString& folder : applicationFolders) {
        const QDir dir(folder);
        if (QFileInfo::exists(dir.filePath(id))) return dir.filePath(id);
        QString nested = id;
        for (qsizetype dash = nested.indexOf(u'-'); dash >= 0; dash = nested.indexOf(u'-')) {
            nested[dash] = u'/';
            if (QFileInfo::exists(dir.filePath(nested))) return dir.filePath(nested);
        }
    }
    return {};
}

QStringList listFiles(const AssociationFolders& folders) {
    QStringList files;
    auto addFolder = [&](const QString& folder) {
        const QDir dir(folder);
        for (const QString& desktop : folders.desktopNames)
            files.append(dir.filePath(desktop + QStringLiteral("-mimeapps.list")));
        files.append(dir.filePath(QStringLiteral("mimeapps.list")));
    };
    for (const QString& folder : folders.configFolders) addFolder(folder);
    for (const QString& folder : folders.applicationFolders) addFolder(folder);
    return files;
}

}  // namespace

AssociationFolders AssociationFolders::fromEnvironment() {
    AssociationFolders folders;
    folders.configFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders.applicationFolders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& name :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts))
        folders.desktopNames.append(name);
    return folders;
}

QString defaultApplicationEntry(const QString& mimeType, const AssociationFolders& folders) {
    const QStringList lists = listFiles(folders);
    for (const QString& group :
         {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}) {
        for (const QString& list : lists) {
            for (const QString& id : listedEntries(list, group, mimeType)) {
                const QString entry = installedEntry(id, folders.applicationFolders);
                if (!entry.isEmpty()) return entry;
            }
        }
    }
    for (const QString& folder : folders.applicationFolders) {
        const QString cache = QDir(folder).filePath(QStringLiteral("mimeinfo.cache"));
        for (const QString& id : listedEntries(cache, QStringLiteral("MIME Cache"), mimeType)) {
            const QString entry = installedEntry(id, folders.applicationFolders);
            if (!entry.isEmpty()) return entry;
        }
    }
    return {};
}

}  // namespace platform
