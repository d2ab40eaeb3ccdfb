// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A temporary folder that the tests fill with files and that disappears afterwards.
class ScratchFolder {
public:
    ScratchFolder() { EXPECT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    QString writeFile(const QString& relative, const QByteArray& bytes = {}) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
        file.write(bytes);
        return full;
    }

    QString makeFolder(const QString& relative) const {
        const QString full = path(relative);
        EXPECT_TRUE(QDir().mkpath(full));
        return full;
    }

    static QByteArray readFile(const QString& full) {
        QFile file(full);
        if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
        return file.readAll();
    }

private:
    QTemporaryDir m_dir;
};
