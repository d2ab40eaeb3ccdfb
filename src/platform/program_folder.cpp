#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
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

}  // namespace

QString programFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && acceptsNewFiles(own)) return own;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

}  // namespace platform
