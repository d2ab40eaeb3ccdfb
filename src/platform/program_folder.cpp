// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platform {
namespace {

// Permission bits do not tell whether a folder takes new files (root, read-only mounts, ACLs):
// only creating one does.
bool acceptsNewFiles(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillon-probe-XXXXXX")));
    return probe.open();
}

QString besideExecutable(const QString& executableFolder) {
    return QDir(executableFolder).filePath(QStringLiteral("faq.fil"));
}

QString inSharedFolder(const QString& executableFolder) {
    return QDir::cleanPath(
        QDir(executableFolder).filePath(QStringLiteral("../share/quillon/faq.fil")));
}

bool isInstalledCopy(const QString& executableFolder) {
    return !QFileInfo::exists(besideExecutable(executableFolder)) &&
           QFileInfo::exists(inSharedFolder(executableFolder));
}

// F1 and the about window open faq.fil in the program folder. A package upgrade brings a newer
// shipped file, which replaces the copy; a copy as new as the shipped one stays as it is. The copy
// is made under another name and renamed, so a reader never sees half a file.
void refreshFaqCopy(const QString& shipped, const QString& folder) {
    if (shipped.isEmpty()) return;
    const QString copy = QDir(folder).filePath(QStringLiteral("faq.fil"));
    const QFileInfo copyInfo(copy);
    if (copyInfo.exists() && copyInfo.lastModified() >= QFileInfo(shipped).lastModified()) return;
    const QString partial = copy + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(shipped, partial)) return;
    QFile::remove(copy);
    if (!QFile::rename(partial, copy)) QFile::remove(partial);
}

}  // namespace

QString programFolderFor(const QString& executableFolder, const QString& userDataFolder) {
    if (!executableFolder.isEmpty() && !isInstalledCopy(executableFolder) &&
        acceptsNewFiles(executableFolder))
        return executableFolder;
    QDir().mkpath(userDataFolder);
    refreshFaqCopy(shippedFaqFile(executableFolder), userDataFolder);
    return userDataFolder;
}

QString shippedFaqFile(const QString& executableFolder) {
    if (executableFolder.isEmpty()) return {};
    for (const QString& candidate :
         {besideExecutable(executableFolder), inSharedFolder(executableFolder)}) {
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return {};
}

void nameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillon"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
}

QString programFolder() {
    return programFolderFor(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

}  // namespace platform
