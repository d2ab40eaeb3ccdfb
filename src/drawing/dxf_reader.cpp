// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dxf_reader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "drawing/ascii_tokenizer.h"
#include "drawing/binary_tokenizer.h"
#include "drawing/chunk_buffer.h"
#include "drawing/dwg/dwg_reader.h"
#include "drawing/dxf_parser.h"
#include "drawing/reader_errors.h"

namespace drawing {

namespace {

// The longest line or value the tokenizers need whole; far beyond any real DXF value
// (2049 bytes), small enough to keep memory bounded on a corrupt file.
constexpr std::size_t kMaxCarry = std::size_t{2} << 20;

core::Error failure(long number, QString description) {
    return core::Error{number, std::move(description)};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "AC1032" and the like: the release string a DWG file starts with.
bool looksLikeDwg(std::string_view head) {
    if (head.size() < 6 || head.substr(0, 2) != "AC") return false;
    for (std::size_t i = 2; i < 6; ++i)
        if (!isDigit(head[i]) && head[i] != '.') return false;
    return true;
}

// Copies the input from `at` on into `out` until it holds `size` bytes or the input ends;
// leaves `at` where the copying stopped. False on a read error.
bool appendUpTo(ChunkBuffer& buffer, const char*& at, std::string& out, std::size_t size) {
    while (out.size() < size) {
        const auto count = std::min(static_cast<std::size_t>(buffer.end() - at), size - out.size());
        out.append(at, count);
        at += count;
        if (out.size() == size) break;
        if (buffer.atEnd()) return !buffer.readError();
        if (!buffer.refill(buffer.end())) return false;
        at = buffer.data();
    }
    return true;
}

// A DWG file is read at offsets anywhere in it, so the part the reader needs is read into
// memory whole. Its header says how much that is; a header that does not fit the file's size
// refuses the file before anything but its head is read.
core::Status readDwgFrom(ChunkBuffer& buffer, std::uint64_t fileSize, Drawing& drawing) {
    const QString unreadable = QStringLiteral("the file could not be read");
    std::string file;
    const char* at = buffer.data();
    if (!appendUpTo(buffer, at, file, dwg::kHeadSize))
        return failure(errors::kFileAccess, unreadable);
    const dwg::ReadExtent extent =
        dwg::readExtent(file, std::max<std::uint64_t>(fileSize, file.size()));
    if (!extent.problem.isEmpty()) return failure(errors::kMalformed, extent.problem);
    if (extent.bytes > file.max_size())
        return failure(errors::kMalformed, QStringLiteral("the file is too large to be read"));
    const auto bytes = static_cast<std::size_t>(extent.bytes);
    file.reserve(bytes);  // once: never more than the header asks for
    if (!appendUpTo(buffer, at, file, bytes)) return failure(errors::kFileAccess, unreadable);
    const QString problem = dwg::readDwg(file, drawing);
    if (!problem.isEmpty()) return failure(errors::kMalformed, problem);
    return core::success();
}

DrawingResult readFrom(ChunkBuffer& buffer, std::uint64_t fileSize) {
    if (!buffer.refill(buffer.data()))
        return failure(errors::kFileAccess, QStringLiteral("the file could not be read"));
    const std::string_view head(buffer.data(),
                                static_cast<std::size_t>(buffer.end() - buffer.data()));
    if (head.empty()) return failure(errors::kNotADrawing, QStringLiteral("the file is empty"));

    auto drawing = std::make_shared<Drawing>();
    QString problem;
    if (head.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
        BinaryTokenizer groups(buffer, buffer.data() + kBinarySentinel.size());
        problem = parseDxf(groups, *drawing);
    } else if (kBinarySentinel.substr(0, head.size()) == head) {
        return failure(errors::kMalformed,
                       QStringLiteral("unexpected end of file at byte offset %1").arg(head.size()));
    } else if (looksLikeDwg(head)) {
        if (!dwg::isReadableRelease(head)) {
            QString release = QString::fromLatin1(head.data(), 6);
            const QString name = dwg::releaseName(head);
            if (!name.isEmpty()) release += QStringLiteral(" (%1)").arg(name);
            return failure(errors::kUnsupported,
                           QStringLiteral("DWG release %1 is not supported").arg(release));
        }
        const core::Status read = readDwgFrom(buffer, fileSize, *drawing);
        if (!read) return read.error();
    } else {
        std::size_t start = 0;
        if (head.substr(0, 3) == "\xEF\xBB\xBF") start = 3;  // a UTF-8 byte order mark
        if (!looksLikeAsciiDxf(head.substr(start, 64)))
            return failure(
                errors::kNotADrawing,
                QStringLiteral("not a drawing file: the content is neither DXF nor DWG"));
        AsciiTokenizer groups(buffer, buffer.data() + start);
        problem = parseDxf(groups, *drawing);
    }
    if (!problem.isEmpty()) return failure(errors::kMalformed, problem);
    return std::shared_ptr<const Drawing>(std::move(drawing));
}

// One drawing that does not fit in memory is that drawing's failure, not the end of a run.
template <typename Read>
DrawingResult withinMemory(const Read& read) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
        return failure(errors::kOutOfMemory,
                       QStringLiteral("there is not enough memory to read the drawing"));
    }
}

}  // namespace

bool looksLikeAsciiDxf(std::string_view head) {
    std::size_t i = 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t')) ++i;
    const std::size_t digits = i;
    while (i < head.size() && isDigit(head[i])) ++i;
    if (i == digits || i - digits > 6) return false;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r')) ++i;
    return i < head.size() && head[i] == '\n';
}

DrawingResult readDrawingFile(const QString& path, const ReadOptions& options) {
    const QFileInfo info(path);
    if (!info.exists())
        return failure(errors::kFileNotFound, QStringLiteral("file not found: %1").arg(path));
    if (info.isDir())
        return failure(errors::kFileAccess,
                       QStringLiteral("%1 is a folder, not a drawing").arg(path));
    // A device or a pipe has no end to read to, or no writer: opening one could block for
    // ever and reading one could fill the memory.
    const QString notAFile = QStringLiteral("%1 is not a regular file, not a drawing").arg(path);
    if (!info.isFile()) return failure(errors::kFileAccess, notAFile);
    QFile file(path);
    // Unbuffered: our own buffer is the only copy of the bytes.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(errors::kFileAccess,
                       QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    // The path may have been replaced between the look and the opening.
    if (file.isSequential()) return failure(errors::kFileAccess, notAFile);
    const auto size = static_cast<std::uint64_t>(std::max<qint64>(file.size(), 0));
    return withinMemory([&] {
        ChunkBuffer buffer(
            [&file](char* into, long long capacity) { return file.read(into, capacity); },
            std::max<std::size_t>(options.chunkSize, 64), kMaxCarry);
        return readFrom(buffer, size);
    });
}

DrawingResult readDrawingBytes(std::string_view bytes, const ReadOptions& options) {
    return withinMemory([&] {
        std::size_t offset = 0;
        ChunkBuffer buffer(
            [&](char* into, long long capacity) -> long long {
                const std::size_t count =
                    std::min(bytes.size() - offset, static_cast<std::size_t>(capacity));
                if (count > 0) std::memcpy(into, bytes.data() + offset, count);
                offset += count;
                return static_cast<long long>(count);
            },
            std::max<std::size_t>(options.chunkSize, 64), kMaxCarry);
        return readFrom(buffer, bytes.size());
    });
}

}  // namespace drawing
