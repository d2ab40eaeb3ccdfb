// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/ooxml_package.h"

#include <zip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <memory>

#include "platform/read_only_file.h"

namespace office::ooxml {
namespace {

constexpr long kFileError = 1004;

Error fileError(const QString& description) {
    return Error{kFileError, description};
}

QString zipMessage(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

}  // namespace

Result<Package> Package::read(const QString& path, FileKind kind) {
    const QString shown = QStringLiteral("'") + path + QStringLiteral("'");
    const QFileInfo info(path);
    if (!info.isFile()) {
        return fileError(QStringLiteral("Cannot find the ") + kind.noun + " " + shown + ".");
    }
    if (info.size() > kMaxFileSize) {
        return fileError(QStringLiteral("The ") + kind.noun + " " + shown +
                         QStringLiteral(" is too big to open (more than 200 MB)."));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fileError(QStringLiteral("Cannot read the ") + kind.noun + " " + shown + ": " +
                         file.errorString());
    }
    // Asking for the limit would set aside 200 MB for every small package: ask for its size.
    const QByteArray bytes = file.read(std::min<qint64>(info.size(), kMaxFileSize) + 1);
    if (bytes.size() > kMaxFileSize) {
        return fileError(QStringLiteral("The ") + kind.noun + " " + shown +
                         QStringLiteral(" is too big to open (more than 200 MB)."));
    }
    const QString notAWorkbook = QStringLiteral("The file ") + shown +
                                 QStringLiteral(" is not a ") + kind.noun + " (" + kind.extension +
                                 "): ";

    zip_error_t error;
    zip_error_init(&error);
    Source source(zip_source_buffer_create(bytes.constData(),
                                           static_cast<zip_uint64_t>(bytes.size()), 0, &error));
    if (!source) {
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        return fileError(notAWorkbook + message);
    }
    Archive archive(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        return fileError(notAWorkbook + message);
    }
    zip_error_fini(&error);
    source.release();  // the archive owns it now

    Package package(std::move(kind));
    qint64 unpacked = 0;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* rawName = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
        if (!rawName) return fileError(notAWorkbook + zipMessage(zip_get_error(archive.get())));
        QString name = QString::fromUtf8(rawName);
        if (name.endsWith(QLatin1Char('/'))) continue;  // folders are implied by the part names
        while (name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
        Entry entry(zip_fopen_index(archive.get(), index, 0));
        if (!entry) {
            return fileError(notAWorkbook + name + ": " + zipMessage(zip_get_error(archive.get())));
        }
        QByteArray data;
        char buffer[64 * 1024];
        for (;;) {
            const zip_int64_t got = zip_fread(entry.get(), buffer, sizeof buffer);
            if (got < 0) {
                return fileError(notAWorkbook + name + ": " +
                                 zipMessage(zip_file_get_error(entry.get())));
            }
            if (got == 0) break;
            unpacked += got;
            if (unpacked > kMaxUnpackedSize) {
                return fileError(QStringLiteral("The ") + kind.noun + " " + shown +
                                 QStringLiteral(" unpacks to more than 1 GB; it is not opened."));
            }
            data.append(buffer, static_cast<qsizetype>(got));
        }
        package.m_parts.push_back(Part{name, std::move(data)});
    }
    return package;
}

const QByteArray* Package::part(const QString& name) const {
    for (const Part& part : m_parts) {
        if (part.name.compare(name, Qt::CaseInsensitive) == 0) return &part.data;
    }
    return nullptr;
}

void Package::setPart(const QString& name, QByteArray data) {
    for (Part& part : m_parts) {
        if (part.name.compare(name, Qt::CaseInsensitive) == 0) {
            part.data = std::move(data);
            return;
        }
    }
    m_parts.push_back(Part{name, std::move(data)});
}

void Package::removePart(const QString& name) {
    std::erase_if(m_parts, [&](const Part& part) {
        return part.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

Result<QByteArray> Package::zipped() const {
    const auto failed = [this](const QString& message) {
        return fileError(QStringLiteral("Cannot pack the ") + m_kind.noun + ": " + message);
    };
    zip_error_t error;
    zip_error_init(&error);
    Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        return failed(message);
    }
    // The buffer must outlive the archive, whose closing fills it.
    zip_source_keep(buffer.get());
    Archive archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        const QString message = zipMessage(&error);
        zip_error_fini(&error);
        zip_source_free(buffer.get());  // the reference the archive did not take
        return failed(message);
    }
    zip_error_fini(&error);
    for (const Part& part : m_parts) {
        zip_source_t* data = zip_source_buffer(archive.get(), part.data.constData(),
                                               static_cast<zip_uint64_t>(part.data.size()), 0);
        if (!data) return failed(zipMessage(zip_get_error(archive.get())));
        if (zip_file_add(archive.get(), part.name.toUtf8().constData(), data,
                         ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(data);
            return failed(zipMessage(zip_get_error(archive.get())));
        }
    }
    if (zip_close(archive.get()) < 0) return failed(zipMessage(zip_get_error(archive.get())));
    archive.release();  // closed

    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) < 0) {
        return failed(zipMessage(zip_source_error(buffer.get())));
    }
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t got =
        zip_source_read(buffer.get(), bytes.data(), static_cast<zip_uint64_t>(bytes.size()));
    zip_source_close(buffer.get());
    if (got != static_cast<zip_int64_t>(bytes.size())) {
        return failed(zipMessage(zip_source_error(buffer.get())));
    }
    return bytes;
}

Result<QString> firstFreeName(const QString& folder, const QString& pattern,
                              const std::function<bool(const QString&)>& taken) {
    const QString where = folder.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : folder;
    for (int n = 1; n < 100000; ++n) {
        const QString path = QDir(where).filePath(pattern.arg(n));
        if (!QFileInfo::exists(path) && !taken(path)) return path;
    }
    return Error{1004, QStringLiteral("No free name for '") + pattern.arg(QLatin1Char('N')) +
                           QStringLiteral("' in '") + where + "'."};
}

Status saveAtomically(const QString& path, const QByteArray& bytes, const FileKind& kind) {
    const auto failed = [&](const QString& message) {
        return fileError(QStringLiteral("Cannot save the ") + kind.noun + " '" + path +
                         "': " + message);
    };
    // Renaming over a read-only file would succeed where writing into it is refused: a file
    // without write permission stays as it is for root too, as a text file does.
    const QFileInfo existing(path);
    if (platform::isReadOnlyFile(path) || (existing.exists() && !existing.isWritable())) {
        return failed(QStringLiteral("the file is read-only."));
    }
    QSaveFile file(path);
    // Unbuffered: a buffered write that fails when flushed at commit (a full disk) can go
    // unreported, and a cut-off file would replace the good one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file.errorString());
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString message = file.errorString();
            file.cancelWriting();
            return failed(message);
        }
        done += static_cast<qsizetype>(written);
    }
    if (!file.commit()) return failed(file.errorString());
    return core::success();
}

}  // namespace office::ooxml
