// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QTextStream>
#include <cstdio>

// The exit status of a program whose results did not all reach standard output (a full disk,
// a device or pipe that refuses them): a script must not take a cut-off output for the whole.
constexpr int kOutputFailedStatus = 3;

// Standard output as a text stream that knows whether everything written so far reached it.
// The writes go straight to the file descriptor, so the system's reason for a refusal is kept.
class StandardOutput {
public:
    StandardOutput() {
        if (m_file.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered))
            m_stream.setDevice(&m_file);
        else
            m_error = m_file.errorString();
    }
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    QTextStream& stream() { return m_stream; }

    // False once a write has failed; the stream keeps its text until it passes it on, so this
    // tells only of what was passed on so far (see flush()).
    bool good() const { return m_error.isEmpty() && m_stream.status() == QTextStream::Ok; }

    // Passes on everything written; false when any of it did not reach the output.
    bool flush() {
        if (m_stream.device()) m_stream.flush();
        return good();
    }

    // Why the output failed, in the system's words.
    QString errorString() const {
        if (!m_error.isEmpty()) return m_error;
        return m_file.errorString();
    }

private:
    QFile m_file;
    QTextStream m_stream;
    QString m_error;
};
