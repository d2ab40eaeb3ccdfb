// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/selection_filter.h"

#include "drawing/reader_errors.h"

namespace drawing {

core::Result<SelectionFilter> SelectionFilter::parse(const std::vector<qint16>& types,
                                                     const std::vector<QVariant>& data) {
    if (types.size() != data.size())
        return core::Error{errors::kBadArgument,
                           QStringLiteral("the filter has %1 group codes but %2 values")
                               .arg(types.size())
                               .arg(data.size())};
    SelectionFilter filter;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const QVariant& value = data[i];
        switch (types[i]) {
            case 0:
                // Only block references are kept, so any other type selects nothing.
                if (value.toString().compare(u"INSERT", Qt::CaseInsensitive) != 0)
                    filter.m_matchesNothing = true;
                break;
            case 67: {
                bool ok = false;
                const int space = value.toInt(&ok);
                if (!ok || (space != 0 && space != 1))
                    return core::Error{errors::kBadArgument,
                                       QStringLiteral("invalid value \"%1\" for filter group 67")
                                           .arg(value.toString())};
                if (filter.m_paperSpace && *filter.m_paperSpace != (space == 1))
                    filter.m_matchesNothing = true;
                filter.m_paperSpace = space == 1;
                break;
            }
            case 2:
                filter.m_names.push_back(value.toString());
                break;
            case 8:
                filter.m_layers.push_back(value.toString());
                break;
            default:
                return core::Error{
                    errors::kBadArgument,
                    QStringLiteral("filter group code %1 is not supported").arg(types[i])};
        }
    }
    return filter;
}

bool SelectionFilter::matches(const InsertRecord& insert) const {
    if (m_matchesNothing) return false;
    if (m_paperSpace && *m_paperSpace != insert.paperSpace) return false;
    for (const QString& name : m_names)
        if (insert.name.compare(name, Qt::CaseInsensitive) != 0) return false;
    for (const QString& layer : m_layers)
        if (insert.layer.compare(layer, Qt::CaseInsensitive) != 0) return false;
    return true;
}

}  // namespace drawing
