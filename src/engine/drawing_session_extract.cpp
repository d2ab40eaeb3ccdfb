// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/blanks.h"
#include "engine/drawing_session.h"
#include "engine/record_line.h"
#include "engine/text_forms.h"
#include "platform/text_writer.h"

namespace {

const QString kUnableToCreate = QStringLiteral("Unable to create extract file.");

// A property the drawing fails to deliver is written as an empty value: the record keeps its
// columns and the drawing goes on.
QString textOf(const core::Result<QString>& r) {
    return r ? r.value() : QString();
}
QString textOf(const core::Result<bool>& r) {
    return r ? textforms::boolean(r.value()) : QString();
}
QString textOf(const core::Result<int>& r) {
    return r ? textforms::wholeNumber(r.value()) : QString();
}
QString textOf(const core::Result<qint64>& r) {
    return r ? textforms::wholeNumber(r.value()) : QString();
}
QString textOf(const core::Result<double>& r) {
    return r ? textforms::generalReal(r.value()) : QString();
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + text + QStringLiteral("',");
}

// True when a normalised list holds `name` between blanks, ignoring letter case. A name the
// drawing fails to deliver matches no list.
bool listHolds(const QString& list, const core::Result<QString>& name) {
    if (!name) return false;
    return list.contains(QLatin1Char(' ') + name.value() + QLatin1Char(' '), Qt::CaseInsensitive);
}

void dropFinalComma(QString& text) {
    if (text.endsWith(QLatin1Char(','))) text.chop(1);
}

}  // namespace

struct DrawingSession::ExtractOutput {
    platform::TextWriter file;
    bool headerWritten = false;
};

std::pair<std::vector<qint16>, std::vector<QVariant>> DrawingSession::selectionFilter(
    qint16 spaceFlag) const {
    std::vector<qint16> types{0, 67};
    std::vector<QVariant> data{QStringLiteral("INSERT"), QVariant::fromValue<qint16>(spaceFlag)};
    // One layer goes into the drawing's own filter so only matching references are
    // enumerated; several are tested here on each reference. Block names are always tested
    // here: a reference to a dynamic block is named "*U<n>" and matches by its effective name,
    // which the drawing's filter does not know.
    if (recordline::countSpaces(m_layers) == 2) {
        types.push_back(8);
        data.emplace_back(blanks::cut(m_layers));
    }
    return {std::move(types), std::move(data)};
}

qint16 DrawingSession::extractAttributes(const QString& extractPath, QString* error) {
    ExtractOutput out;
    // The extract file belongs to this run alone (the shared extract.txt is put in place whole
    // when the run ends), so it needs neither a temporary copy nor a sync per drawing.
    if (!out.file.open(extractPath, platform::TextWriter::Mode::Scratch)) {
        if (error) *error = kUnableToCreate;
        return -1;
    }
    if (m_document) {
        if (m_space == QLatin1String("MODEL") || m_space == QLatin1String("*")) {
            walkSpace(QStringLiteral("MODEL"), 0, out);
        }
        if (m_space == QLatin1String("PAPER") || m_space == QLatin1String("*")) {
            walkSpace(QStringLiteral("PAPER"), 1, out);
        }
    }
    if (!out.file.commit()) {
        // Reporting success here would let the caller read back a file that was never written.
        if (error) *error = kUnableToCreate;
        return -1;
    }
    return 1;
}

void DrawingSession::walkSpace(const QString& spaceName, qint16 spaceFlag, ExtractOutput& out) {
    auto set = m_document->AddSelectionSet(spaceName);
    if (!set || !set.value()) return;
    const auto [types, data] = selectionFilter(spaceFlag);
    set.value()->Select(acad::kSelectAll, types, data);
    const int count = set.value()->Count();
    for (int i = 0; i < count; ++i) {
        m_ui.processPendingEvents();
        const auto block = set.value()->Item(i);
        if (block && block.value()) writeBlock(*block.value(), spaceName, out);
    }
}

