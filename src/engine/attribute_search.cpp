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
    const std::shared_ptr<const drawingapi::Drawing> drawing = session.drawing();
    if (!drawing) return 0;
    Walk walk{criteria,
              drawingName,
              delimiter,
              found,
              normalisedNameList(criteria.blocks),
              normalisedNameList(criteria.layers)};
    // The space text is compared letter for letter: "model" searches nothing.
    const bool both = criteria.space == QLatin1String("Both");
    if (both || criteria.space == QLatin1String("Model")) {
        walkSpace(*drawing, drawingapi::Space::Model, QStringLiteral("Model"), walk);
    }
    if (both || criteria.space == QLatin1String("Paper")) {
        walkSpace(*drawing, drawingapi::Space::Paper, QStringLiteral("Paper"), walk);
    }
    return walk.hits;
}

void AttributeSearch::walkSpace(const drawingapi::Drawing& drawing, drawingapi::Space space,
                                const QString& spaceText, Walk& walk) {
    if (m_abortRequested) return;
    // One layer narrows the drawing's own listing. Block names are always tested here: a
    // reference to a dynamic block is named "*U<n>" and is found by its effective name.
    const QString layerFilter =
        recordline::countSpaces(walk.layers) == 2 ? blanks::cut(walk.layers) : QString();
    const auto references = drawing.blockReferences(space, layerFilter);
    if (!references) return;

    const QLatin1String all("*");
    for (const auto& item : references.value()) {
        m_ui.processPendingEvents();
        if (m_abortRequested) return;
        if (!item) continue;
        const drawingapi::BlockReference& block = *item;
        if (walk.blocks != all && !listHolds(walk.blocks, block.name()) &&
            !listHolds(walk.blocks, block.effectiveName()))
            continue;
        const auto layer = block.layer();
        if (walk.layers != all && !listHolds(walk.layers, layer)) continue;
        if (!block.hasAttributes().valueOr(false)) continue;
        const drawingapi::Attributes attributes = block.attributes().valueOr({});

        // The block's own fields are read once, when its first attribute matches.
        QString blockFields;  // space, name, layer, handle
        QString pointFields;  // X, Y, Z
        const QString& d = walk.delimiter;
        for (const auto& attribute : attributes) {
            if (!attribute) continue;
            const auto tag = attribute->tag();
            const auto value = attribute->value();
            const auto& compared = walk.criteria.findTag ? tag : value;
            if (!compared || !matches(compared.value(), walk.criteria)) continue;
            if (blockFields.isNull()) {
                blockFields = spaceText + d + textOf(block.name()) + d + textOf(layer) + d +
                              textOf(block.handle());
                const auto point = block.insertionPoint();
                if (point) {
                    const drawingapi::Point3& p = point.value();
                    pointFields = textforms::singleReal(p.x) + d + textforms::singleReal(p.y) + d +
                                  textforms::singleReal(p.z);
                } else {
                    pointFields = d + d;
                }
            }
            const QString line = walk.drawingName + d + blockFields + d +
                                 textOf(attribute->handle()) + d + pointFields + d + textOf(tag) +
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
    m_search.clearAbort();
    if (m_jobs > 1 && drawings.size() > 1) {
        totals = runOnThreads(drawings, events);
        m_search.clearAbort();
        m_running = false;
        return totals;
    }
    const QDateTime started = m_clock.now();
    const qint64 hitsBefore = m_search.hitTotal();

    DrawingSession session(m_factory, m_ui);
    totals.started = session.start().ok();
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
            if (const core::Status opened = session.openDrawing(path); !opened) {
                ++totals.openFailures;
                if (events.openFailed) events.openFailed(path, opened.error().description);
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
