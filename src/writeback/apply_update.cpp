// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/apply_update.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"
#include "platform/paths.h"
#include "platform/text_writer.h"
#include "writeback/undo_file.h"

namespace writeback {
namespace {

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// The new drawing against the old one: the planned attributes have their new values, and every
// other attribute and block reference is as it was.
QString differenceFromPlan(const drawing::Drawing& before, const drawing::Drawing& after,
                           const std::map<std::uint32_t, QString>& planned) {
    if (before.inserts.size() != after.inserts.size() ||
        before.attributes.size() != after.attributes.size()) {
        return QStringLiteral("the written drawing has other block references or attributes");
    }
    for (std::size_t i = 0; i < before.inserts.size(); ++i) {
        const drawing::InsertRecord& a = before.inserts[i];
        const drawing::InsertRecord& b = after.inserts[i];
        if (a.name != b.name || a.handle.view() != b.handle.view() || a.layer != b.layer ||
            a.paperSpace != b.paperSpace || a.insertion.x != b.insertion.x ||
            a.insertion.y != b.insertion.y || a.insertion.z != b.insertion.z ||
            a.attributeCount != b.attributeCount || a.firstAttribute != b.firstAttribute) {
            return QStringLiteral("a block reference of the written drawing differs");
        }
    }
    for (std::uint32_t i = 0; i < before.attributes.size(); ++i) {
        const drawing::AttributeRecord& a = before.attributes[i];
        const drawing::AttributeRecord& b = after.attributes[i];
        const auto change = planned.find(i);
        const QString& expected = change == planned.end() ? a.text : change->second;
        if (a.tag != b.tag || a.handle.view() != b.handle.view() || b.text != expected) {
            return QStringLiteral(
                       "the attribute %1 of the written drawing does not read back as "
                       "planned")
                .arg(a.tag);
        }
    }
    return {};
}

bool syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// The previous file as NAME.bak: a second name for the same bytes, so the drawing's own name
// never goes missing; a copy where the file system has no links.
QString keepBackup(const QString& path) {
    const QString backup = QFileInfo(path).absolutePath() + QLatin1Char('/') +
                           QFileInfo(path).completeBaseName() + QStringLiteral(".bak");
    const QByteArray target = QFile::encodeName(backup);
    if (QFileInfo::exists(backup) && ::unlink(target.constData()) != 0) {
        return QStringLiteral("the previous backup ") + backup +
               QStringLiteral(" cannot be replaced: ") + systemReason();
    }
    if (::link(QFile::encodeName(path).constData(), target.constData()) == 0) return {};
    if (!QFile::copy(path, backup)) {
        return QStringLiteral("the backup ") + backup + QStringLiteral(" cannot be written");
    }
    return {};
}

// A block whose values changed, as the undo file gives it back: every attribute's old value
// in the block's order, and which (tag, occurrence) pairs changed.
struct UndoBlock {
    QString drawing;
    QString handle;
    std::vector<std::pair<QString, QString>> oldValues;  // (upper-case tag, value)
    std::vector<std::pair<QString, int>> changed;  // (upper-case tag, occurrence), in plan order

    // The old value of the `occurrence`-th attribute with `tag`, if the block has one.
    std::optional<QString> oldValue(const QString& tag, int occurrence) const {
        for (const auto& [name, value] : oldValues) {
            if (name == tag && occurrence-- == 0) return value;
        }
        return std::nullopt;
    }
};

struct DrawingWrite {
    DrawingOutcome outcome;
    std::vector<UndoBlock> undo;
};

DrawingWrite writeDrawing(const DrawingPlan& plan, const UpdateOptions& options) {
    DrawingWrite result;
    DrawingOutcome& outcome = result.outcome;
    outcome.path = plan.path;
    std::vector<drawing::AttributeValueEdit> edits;
    std::map<std::uint32_t, QString> planned;
    for (const PlannedValue& value : plan.values) {
        if (value.status != ValueStatus::Change) continue;
        edits.push_back({{value.attributeHandle, value.attributeOrdinal}, value.next});
        planned[value.attributeOrdinal] = value.next;
    }
    if (edits.empty()) return result;
    auto fail = [&result](const QString& reason) {
        result.outcome.reason = reason;
        return result;
    };
    if (const QString refusal = writeRefusal(plan.path); !refusal.isEmpty()) return fail(refusal);
    QFile original(plan.path);
    if (!original.open(QIODevice::ReadOnly)) return fail(original.errorString());
    const QByteArray bytes = original.readAll();
    const QFileDevice::Permissions permissions = original.permissions();
    original.close();
    // What is written comes from these bytes: they are the ones compared with the plan's.
    if (fingerprintOf(plan.path, bytes) != plan.fingerprint) {
        return fail(
            QStringLiteral("the drawing changed after the plan was made; make the plan "
                           "again"));
    }
    const auto before = drawing::readDrawingBytes(viewOf(bytes));
    if (!before) return fail(before.error().description);
    const auto rewritten = drawing::rewriteAttributeValues(bytes, edits);
    if (!rewritten) return fail(rewritten.error().description);

    const QFileInfo info(plan.path);
    QTemporaryFile temporary(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                             QStringLiteral(".quillon-XXXXXX"));
    if (!temporary.open()) return fail(temporary.errorString());
    if (temporary.write(rewritten.value()) != rewritten.value().size() || !temporary.flush() ||
        ::fsync(temporary.handle()) != 0) {
        return fail(QStringLiteral("the new file cannot be written: ") + temporary.errorString());
    }
    temporary.close();
    // Read back from the disk, not from memory: what counts is what the file holds.
    const auto after = drawing::readDrawingFile(temporary.fileName());
    if (!after) {
        return fail(QStringLiteral("the new file does not read back: ") +
                    after.error().description);
    }
    if (const QString difference = differenceFromPlan(*before.value(), *after.value(), planned);
        !difference.isEmpty()) {
        return fail(difference);
    }
    if (!QFile::setPermissions(temporary.fileName(), permissions)) {
        return fail(QStringLiteral("the new file cannot take the drawing's permissions"));
    }
    if (options.keepBackup) {
        if (const QString refusal = keepBackup(plan.path); !refusal.isEmpty()) return fail(refusal);
    }
    // One rename replaces the drawing: at every moment its name holds the old file or the new.
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(plan.path).constData()) != 0) {
        return fail(QStringLiteral("the new file cannot take the drawing's place: ") +
                    systemReason());
    }
    temporary.setAutoRemove(false);
    syncFolder(info.absolutePath());
    outcome.written = true;
    outcome.changed = static_cast<int>(edits.size());

