// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/update_plan.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"
#include "platform/paths.h"
#include "platform/read_only_file.h"

namespace writeback {
namespace {

// Larger drawings are not planned: the plan reads each drawing whole into memory.
constexpr qint64 kLargestDrawing = qint64{1} << 31;

QString attributeKey(const PlannedValue& value) {
    return value.attributeHandle.isEmpty()
               ? QLatin1Char('#') + QString::number(value.attributeOrdinal)
               : value.attributeHandle.toUpper();
}

// The row's number as its source shows it (a line, a sheet row), for messages.
int rowNumberOf(const EditTable& table, int row) {
    const std::size_t index = static_cast<std::size_t>(row);
    return index < table.rowNumbers.size() ? table.rowNumbers[index] : row + 2;
}

int occurrenceOf(const EditColumns& columns, std::size_t tagColumn) {
    return tagColumn < columns.tagOccurrences.size() ? columns.tagOccurrences[tagColumn] : 0;
}

// Whether a register row's space names the reference's: MODEL, PAPER (every layout), a
// layout's name, or nothing (anywhere); letter case ignored.
bool inSpace(const drawing::InsertRecord& insert, const QString& space) {
    if (space.isEmpty()) return true;
    if (space.compare(QLatin1String("MODEL"), Qt::CaseInsensitive) == 0) return !insert.paperSpace;
    if (space.compare(QLatin1String("PAPER"), Qt::CaseInsensitive) == 0) return insert.paperSpace;
    return insert.paperSpace && space.compare(insert.layout, Qt::CaseInsensitive) == 0;
}

// The rows of the source that name one drawing.
struct DrawingRows {
    QString path;
    QString refusal;  // a path the system cannot look up
    std::vector<int> rows;
};

std::vector<DrawingRows> rowsByDrawing(const EditTable& table, const EditColumns& columns,
                                       const UpdateOptions& options,
                                       std::vector<PlannedValue>& unplaced) {
    std::vector<DrawingRows> drawings;
    std::map<QString, std::size_t> index;
    for (int row = 0; row < static_cast<int>(table.rows.size()); ++row) {
        const QString named =
            table.rows[static_cast<std::size_t>(row)].value(columns.drawing).trimmed();
        if (named.isEmpty()) {
            PlannedValue value;
            value.sourceRow = rowNumberOf(table, row);
            value.status = ValueStatus::Problem;
            value.reason = QStringLiteral("the row names no drawing");
            unplaced.push_back(value);
            continue;
        }
        const QString joined = QDir::isAbsolutePath(named) || options.folder.isEmpty()
                                   ? named
                                   : platform::joinPath(options.folder, named);
        QString refusal;
        // A drawing name in another letter case (names are written in capitals) still finds it.
        const QString path = QDir::cleanPath(platform::resolvePath(joined, &refusal));
        const auto found = index.find(path);
        if (found != index.end()) {
            drawings[found->second].rows.push_back(row);
            continue;
        }
        index.emplace(path, drawings.size());
        drawings.push_back({path, refusal, {row}});
    }
    return drawings;
}

bool blockPasses(const QString& name, const std::vector<QRegularExpression>& filter) {
    if (filter.empty()) return true;
    for (const QRegularExpression& pattern : filter) {
        if (pattern.match(name).hasMatch()) return true;
    }
    return false;
}

std::vector<QRegularExpression> compiledFilter(const QStringList& patterns) {
    std::vector<QRegularExpression> filter;
    for (const QString& pattern : patterns) {
        if (pattern.trimmed().isEmpty()) continue;
        // Anchored: the pattern matches the whole name.
        filter.emplace_back(QRegularExpression::wildcardToRegularExpression(pattern.trimmed()),
                            QRegularExpression::CaseInsensitiveOption);
    }
    return filter;
}

QString blockNameOf(const drawing::InsertRecord& insert) {
    return insert.effectiveName.isEmpty() ? insert.name : insert.effectiveName;
}

// The planned value of one attribute of `insert`, or a problem when the block lacks the tag.
// An attribute's tag is found in any letter case; `occurrence` picks among a block's
// attributes with the same tag (0: the first).
PlannedValue valueFor(const drawing::Drawing& model, std::size_t index, const QString& tag,
                      int occurrence, const QString& next, int sourceRow, bool* found) {
    const drawing::InsertRecord& insert = model.inserts[index];
    PlannedValue value;
    value.sourceRow = sourceRow;
    value.blockName = blockNameOf(insert);
    value.blockHandle = referenceKey(model, index);
    value.tag = tag;
    value.next = next;
    *found = false;
    for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
        const std::uint32_t ordinal = insert.firstAttribute + i;
        const drawing::AttributeRecord& attribute = model.attributes[ordinal];
        if (attribute.tag.compare(tag, Qt::CaseInsensitive) != 0) continue;
        if (occurrence-- > 0) continue;
        *found = true;
        value.attributeHandle = attribute.handle.toQString();
        value.attributeOrdinal = ordinal;
        value.now = attribute.text;
        value.status = value.now == next ? ValueStatus::Unchanged : ValueStatus::Change;
        if (value.status == ValueStatus::Change && attribute.fromField) {
            // The CAD program would compute the field again over the value written.
            value.status = ValueStatus::Problem;
            value.reason =
                QStringLiteral("the value comes from a field; change the field in the CAD program");
        }
        return value;
    }
    value.status = ValueStatus::Problem;
    value.reason = QStringLiteral("the block %1 has no tag %2").arg(value.blockName, tag);
    return value;
}

void planRows(const drawing::Drawing& model, const EditTable& table, const EditColumns& columns,
              const std::vector<int>& rows, const std::vector<QRegularExpression>& filter,
              std::vector<PlannedValue>& out) {
    const std::map<QString, std::size_t> byHandle = referencesByKey(model);
    for (int row : rows) {
        const QStringList& cells = table.rows[static_cast<std::size_t>(row)];
        const int sourceRow = rowNumberOf(table, row);
        if (columns.layout == EditLayout::ByReference) {
            const QString handle = cells.value(columns.handle).trimmed();
            const auto found = byHandle.find(handle.toUpper());
            for (std::size_t t = 0; t < columns.tags.size(); ++t) {
                const QString next = cells.value(columns.tags[t]);
                if (found == byHandle.end()) {
                    PlannedValue value;
                    value.sourceRow = sourceRow;
                    value.blockHandle = handle;
                    value.tag = columns.tagNames.value(static_cast<qsizetype>(t));
                    value.next = next;
                    value.status = ValueStatus::Problem;
                    value.reason =
                        handle.isEmpty()
                            ? QStringLiteral("the row names no block handle")
                            : QStringLiteral("no block reference has the handle ") + handle;
                    out.push_back(value);
                    continue;
                }
                bool hasTag = false;
                PlannedValue value = valueFor(model, found->second,
                                              columns.tagNames.value(static_cast<qsizetype>(t)),
                                              occurrenceOf(columns, t), next, sourceRow, &hasTag);
                // The block lacks the tag and the row gives it no value: nothing to write.
                if (!hasTag && next.isEmpty()) continue;
                out.push_back(value);
            }
            continue;
        }
        // A register row: every reference of the drawing whose block passes the filter and has
        // the tag; an empty cell leaves the attribute as it is.
        const QString space = columns.space >= 0 ? cells.value(columns.space).trimmed() : QString();
        for (std::size_t t = 0; t < columns.tags.size(); ++t) {
            const QString next = cells.value(columns.tags[t]);
            if (next.isEmpty()) continue;
            const QString tag = columns.tagNames.value(static_cast<qsizetype>(t));
            bool any = false;
            for (std::size_t index = 0; index < model.inserts.size(); ++index) {
                const drawing::InsertRecord& insert = model.inserts[index];
                if (!blockPasses(blockNameOf(insert), filter)) continue;
                if (!inSpace(insert, space)) continue;
                bool hasTag = false;
                PlannedValue value =
                    valueFor(model, index, tag, occurrenceOf(columns, t), next, sourceRow, &hasTag);
                if (!hasTag) continue;
                any = true;
                out.push_back(value);
            }
            if (!any) {
                PlannedValue value;
                value.sourceRow = sourceRow;
                value.tag = tag;
                value.next = next;
                value.status = ValueStatus::Problem;
                value.reason =
                    (space.isEmpty()
                         ? QStringLiteral("no block reference of the drawing has the tag ")
                         : QStringLiteral("no block reference in ") + space +
                               QStringLiteral(" has the tag ")) +
                    tag;
                out.push_back(value);
            }
        }
    }
}

// Two rows that give one attribute different values: neither is applied. The same value twice
// is planned once.
void markConflicts(std::vector<PlannedValue>& values) {
    std::map<QString, std::vector<std::size_t>> byAttribute;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i].status != ValueStatus::Problem)
            byAttribute[attributeKey(values[i])].push_back(i);
    }
    for (const auto& [key, indices] : byAttribute) {
        if (indices.size() < 2) continue;
        bool differ = false;
        for (std::size_t i : indices) differ = differ || values[i].next != values[indices[0]].next;
        for (std::size_t n = 0; n < indices.size(); ++n) {
            PlannedValue& value = values[indices[n]];
            if (differ) {
                value.status = ValueStatus::Problem;
                value.reason = QStringLiteral("rows give this attribute different values");
            } else if (n > 0) {
                value.status = ValueStatus::Unchanged;
                value.reason =
                    QStringLiteral("the same value as row %1").arg(values[indices[0]].sourceRow);
            }
        }
    }
}

