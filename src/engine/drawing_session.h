#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "engine/automation/automation.h"
#include "engine/engine_ui.h"

// One drawing session: starts its own drawing application, opens one drawing at a time, holds the
// template's filters and fields, and writes the extract file of the open drawing.
class cAutoCAD {
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

    cAutoCAD(acad::ApplicationFactory factory, EngineUi& ui);
    ~cAutoCAD();
    cAutoCAD(const cAutoCAD&) = delete;
    cAutoCAD& operator=(const cAutoCAD&) = delete;

    QString Password() const { return mstrPassword; }

    qint16 OpenAutoCAD();
    qint16 OpenDrawing(const QString& strDrawing, bool blnReadOnly = false,
                       const QString& strPword = QString());
    qint16 CloseDrawing();
    void CloseAutoCAD();

    // Why the last OpenDrawing failed, in the reader's words (an unsupported release, a
    // truncated file, a password); empty after a success.
    const QString& openError() const { return m_openError; }
    // `message` followed by the reason of the last failed open in parentheses, when there is one:
    // "Error opening file X. (DWG release AC1014 is not supported)".
    QString withOpenError(const QString& message) const;
    // The open drawing (null when none), for operations that walk it themselves.
    std::shared_ptr<acad::Document> document() const { return mobjDoc; }

    qint16 PrepTemplate(const QString& strTemplateFile, QString* strErr = nullptr);
    qint16 GetAttributes(const QString& strExtractFile, QString* strErr = nullptr);
    // Every attribute of the open drawing as an AttributeTable (attribute_table.h); the variable
    // is left as it was when no drawing is open.
    void CreateArray(QVariant& varArray);

    // Template state, read by the callers that report what a template asked for.
    const QString& blocks() const { return mstrBlocks; }
    const QString& layers() const { return mstrLayers; }
    const QString& space() const { return mstrSpace; }
    bool field(Field f) const { return mblnFields[f]; }
    bool suppress() const { return mblnSuppress; }
    const QStringList& tags() const { return mastrTags; }

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
    std::shared_ptr<acad::Application> mobjAcad;
    std::shared_ptr<acad::Document> mobjDoc;
    QString m_openError;

    QString mstrBlocks = QStringLiteral("*");
    QString mstrLayers = QStringLiteral("*");
    QString mstrSpace = QStringLiteral("*");
    QString mstrPassword;
    std::array<bool, kFieldCount> mblnFields{};
    bool mblnSuppress = false;
    QStringList mastrTags;
};
