// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_writer.h"

#include <QFile>
#include <QSaveFile>

#include "platform/read_only_file.h"

namespace platform {

TextWriter::TextWriter() = default;

TextWriter::~TextWriter() {
    // QSaveFile's own destructor discards an uncommitted replacement; appended text is kept.
    m_file.reset();
}

void TextWriter::fail(const QString& reason) {
    m_failed = true;
    if (m_error.isEmpty()) m_error = reason;
}

bool TextWriter::open(const QString& path, Mode mode) {
    m_file.reset();
    m_failed = false;
    m_error.clear();
    if (path.isEmpty()) {
        fail(QStringLiteral("No file name given"));
        return false;
    }
    // Neither a rename over a read-only file nor an append may change it.
    if (isReadOnlyFile(path)) {
        fail(QStringLiteral("The file is read-only"));
        return false;
    }
    if (mode == Mode::Replace) {
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly)) {
            fail(file->errorString());
            return false;
        }
        m_file = std::move(file);
    } else {
        auto file = std::make_unique<QFile>(path);
        const auto how = mode == Mode::Append ? QIODevice::Append : QIODevice::Truncate;
        if (!file->open(QIODevice::WriteOnly | how)) {
            fail(file->errorString());
            return false;
        }
        m_file = std::move(file);
    }
    return true;
}

bool TextWriter::isOpen() const {
    return m_file && m_file->isOpen();
}

void TextWriter::write(const QString& text) {
    if (!isOpen() || m_failed || text.isEmpty()) return;
    const QByteArray bytes = text.toUtf8();
    if (m_file->write(bytes) != bytes.size()) fail(m_file->errorString());
}

void TextWriter::writeLine(const QString& line) {
    write(line + QStringLiteral("\r\n"));
}

bool TextWriter::commit() {
    if (!m_file) return false;
    bool ok = !m_failed;
    if (auto* save = qobject_cast<QSaveFile*>(m_file.get())) {
        if (!ok) save->cancelWriting();
        ok = save->commit() && ok;
    } else {
        ok = m_file->flush() && ok;
        m_file->close();
        ok = ok && m_file->error() == QFileDevice::NoError;
    }
    if (!ok) fail(m_file->errorString());
    m_file.reset();
    m_failed = !ok;
    return ok;
}

}  // namespace platform