    const drawing::Drawing& old = *before.value();
    const std::map<QString, std::size_t> references = referencesByKey(old);
    std::map<QString, std::size_t> blocks;
    for (const PlannedValue& value : plan.values) {
        if (value.status != ValueStatus::Change) continue;
        const auto reference = references.find(value.blockHandle.toUpper());
        if (reference == references.end()) continue;
        const drawing::InsertRecord* insert = &old.inserts[reference->second];
        auto [found, added] = blocks.emplace(value.blockHandle.toUpper(), result.undo.size());
        if (added) {
            UndoBlock block{plan.path, value.blockHandle, {}, {}};
            for (std::uint32_t i = 0; i < insert->attributeCount; ++i) {
                const auto& attribute = old.attributes[insert->firstAttribute + i];
                block.oldValues.emplace_back(attribute.tag.toUpper(), attribute.text);
            }
            result.undo.push_back(block);
        }
        // Which of the block's attributes with this tag it is, as the undo file's columns
        // count them: a repeated tag column addresses the next attribute with the tag.
        const QString tag = value.tag.toUpper();
        int occurrence = 0;
        for (std::uint32_t i = insert->firstAttribute; i < value.attributeOrdinal; ++i)
            occurrence += old.attributes[i].tag.toUpper() == tag ? 1 : 0;
        auto& changed = result.undo[found->second].changed;
        if (std::find(changed.begin(), changed.end(), std::pair(tag, occurrence)) == changed.end())
            changed.emplace_back(tag, occurrence);
    }
    return result;
}

// The undo file: a by-reference source whose values are the old ones. A block's tags that did
// not change hold their value too, so applying it sets them to what they are.
QString writeUndoFile(EditSource& target, const std::vector<UndoBlock>& blocks) {
    // One column per changed (tag, occurrence), a repeated tag in as many columns as its
    // highest changed occurrence needs.
    std::vector<QString> tags;
    std::map<QString, int> columnsOfTag;
    for (const UndoBlock& block : blocks) {
        for (const auto& [tag, occurrence] : block.changed) {
            int& columns = columnsOfTag[tag];
            if (columns == 0) tags.push_back(tag);
            columns = std::max(columns, occurrence + 1);
        }
    }
    QStringList header = {QStringLiteral("DRAWING_NAME"), QStringLiteral("BLOCK_HANDLE")};
    std::vector<std::pair<QString, int>> columns;
    for (const QString& tag : tags) {
        for (int n = 0; n < columnsOfTag[tag]; ++n) {
            header << tag;
            columns.emplace_back(tag, n);
        }
    }
    std::vector<QStringList> rows;
    rows.reserve(blocks.size());
    for (const UndoBlock& block : blocks) {
        QStringList row = {block.drawing, block.handle};
        for (const auto& [tag, occurrence] : columns)
            row << block.oldValue(tag, occurrence).value_or(QString());
        rows.push_back(std::move(row));
    }
    return writeUndoTable(target, header, rows);
}

}  // namespace

int ApplyResult::written() const {
    int n = 0;
    for (const DrawingOutcome& drawing : drawings) n += drawing.written ? 1 : 0;
    return n;
}

int ApplyResult::failed() const {
    int n = 0;
    for (const DrawingOutcome& drawing : drawings) n += drawing.reason.isEmpty() ? 0 : 1;
    return n;
}

DrawingOutcome applyToDrawing(const DrawingPlan& plan, const UpdateOptions& options) {
    return writeDrawing(plan, options).outcome;
}

ApplyResult applyUpdate(const UpdatePlan& plan, const UpdateOptions& options,
                        const EditSource& undoFile, const ApplyCallbacks& callbacks) {
    ApplyResult result;
    std::vector<UndoBlock> undo;
    const int count = static_cast<int>(plan.drawings.size());
    for (int i = 0; i < count; ++i) {
        if (callbacks.progress && !callbacks.progress(i, count)) {
            result.cancelled = true;
            break;
        }
        DrawingWrite written = writeDrawing(plan.drawings[static_cast<std::size_t>(i)], options);
        result.drawings.push_back(written.outcome);
        for (UndoBlock& block : written.undo) undo.push_back(std::move(block));
    }
    if (!undo.empty() && !undoFile.path.isEmpty()) {
        EditSource target = undoFile;
        result.undoError = writeUndoFile(target, undo);
        if (result.undoError.isEmpty()) {
            result.undo = target;
            result.undoFile = describe(target);
        }
    }
    return result;
}

}  // namespace writeback