// Each change is tried on the file's bytes as it will be written: a value the file cannot hold
// is a problem of its own and keeps nothing else from being written.
void markValuesTheFileCannotHold(const QByteArray& bytes, std::vector<PlannedValue>& values) {
    std::vector<drawing::AttributeValueEdit> edits;
    for (const PlannedValue& value : values) {
        if (value.status == ValueStatus::Change)
            edits.push_back({{value.attributeHandle, value.attributeOrdinal}, value.next});
    }
    if (edits.empty() || drawing::checkAttributeValues(bytes, edits)) return;
    for (PlannedValue& value : values) {
        if (value.status != ValueStatus::Change) continue;
        const auto alone = drawing::checkAttributeValues(
            bytes, {{{value.attributeHandle, value.attributeOrdinal}, value.next}});
        if (alone) continue;
        value.status = ValueStatus::Problem;
        value.reason = alone.error().description;
    }
}

DrawingPlan planDrawing(const DrawingRows& named, const EditTable& table,
                        const EditColumns& columns, const std::vector<QRegularExpression>& filter) {
    DrawingPlan plan;
    plan.path = named.path;
    auto refuse = [&plan, &named, &table](const QString& reason) {
        plan.refusal = reason;
        for (int row : named.rows) {
            PlannedValue value;
            value.sourceRow = rowNumberOf(table, row);
            value.status = ValueStatus::Problem;
            value.reason = reason;
            plan.values.push_back(value);
        }
        return plan;
    };
    if (!named.refusal.isEmpty()) return refuse(named.refusal);
    const QFileInfo info(named.path);
    if (!info.exists()) return refuse(QStringLiteral("drawing not found"));
    if (!info.isFile()) return refuse(QStringLiteral("not a drawing file"));
    if (info.size() > kLargestDrawing) return refuse(QStringLiteral("the drawing is too large"));
    QFile file(named.path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    const auto model = drawing::readDrawingBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!model) {
        return refuse(QStringLiteral("the drawing cannot be read completely: ") +
                      model.error().description);
    }
    plan.fingerprint = fingerprintOf(named.path, bytes);
    planRows(*model.value(), table, columns, named.rows, filter, plan.values);
    markConflicts(plan.values);
    markValuesTheFileCannotHold(bytes, plan.values);
    // Refusals that depend on the moment (a lock, a permission) come last: the plan still shows
    // what would change.
    plan.refusal = writeRefusal(named.path);
    return plan;
}

}  // namespace

