// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The block records of a drawing as far as references need them: a reference to a dynamic
// block whose parameters were changed names an anonymous copy ("*U12"), whose record points
// back at the dynamic block's own record (extended data of the application
// "AcDbBlockRepBTag"). That record's name is the reference's effective name, the one users
// know the block by.

#include <QHashFunctions>  // std::hash<QString>
#include <QString>
#include <unordered_map>

#include "drawing/drawing_model.h"

namespace drawing {

// The application name of the extended data that links an anonymous copy to its dynamic
// block.
inline constexpr char kBlockRepresentationApp[] = "AcDbBlockRepBTag";

class BlockRecords {
public:
    // A record by its handle; `dynamicBlock` is the handle the record's "AcDbBlockRepBTag"
    // data names, or 0.
    void add(qint64 handle, const QString& name, qint64 dynamicBlock);
    // The effective name of a reference to the record `record`: the dynamic block's name
    // when the record is an anonymous copy of one the drawing holds, otherwise empty.
    QString effectiveNameOf(qint64 record) const;
    // The same for every reference by its block's name, when the references do not say
    // which record they use (DXF names the block only).
    void resolveByName(Drawing& drawing) const;

private:
    std::unordered_map<qint64, QString> m_names;
    std::unordered_map<qint64, qint64> m_copies;         // anonymous copy: its dynamic block
    std::unordered_map<QString, qint64> m_copiesByName;  // upper-cased name: the copy
};

}  // namespace drawing
