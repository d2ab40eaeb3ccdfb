// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/attribute_search.h"

#include <QFileInfo>
#include <algorithm>
#include <new>

#include "engine/attribute_table.h"
#include "engine/blanks.h"
#include "engine/drawing_session.h"
#include "engine/record_line.h"
#include "engine/text_forms.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace {

// A field the drawing fails to deliver is written empty: the line keeps its columns.
QString textOf(const core::Result<QString>& r) {
    return r ? r.value() : QString();
}

bool listHolds(const QString& list, const core::Result<QString>& name) {
    if (!name) return false;
    return list.contains(QLatin1Char(' ') + name.value() + QLatin1Char(' '), Qt::CaseInsensitive);
}

bool matches(const QString& compared, const SearchCriteria& criteria) {
    const Qt::CaseSensitivity cs = criteria.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (criteria.exactPhrase) return compared.compare(criteria.text, cs) == 0;
    return compared.contains(criteria.text, cs);
}

}  // namespace

QString searchHeaderLine(const QString& delimiter) {
    // The attribute page's columns, behind the drawing each line comes from.
    QStringList columns{QStringLiteral("Drawing")};
    columns.append(QStringList(AttributeTable::kHeaders.begin(), AttributeTable::kHeaders.end()));
    return columns.join(delimiter);
}

QString searchTotalsLine(qint64 hits, qint64 filesWithHits, double seconds) {
    return QString::number(hits) + QStringLiteral(" hits in ") + QString::number(filesWithHits) +
           QStringLiteral(" files in ") + textforms::elapsedSeconds(seconds) +
           QStringLiteral(" seconds");
}

QString normalisedNameList(const QString& list) {
    const QString names = blanks::cut(list);
    if (names == QLatin1String("*")) return names;
    QString spaced = names;
    spaced.replace(QLatin1Char(','), QLatin1Char(' '));
    return QLatin1Char(' ') + spaced + QLatin1Char(' ');
}

// What one drawing's walk needs at each block reference.
struct AttributeSearch::Walk {
    const SearchCriteria& criteria;
    const QString& drawingName;
    const QString& delimiter;
    const LineFound& found;
    QString blocks;
    QString layers;
    qint64 hits = 0;
};

qint64 AttributeSearch::searchDrawing(DrawingSession& session, const QString& drawingName,
                                      const SearchCriteria& criteria, const QString& delimiter,
                                      const LineFound& found) {
    const std::shared_ptr<acad::Document> document = session.document();
    if (!document) return 0;
    Walk walk{criteria,
              drawingName,
              delimiter,
              found,
              normalisedNameList(criteria.blocks),
              normalisedNameList(criteria.layers)};
    // The space text is compared letter for letter: "model" searches nothing.
    const bool both = criteria.space == QLatin1String("Both");
    if (both || criteria.space == QLatin1String("Model")) {
        walkSpace(*document, QStringLiteral("MODEL"), 0, QStringLiteral("Model"), walk);
    }
    if (both || criteria.space == QLatin1String("Paper")) {
        walkSpace(*document, QStringLiteral("PAPER"), 1, QStringLiteral("Paper"), walk);
    }
    return walk.hits;
}

