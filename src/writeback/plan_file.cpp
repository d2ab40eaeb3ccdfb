// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/plan_file.h"

#include <QStringList>

namespace writeback {

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString statusWord(ValueStatus status) {
    switch (status) {
        case ValueStatus::Change:
            return QStringLiteral("change");
        case ValueStatus::Unchanged:
            return QStringLiteral("unchanged");
        case ValueStatus::Problem:
            break;
    }
    return QStringLiteral("problem");
}

QString planCsv(const UpdatePlan& plan) {
    QString text = QStringLiteral("DRAWING,ROW,BLOCK,HANDLE,TAG,NOW,NEW,STATUS,REASON\r\n");
    auto line = [&text](const QString& drawing, const PlannedValue& value) {
        const QStringList fields = {drawing,         QString::number(value.sourceRow),
                                    value.blockName, value.blockHandle,
                                    value.tag,       value.now,
                                    value.next,      statusWord(value.status),
                                    value.reason};
        QStringList quoted;
        for (const QString& field : fields) quoted << csvField(field);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    for (const PlannedValue& value : plan.unplaced) line(QString(), value);
    for (const DrawingPlan& drawing : plan.drawings) {
        for (const PlannedValue& value : drawing.values) line(drawing.path, value);
    }
    return text;
}

}  // namespace writeback
