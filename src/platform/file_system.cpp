// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_system.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

#ifdef Q_OS_UNIX
namespace {

// What a file that is not a regular file is, in the user's words.
QString notARegularFile(mode_t mode) {
    if (S_ISDIR(mode)) return QString::fromLocal8Bit(std::strerror(EISDIR));
    const char* kind = S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISFIFO(mode)               ? "a named pipe"
                       : S_ISSOCK(mode)               ? "a socket"
                                                      : "something else";
    return QStringLiteral("not a regular file but ") + QLatin1String(kind);
}

}  // namespace
#endif

bool openRegularFile(QFile& file, const QString& path, QString& error) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    // Looked at before it is opened: opening a device can already act on it.
    if (::stat(name.constData(), &info) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = notARegularFile(info.st_mode);
        return false;
    }
    // Without waiting, and looked at again once open: the name may have been given to a pipe
    // in between.
    const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::fstat(handle, &info) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(handle);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = notARegularFile(info.st_mode);
        ::close(handle);
        return false;
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = file.errorString();
        ::close(handle);
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = info.isDir() ? QStringLiteral("a folder") : QStringLiteral("not a regular file");
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    return true;
#endif
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
