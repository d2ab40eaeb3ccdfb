// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "engine/attribute_table.h"
#include "engine/drawing_api/drawing_api.h"
#include "engine/engine_ui.h"
#include "engine/extracted_records.h"

// One drawing session: creates its own drawing reader, holds one drawing open at a time, holds
// the template's filters and fields, and writes the extract file of the open drawing.
class DrawingSession {
public:
    // The output fields of a template, in the fixed order their columns are written.
    enum Field {
        BLOCK_NAME,
        BLOCK_EFFECTIVENAME,
        BLOCK_LAYER,
        BLOCK_SPACE,
        BLOCK_OWNERID,
        BLOCK_OBJECTID,
        BLOCK_OBJECTNAME,
        BLOCK_HANDLE,
        BLOCK_COLOR,
        BLOCK_LINETYPE,
        BLOCK_ROTATION,
        BLOCK_VISIBLE,
        BLOCK_XSCALE,
        BLOCK_YSCALE,
        BLOCK_ZSCALE,
        BLOCK_LINETYPESCALE,
        BLOCK_LINEWEIGHT,
        BLOCK_HASEXTENTIONDICTIONARY,
        BLOCK_X,
        BLOCK_Y,
        BLOCK_Z,
        kFieldCount
    };
    static const std::array<const char*, kFieldCount> kFieldNames;

    DrawingSession(drawingapi::ReaderFactory factory, EngineUi& ui);
    ~DrawingSession();
    DrawingSession(const DrawingSession&) = delete;
    DrawingSession& operator=(const DrawingSession&) = delete;

    QString password() const { return m_password; }

    // Creates the reader; a failure has been shown to the user, and its reason is returned.
    core::Status start();
    // Opens a drawing in place of the open one; the error says why it could not be read (an
    // unsupported release, a truncated file, a password). A password of blanks only is none.
    core::Status openDrawing(const QString& path, const QString& password = {});
    void closeDrawing();
    // Lets go of the open drawing and the reader.
    void stop();

    // The reason given for a drawing that did not fit in memory: a run catches the allocation
    // failure of one drawing, tells it with this reason and goes on with the next.
    static QString notEnoughMemory() {
        return QStringLiteral("there is not enough memory for the drawing");
    }
    // The open drawing (null when none), for operations that walk it themselves.
    std::shared_ptr<const drawingapi::Drawing> drawing() const { return m_drawing; }

    // The error's description is the message the user sees.
    core::Status loadTemplate(const QString& templatePath);
    // The open drawing's records (none when none is open), also written to `extractPath` for
    // the users and scripts that read it.
    core::Result<DrawingRecords> extractAttributes(const QString& extractPath);
    // Every attribute of the open drawing, model space first; an error when none is open.
    core::Result<AttributeTable> attributeTable();

    // Template state, read by the callers that report what a template asked for.
    const QString& blocks() const { return m_blocks; }
    const QString& layers() const { return m_layers; }
    const QString& space() const { return m_space; }
    bool field(Field f) const { return m_fields[f]; }
    bool suppress() const { return m_suppress; }
    const QStringList& tags() const { return m_tags; }

private:
    struct ExtractOutput;
    void walkSpace(const QString& spaceName, drawingapi::Space space, ExtractOutput& out);
    void writeBlock(const drawingapi::BlockReference& block, const QString& spaceName,
                    ExtractOutput& out);
    static QString fieldValue(const drawingapi::BlockReference& block, Field field,
                              const QString& spaceName);

    drawingapi::ReaderFactory m_factory;
    EngineUi& m_ui;
    std::shared_ptr<drawingapi::DrawingReader> m_reader;
    std::shared_ptr<const drawingapi::Drawing> m_drawing;

    QString m_blocks = QStringLiteral("*");
    QString m_layers = QStringLiteral("*");
    QString m_space = QStringLiteral("*");
    QString m_password;
    std::array<bool, kFieldCount> m_fields{};
    bool m_suppress = false;
    QStringList m_tags;
};
