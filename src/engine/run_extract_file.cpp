// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/run_extract_file.h"

#include <QFile>
#include <QTemporaryFile>

#include "platform/file_system.h"
#include "platform/paths.h"

RunExtractFile::RunExtractFile(const QString& programFolder)
    : m_sharedPath(platform::joinPath(programFolder, QStringLiteral("extract.txt"))),
      m_reservation(std::make_unique<QTemporaryFile>(
          platform::joinPath(programFolder, QStringLiteral(".extract-XXXXXX")))) {
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