void DrawingSession::writeBlock(const acad::BlockReference& block, const QString& spaceName,
                                ExtractOutput& out) {
    const QLatin1String all("*");
    if (m_blocks != all && !listHolds(m_blocks, block.Name()) &&
        !listHolds(m_blocks, block.EffectiveName()))
        return;
    if (m_layers != all && !listHolds(m_layers, block.Layer())) return;
    if (!block.HasAttributes().valueOr(false)) return;
    const acad::AttributeArray attributes = block.GetAttributes().valueOr({});

    QString record;
    QString header = QStringLiteral("HEADER:");
    for (std::size_t f = 0; f < m_fields.size(); ++f) {
        if (!m_fields[f]) continue;
        header += quoted(QLatin1String(kFieldNames[f]));
        record += quoted(fieldValue(block, static_cast<Field>(f), spaceName));
    }

    bool matched = false;
    if (m_tags.first() == QLatin1String("*")) {
        for (const auto& attribute : attributes) {
            header += quoted(textOf(attribute->TagString()));
            record += quoted(textOf(attribute->TextString()));
            matched = true;
        }
    } else {
        for (const QString& tag : m_tags) header += quoted(tag);
        for (const QString& tag : m_tags) {
            const acad::AttributeReference* found = nullptr;
            for (const auto& attribute : attributes) {
                const auto name = attribute->TagString();
                if (name && name.value().compare(tag, Qt::CaseInsensitive) == 0) {
                    found = attribute.get();
                    break;
                }
            }
            record += found ? quoted(textOf(found->TextString())) : QStringLiteral("'N/A',");
            matched = matched || found;
        }
    }
    dropFinalComma(record);
    dropFinalComma(header);

    if (m_suppress && !matched) return;
    if (!out.headerWritten) {
        out.file.writeLine(header);
        out.headerWritten = true;
    }
    out.file.writeLine(record);
}

QString DrawingSession::fieldValue(const acad::BlockReference& block, Field field,
                                   const QString& spaceName) {
    switch (field) {
        case BLOCK_NAME:
            return textOf(block.Name());
        case BLOCK_EFFECTIVENAME:
            return textOf(block.EffectiveName());
        case BLOCK_LAYER:
            return textOf(block.Layer());
        case BLOCK_SPACE:
            return spaceName;
        case BLOCK_OWNERID:
            return textOf(block.OwnerID());
        case BLOCK_OBJECTID:
            return textOf(block.ObjectID());
        case BLOCK_OBJECTNAME:
            return textOf(block.Objectname());
        case BLOCK_HANDLE:
            return textOf(block.Handle());
        case BLOCK_COLOR:
            return textOf(block.Color());
        case BLOCK_LINETYPE:
            return textOf(block.Linetype());
        case BLOCK_ROTATION:
            return textOf(block.Rotation());
        case BLOCK_VISIBLE:
            return textOf(block.Visible());
        case BLOCK_XSCALE:
            return textOf(block.XScaleFactor());
        case BLOCK_YSCALE:
            return textOf(block.YScaleFactor());
        case BLOCK_ZSCALE:
            return textOf(block.ZScaleFactor());
        case BLOCK_LINETYPESCALE:
            return textOf(block.LinetypeScale());
        case BLOCK_LINEWEIGHT:
            return textOf(block.Lineweight());
        case BLOCK_HASEXTENTIONDICTIONARY:
            return textOf(block.HasExtensionDictionary());
        case BLOCK_X:
        case BLOCK_Y:
        case BLOCK_Z: {
            const auto point = block.InsertionPoint();
            if (!point) return QString();
            const acad::Point3& p = point.value();
            return textforms::singleReal(field == BLOCK_X ? p.x : field == BLOCK_Y ? p.y : p.z);
        }
        case kFieldCount:
            break;
    }
    return QString();
}