QString referenceKey(const drawing::Drawing& model, std::size_t index) {
    const drawing::InsertRecord& insert = model.inserts[index];
    return insert.handle.empty() ? QLatin1Char('#') + QString::number(index + 1)
                                 : insert.handle.toQString();
}

std::map<QString, std::size_t> referencesByKey(const drawing::Drawing& model) {
    std::map<QString, std::size_t> byKey;
    for (std::size_t i = 0; i < model.inserts.size(); ++i)
        byKey.emplace(referenceKey(model, i).toUpper(), i);
    return byKey;
}

int DrawingPlan::count(ValueStatus status) const {
    int n = 0;
    for (const PlannedValue& value : values) n += value.status == status ? 1 : 0;
    return n;
}

int UpdatePlan::count(ValueStatus status) const {
    int n = 0;
    for (const DrawingPlan& drawing : drawings) n += drawing.count(status);
    for (const PlannedValue& value : unplaced) n += value.status == status ? 1 : 0;
    return n;
}

int UpdatePlan::refusedDrawings() const {
    int n = 0;
    for (const DrawingPlan& drawing : drawings) n += drawing.refusal.isEmpty() ? 0 : 1;
    return n;
}

FileFingerprint fingerprintOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file)) return {};
    return {file.size(), QFileInfo(path).lastModified(), hash.result()};
}

FileFingerprint fingerprintOf(const QString& path, const QByteArray& bytes) {
    return {bytes.size(), QFileInfo(path).lastModified(),
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha1)};
}

QString writeRefusal(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const QString base = info.completeBaseName();
    const QString name = info.fileName();
    const QStringList locks = {base + QStringLiteral(".dwl"), base + QStringLiteral(".dwl2"),
                               QStringLiteral("~$") + name,
                               QStringLiteral(".~lock.") + name + QLatin1Char('#')};
    for (const QString& lock : locks) {
        if (QFileInfo::exists(platform::joinPath(folder, lock))) {
            return QStringLiteral("the drawing is open in another program (") + lock +
                   QLatin1Char(')');
        }
    }
    if (platform::isReadOnlyFile(path)) return QStringLiteral("the drawing is read-only");
    if (!QFileInfo(folder).isWritable()) return QStringLiteral("the drawing's folder is read-only");
    return {};
}

UpdatePlan planUpdate(const EditTable& table, const EditColumns& columns,
                      const UpdateOptions& options) {
    UpdatePlan plan;
    const std::vector<QRegularExpression> filter = compiledFilter(options.blockFilter);
    for (const DrawingRows& named : rowsByDrawing(table, columns, options, plan.unplaced)) {
        plan.drawings.push_back(planDrawing(named, table, columns, filter));
    }
    return plan;
}

}  // namespace writeback
