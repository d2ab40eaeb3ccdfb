// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// A named pipe that nobody writes to: opening it for reading waits for a writer for ever. Code
// that opens it anyway would hang the test, so after a grace time a writer comes, again and
// again, and closes at once: the blocked reader sees an empty file and the test fails instead.
class NamedPipe {
public:
    explicit NamedPipe(const QString& path) : m_path(QFile::encodeName(path)) {
        m_made = ::mkfifo(m_path.constData(), 0600) == 0;
        if (m_made) m_writer = std::thread([this] { releaseBlockedReaders(); });
    }
    ~NamedPipe() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
        if (m_writer.joinable()) m_writer.join();
        if (m_made) ::unlink(m_path.constData());
    }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool isValid() const { return m_made; }

private:
    void releaseBlockedReaders() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_done; })) return;
        while (
            !m_changed.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_done; })) {
            // Succeeds only while a reader has the pipe open.
            const int handle = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (handle >= 0) ::close(handle);
        }
    }

    QByteArray m_path;
    bool m_made = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    std::thread m_writer;
};
