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

// The text as the extract file gives it back: what UTF-8 cannot hold (a lone surrogate of a
// damaged drawing) is replaced the same way, so the records in memory and the file agree.
QString normalised(const QString& text) {
    for (const QChar c : text) {
        if (c.isSurrogate()) return QString::fromUtf8(text.toUtf8());
    }
    return text;
}

void dropFinalComma(QString& text) {
    if (text.endsWith(QLatin1Char(','))) text.chop(1);
}

}  // namespace

struct DrawingSession::ExtractOutput {
    platform::TextWriter file;
    bool headerWritten = false;
    DrawingRecords records;
};

core::Result<DrawingRecords> DrawingSession::extractAttributes(const QString& extractPath) {
    ExtractOutput out;
    // The extract file belongs to this run alone (the shared extract.txt is put in place whole
    // when the run ends), so it needs neither a temporary copy nor a sync per drawing.
    if (!out.file.open(extractPath, platform::TextWriter::Mode::Scratch)) {
        return core::Error{-1, kUnableToCreate};
    }
    if (m_drawing) {
        if (m_space == QLatin1String("MODEL") || m_space == QLatin1String("*")) {
            walkSpace(QStringLiteral("MODEL"), drawingapi::Space::Model, out);
        }
        if (m_space == QLatin1String("PAPER") || m_space == QLatin1String("*")) {
            walkSpace(QStringLiteral("PAPER"), drawingapi::Space::Paper, out);
        }
    }
    if (!out.file.commit()) {
        // The file is part of what an extraction delivers: a run without it is no success.
        return core::Error{-1, kUnableToCreate};
    }
    return std::move(out.records);
}

void DrawingSession::walkSpace(const QString& spaceName, drawingapi::Space space,
                               ExtractOutput& out) {
    // One layer narrows the drawing's own listing so only matching references are walked;
    // several are tested here on each reference. Block names are always tested here: a
    // reference to a dynamic block is named "*U<n>" and matches by its effective name.
    const QString layer =
        recordline::countSpaces(m_layers) == 2 ? blanks::cut(m_layers) : QString();
    const auto references = m_drawing->blockReferences(space, layer);
    if (!references) return;
    for (const auto& block : references.value()) {
        m_ui.processPendingEvents();
        if (block) writeBlock(*block, spaceName, out);
    }
}

void DrawingSession::writeBlock(const drawingapi::BlockReference& block, const QString& spaceName,
                                ExtractOutput& out) {
    const QLatin1String all("*");
    if (m_blocks != all && !listHolds(m_blocks, block.name()) &&
        !listHolds(m_blocks, block.effectiveName()))
        return;
    if (m_layers != all && !listHolds(m_layers, block.layer())) return;
    if (!block.hasAttributes().valueOr(false)) return;
    const drawingapi::Attributes attributes = block.attributes().valueOr({});

    QString record;
    QString header = QStringLiteral("HEADER:");
    RecordSource source{QString(), spaceName, textOf(block.name()), textOf(block.handle()), {}};
    for (std::size_t f = 0; f < m_fields.size(); ++f) {
        if (!m_fields[f]) continue;
        header += quoted(QLatin1String(kFieldNames[f]));
        record += quoted(fieldValue(block, static_cast<Field>(f), spaceName));
    }

    bool matched = false;
    if (m_tags.first() == QLatin1String("*")) {
        for (const auto& attribute : attributes) {
            header += quoted(textOf(attribute->tag()));
            record += quoted(textOf(attribute->value()));
            source.attributes.push_back({textOf(attribute->tag()), textOf(attribute->handle())});
            matched = true;
        }
    } else {
        for (const QString& tag : m_tags) header += quoted(tag);
        for (const QString& tag : m_tags) {
            const drawingapi::Attribute* found = nullptr;
            for (const auto& attribute : attributes) {
                const auto name = attribute->tag();
                if (name && name.value().compare(tag, Qt::CaseInsensitive) == 0) {
                    found = attribute.get();
                    break;
                }
            }
            record += found ? quoted(textOf(found->value())) : QStringLiteral("'N/A',");
            source.attributes.push_back({tag, found ? textOf(found->handle()) : QString()});
            matched = matched || found;
        }
    }
    dropFinalComma(record);
    dropFinalComma(header);

    if (m_suppress && !matched) return;
    if (!out.headerWritten) {
        out.file.writeLine(header);
        out.headerWritten = true;
        out.records.header = normalised(header.mid(7));
    }
    out.file.writeLine(record);
    out.records.records.push_back({normalised(record), std::move(source)});
}

QString DrawingSession::fieldValue(const drawingapi::BlockReference& block, Field field,
                                   const QString& spaceName) {
    switch (field) {
        case BLOCK_NAME:
            return textOf(block.name());
        case BLOCK_EFFECTIVENAME:
            return textOf(block.effectiveName());
        case BLOCK_LAYER:
            return textOf(block.layer());
        case BLOCK_SPACE:
            return spaceName;
        case BLOCK_OWNERID:
            return textOf(block.ownerId());
        case BLOCK_OBJECTID:
            return textOf(block.objectId());
        case BLOCK_OBJECTNAME:
            return textOf(block.objectName());
        case BLOCK_HANDLE:
            return textOf(block.handle());
        case BLOCK_COLOR:
            return textOf(block.color());
        case BLOCK_LINETYPE:
            return textOf(block.linetype());
        case BLOCK_ROTATION:
            return textOf(block.rotation());
        case BLOCK_VISIBLE:
            return textOf(block.visible());
        case BLOCK_XSCALE:
            return textOf(block.xScale());
        case BLOCK_YSCALE:
            return textOf(block.yScale());
        case BLOCK_ZSCALE:
            return textOf(block.zScale());
        case BLOCK_LINETYPESCALE:
            return textOf(block.linetypeScale());
        case BLOCK_LINEWEIGHT:
            return textOf(block.lineweight());
        case BLOCK_HASEXTENTIONDICTIONARY:
            return textOf(block.hasExtensionDictionary());
        case BLOCK_X:
        case BLOCK_Y:
        case BLOCK_Z: {
            const auto point = block.insertionPoint();
            if (!point) return QString();
            const drawingapi::Point3& p = point.value();
            return textforms::singleReal(field == BLOCK_X ? p.x : field == BLOCK_Y ? p.y : p.z);
        }
        case kFieldCount:
            break;
    }
    return QString();
}