void AttributeSearch::walkSpace(acad::Document& document, const QString& setName, qint16 spaceFlag,
                                const QString& spaceText, Walk& walk) {
    if (m_abortRequested) return;
    auto set = document.AddSelectionSet(setName);
    if (!set || !set.value()) return;
    std::vector<qint16> types{0, 67};
    std::vector<QVariant> data{QStringLiteral("INSERT"), QVariant::fromValue<qint16>(spaceFlag)};
    // One layer narrows the drawing's own selection. Block names are always tested here: a
    // reference to a dynamic block is named "*U<n>" and is found by its effective name, which
    // the drawing's filter does not know.
    if (recordline::countSpaces(walk.layers) == 2) {
        types.push_back(8);
        data.emplace_back(blanks::cut(walk.layers));
    }
    set.value()->Select(acad::kSelectAll, types, data);

    const QLatin1String all("*");
    const int count = set.value()->Count();
    for (int i = 0; i < count; ++i) {
        m_ui.processPendingEvents();
        if (m_abortRequested) return;
        const auto item = set.value()->Item(i);
        if (!item || !item.value()) continue;
        const acad::BlockReference& block = *item.value();
        if (walk.blocks != all && !listHolds(walk.blocks, block.Name()) &&
            !listHolds(walk.blocks, block.EffectiveName()))
            continue;
        const auto layer = block.Layer();
        if (walk.layers != all && !listHolds(walk.layers, layer)) continue;
        if (!block.HasAttributes().valueOr(false)) continue;
        const acad::AttributeArray attributes = block.GetAttributes().valueOr({});

        // The block's own fields are read once, when its first attribute matches.
        QString blockFields;  // space, name, layer, handle
        QString pointFields;  // X, Y, Z
        const QString& d = walk.delimiter;
        for (const auto& attribute : attributes) {
            if (!attribute) continue;
            const auto tag = attribute->TagString();
            const auto value = attribute->TextString();
            const auto& compared = walk.criteria.findTag ? tag : value;
            if (!compared || !matches(compared.value(), walk.criteria)) continue;
            if (blockFields.isNull()) {
                blockFields = spaceText + d + textOf(block.Name()) + d + textOf(layer) + d +
                              textOf(block.Handle());
                const auto point = block.InsertionPoint();
                if (point) {
                    const acad::Point3& p = point.value();
                    pointFields = textforms::singleReal(p.x) + d + textforms::singleReal(p.y) + d +
                                  textforms::singleReal(p.z);
                } else {
                    pointFields = d + d;
                }
            }
            const QString line = walk.drawingName + d + blockFields + d +
                                 textOf(attribute->Handle()) + d + pointFields + d + textOf(tag) +
                                 d + textOf(value);
            ++walk.hits;
            ++m_hitTotal;
            if (walk.found) walk.found(line);
        }
    }
}

FolderPattern splitFolderPattern(const QString& folderPattern) {
    const QString text = blanks::cut(folderPattern);
    qsizetype cut = text.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, text.lastIndexOf(QLatin1Char('\\')));
#endif
    FolderPattern result;
    result.pattern = text.mid(cut + 1);
    if (cut >= 0) result.folder = platform::resolvePath(text.left(cut + 1));
    return result;
}

QStringList drawingsOf(const FolderPattern& folderPattern) {
    const QString folder =
        folderPattern.folder.isEmpty() ? QStringLiteral(".") : folderPattern.folder;
    QStringList paths;
    for (const QString& name :
         platform::listFolder(folder, folderPattern.pattern, platform::ListOptions{})) {
        paths << platform::joinPath(folderPattern.folder, name);
    }
    return paths;
}

SearchRun::Totals SearchRun::run(const QStringList& drawings, const Events& events) {
    Totals totals;
    if (m_running) return totals;  // a search never runs twice at once
    m_running = true;
    const QDateTime started = m_clock.now();
    m_search.clearAbort();
    const qint64 hitsBefore = m_search.hitTotal();

    DrawingSession session(m_factory, m_ui);
    totals.started = session.start() == 1;
    for (qsizetype i = 0; totals.started && i < drawings.size(); ++i) {
        if (i > 0) m_ui.processPendingEvents();
        if (m_search.abortRequested()) {
            totals.aborted = true;
            break;
        }
        const QString& path = drawings[i];
        const QString fileName = QFileInfo(path).fileName();
        if (events.searching) events.searching(fileName);
        try {
            if (session.openDrawing(path, true) != 1) {
                ++totals.openFailures;
                if (events.openFailed) events.openFailed(path, session.openError());
                continue;
            }
            ++totals.drawingsSearched;
            const qint64 hits =
                m_search.searchDrawing(session, recordline::oneLine(m_fullPath ? path : fileName),
                                       m_criteria, m_delimiter, events.lineFound);
            if (hits > 0) ++totals.filesWithHits;
            session.closeDrawing();
        } catch (const std::bad_alloc&) {
            // One drawing too big for the memory is its own failure; the search goes on.
            session.closeDrawing();
            ++totals.openFailures;
            if (events.openFailed) events.openFailed(path, DrawingSession::notEnoughMemory());
        }
    }
    // An abort asked for inside the last drawing ends the run all the same.
    if (m_search.abortRequested()) totals.aborted = true;
    m_search.clearAbort();
    if (totals.started) session.stop();
    totals.hits = m_search.hitTotal() - hitsBefore;
    totals.elapsedSeconds = static_cast<double>(started.msecsTo(m_clock.now())) / 1000.0;
    m_running = false;
    return totals;
}
