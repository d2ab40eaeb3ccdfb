// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QTemporaryFile;

// The extract file of one run. Several runs may share a program folder at once (the window and
// quillon-extract, or many quillon-extract), so each run writes and reads back a file of its own
// there; when the run ends, the last drawing's file replaces extract.txt in one step.
class RunExtractFile {
public:
    explicit RunExtractFile(const QString& programFolder);
    ~RunExtractFile();  // a file not published is removed
    RunExtractFile(const RunExtractFile&) = delete;
    RunExtractFile& operator=(const RunExtractFile&) = delete;

    // The file this run's drawings are extracted into.
    const QString& path() const { return m_path; }
    // extract.txt in the program folder.
    const QString& sharedPath() const { return m_sharedPath; }

    // Puts the run's last extract file in place as extract.txt. Nothing changes when the run
    // wrote none. False when it could not be renamed.
    bool publish();

private:
    QString m_sharedPath;
    std::unique_ptr<QTemporaryFile> m_reservation;
    QString m_path;
};
