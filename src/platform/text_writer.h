// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QFileDevice;

namespace platform {

// Writes a text file as UTF-8 with CR LF line ends. A replaced file is written to a temporary
// file beside it and renamed into place by commit(), so a failed write never destroys the old
// content. Appending writes to the file itself. A scratch file (one that only this run reads
// back, such as a run's own extract file) is written in place and not synced to disk.
class TextWriter {
public:
    enum class Mode { Replace, Append, Scratch };

    TextWriter();
    ~TextWriter();  // without commit(), a replacement is discarded and the old file kept
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool open(const QString& path, Mode mode = Mode::Replace);
    bool isOpen() const;
    void write(const QString& text);
    void writeLine(const QString& line);
    bool commit();  // false when any write or the final rename failed
    // Why the last open, write or commit failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    void fail(const QString& reason);

    std::unique_ptr<QFileDevice> m_file;
    bool m_failed = false;
    QString m_error;
};

}  // namespace platform
