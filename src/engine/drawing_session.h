// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "engine/attribute_table.h"
#include "engine/automation/automation.h"
#include "engine/engine_ui.h"

// One drawing session: starts its own drawing application, opens one drawing at a time, holds the
// template's filters and fields, and writes the extract file of the open drawing.
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

    DrawingSession(acad::ApplicationFactory factory, EngineUi& ui);
    ~DrawingSession();
    DrawingSession(const DrawingSession&) = delete;
    DrawingSession& operator=(const DrawingSession&) = delete;

    QString password() const { return m_password; }

    qint16 start();
    qint16 openDrawing(const QString& path, bool readOnly = false,
                       const QString& drawingPassword = QString());
    qint16 closeDrawing();
    void stop();

    // Why the last openDrawing failed, in the reader's words (an unsupported release, a
    // truncated file, a password); empty after a success.
    const QString& openError() const { return m_openError; }
    // `message` followed by the reason of the last failed open in parentheses, when there is one:
    // "Error opening file X. (DWG release AC1014 is not supported)".
    QString withOpenError(const QString& message) const;
    // The reason given for a drawing that did not fit in memory: a run catches the allocation
    // failure of one drawing, tells it with this reason and goes on with the next.
    static QString notEnoughMemory() {
        return QStringLiteral("there is not enough memory for the drawing");
    }
    // The open drawing (null when none), for operations that walk it themselves.
    std::shared_ptr<acad::Document> document() const { return m_document; }

    qint16 loadTemplate(const QString& templatePath, QString* error = nullptr);
    qint16 extractAttributes(const QString& extractPath, QString* error = nullptr);
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
    std::pair<std::vector<qint16>, std::vector<QVariant>> selectionFilter(qint16 spaceFlag) const;
    void walkSpace(const QString& spaceName, qint16 spaceFlag, ExtractOutput& out);
    void writeBlock(const acad::BlockReference& block, const QString& spaceName,
                    ExtractOutput& out);
    static QString fieldValue(const acad::BlockReference& block, Field field,
                              const QString& spaceName);

    acad::ApplicationFactory m_factory;
    EngineUi& m_ui;
    std::shared_ptr<acad::Application> m_application;
    std::shared_ptr<acad::Document> m_document;
    QString m_openError;

    QString m_blocks = QStringLiteral("*");
    QString m_layers = QStringLiteral("*");
    QString m_space = QStringLiteral("*");
    QString m_password;
    std::array<bool, kFieldCount> m_fields{};
    bool m_suppress = false;
    QStringList m_tags;
};
