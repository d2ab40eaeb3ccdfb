// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_system.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace platform {

namespace {

QString identityOf(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return QString::number(static_cast<quint64>(info.st_dev)) + QLatin1Char(':') +
           QString::number(static_cast<quint64>(info.st_ino));
#else
    return QFileInfo(path).canonicalFilePath();
#endif
}

}  // namespace

QString folderIdentity(const QString& path) {
    return identityOf(path);
}

bool sameFile(const QString& a, const QString& b) {
    const QString identity = identityOf(a);
    return !identity.isEmpty() && identity == identityOf(b);
}

bool replaceFile(const QString& from, const QString& to, QString* error) {
#ifdef Q_OS_UNIX
    // rename(2) replaces the target atomically; QFile::rename refuses an existing target.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#else
    QFile::remove(to);
    QFile source(from);
    if (source.rename(to)) return true;
    if (error) *error = source.errorString();
    return false;
#endif
}

}  // namespace platform
