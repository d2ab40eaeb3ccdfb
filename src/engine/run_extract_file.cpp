// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/run_extract_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include "platform/file_system.h"
#include "platform/paths.h"

namespace {

const QString kRunFilePrefix = QStringLiteral(".extract-");

// A run that was killed or crashed leaves its reservation and its working file behind. A run
// still going writes its working file at every drawing, so a pair that nobody touched for a day
// belongs to no run any more; a reservation is kept while its working file is fresh, so its
// name cannot be taken by another run.
void removeAbandonedRunFiles(const QString& programFolder) {
    const QDir folder(programFolder);
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    // Only names this class makes: the prefix, six letters or digits, and ".txt" for the
    // working file. A user's ".extract-my notes.txt" is none of them.
    static const QRegularExpression runFileName(
        QStringLiteral("^\\.extract-[A-Za-z0-9]{6}(\\.txt)?$"));
    const QStringList names = folder.entryList({kRunFilePrefix + QStringLiteral("*")},
                                               QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    auto abandoned = [&](const QString& name) {
        const QFileInfo file(folder.filePath(name));
        return !file.exists() || file.lastModified() < dayAgo;
    };
    for (const QString& name : names) {
        if (!runFileName.match(name).hasMatch()) continue;
        const bool working = name.endsWith(QLatin1String(".txt"));
        const QString reservation = working ? name.chopped(4) : name;
        if (abandoned(reservation) && abandoned(reservation + QStringLiteral(".txt"))) {
            QFile::remove(folder.filePath(name));
        }
    }
}

}  // namespace

RunExtractFile::RunExtractFile(const QString& programFolder)
    : m_sharedPath(platform::joinPath(programFolder, QStringLiteral("extract.txt"))),
      m_reservation(std::make_unique<QTemporaryFile>(
          platform::joinPath(programFolder, kRunFilePrefix + QStringLiteral("XXXXXX")))) {
    removeAbandonedRunFiles(programFolder);
    // The reservation keeps its unique name taken for as long as the run lasts, so the working
    // file named after it is this run's alone. Both are hidden and sit beside extract.txt, on
    // the same file system, so publishing is one rename. A folder that takes no new file cannot
    // take extract.txt either: the extraction then says it cannot create its file.
    m_path =
        m_reservation->open() ? m_reservation->fileName() + QStringLiteral(".txt") : m_sharedPath;
}

RunExtractFile::~RunExtractFile() {
    if (m_path != m_sharedPath) QFile::remove(m_path);
}

bool RunExtractFile::publish() {
    if (m_path == m_sharedPath || !QFile::exists(m_path)) return true;
    return platform::replaceFile(m_path, m_sharedPath);
}
