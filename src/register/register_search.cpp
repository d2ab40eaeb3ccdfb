// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register_search.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>

#include "platform/folder_listing.h"
#include "platform/name_order.h"
#include "platform/paths.h"
#include "register/drawing_walk.h"

namespace reg {
namespace {

using core::Error;
using core::Result;

Error notInRegister() {
    return Error{1, QStringLiteral("not kept in the register")};
}

class EntryAttributeView : public drawingapi::Attribute {
public:
    explicit EntryAttributeView(const EntryAttribute& attribute) : m_attribute(attribute) {}
    Result<QString> tag() const override { return m_attribute.tag; }
    Result<QString> value() const override { return m_attribute.value; }
    Result<QString> handle() const override { return m_attribute.handle; }

private:
    EntryAttribute m_attribute;
};

// A stored reference. What the register does not keep (colour, scale ...) is an error, which
// the search never asks for.
class EntryReferenceView : public drawingapi::BlockReference {
public:
    explicit EntryReferenceView(std::shared_ptr<const Entry> entry, const EntryReference& ref)
        : m_entry(std::move(entry)), m_reference(ref) {}
    Result<QString> name() const override { return m_reference.blockName; }
    Result<QString> effectiveName() const override { return m_reference.effectiveName; }
    Result<QString> layer() const override { return m_reference.layer; }
    Result<bool> hasAttributes() const override { return !m_reference.attributes.empty(); }
    Result<drawingapi::Attributes> attributes() const override {
        drawingapi::Attributes attributes;
        for (const EntryAttribute& attribute : m_reference.attributes)
            attributes.push_back(std::make_shared<EntryAttributeView>(attribute));
        return attributes;
    }
    Result<qint64> ownerId() const override { return notInRegister(); }
    Result<qint64> objectId() const override { return notInRegister(); }
    Result<QString> objectName() const override { return notInRegister(); }
    Result<QString> handle() const override { return m_reference.handle; }
    Result<int> color() const override { return notInRegister(); }
    Result<QString> linetype() const override { return notInRegister(); }
    Result<double> rotation() const override { return notInRegister(); }
    Result<bool> visible() const override { return notInRegister(); }
    Result<double> xScale() const override { return notInRegister(); }
    Result<double> yScale() const override { return notInRegister(); }
    Result<double> zScale() const override { return notInRegister(); }
    Result<double> linetypeScale() const override { return notInRegister(); }
    Result<int> lineweight() const override { return notInRegister(); }
    Result<bool> hasExtensionDictionary() const override { return notInRegister(); }
    Result<drawingapi::Point3> insertionPoint() const override {
        return drawingapi::Point3{m_reference.x, m_reference.y, m_reference.z};
    }

private:
    std::shared_ptr<const Entry> m_entry;  // keeps m_reference alive
    const EntryReference& m_reference;
};

class EntryDrawing : public drawingapi::Drawing {
public:
    explicit EntryDrawing(std::shared_ptr<const Entry> entry) : m_entry(std::move(entry)) {}
    Result<drawingapi::BlockReferences> blockReferences(drawingapi::Space space,
                                                        const QString& layer) const override {
        const bool paper = space == drawingapi::Space::Paper;
        drawingapi::BlockReferences references;
        for (const EntryReference& reference : m_entry->references) {
            if (reference.paperSpace != paper) continue;
            // As the drawing reader: the layer compared ignoring letter case, no wildcards.
            if (!layer.isEmpty() && reference.layer.compare(layer, Qt::CaseInsensitive) != 0)
                continue;
            references.push_back(std::make_shared<EntryReferenceView>(m_entry, reference));
        }
        return references;
    }

private:
    std::shared_ptr<const Entry> m_entry;
};

class EntryReader : public drawingapi::DrawingReader {
public:
    explicit EntryReader(std::shared_ptr<const QHash<QString, std::shared_ptr<const Entry>>> e)
        : m_entries(std::move(e)) {}
    Result<std::shared_ptr<const drawingapi::Drawing>> open(const QString& path,
                                                            const QString&) override {
        const auto found = m_entries->constFind(path);
        if (found == m_entries->constEnd()) return Error{1, QStringLiteral("not in the register")};
        if (!(*found)->readError.isEmpty()) return Error{1, (*found)->readError};
        return std::shared_ptr<const drawingapi::Drawing>(std::make_shared<EntryDrawing>(*found));
    }

private:
    std::shared_ptr<const QHash<QString, std::shared_ptr<const Entry>>> m_entries;
};

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

QString indexedTimeText(qint64 msSinceEpoch) {
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

EntryQuery entryQueryFor(const SearchCriteria& criteria) {
    EntryQuery query;
    // The space text is compared letter for letter, as the search does: any other searches
    // nothing, and the search finds that out itself.
    if (criteria.space == QLatin1String("Model")) query.space = QStringLiteral("MODEL");
    if (criteria.space == QLatin1String("Paper")) query.space = QStringLiteral("PAPER");
    query.onTag = criteria.findTag;
    query.value = criteria.text;
    if (criteria.matchCase) {
        query.text = criteria.exactPhrase ? EntryQuery::Text::Equal : EntryQuery::Text::Contains;
    } else if (isAscii(criteria.text) && !criteria.text.contains(u's', Qt::CaseInsensitive) &&
               !criteria.text.contains(u'k', Qt::CaseInsensitive)) {
        // Ignoring case, the search folds letters as Unicode does; the databases fold ASCII
        // letters only. That narrows nothing away for an ASCII text, but for two letters: the
        // long s and the Kelvin sign fold to "s" and "k" from outside ASCII.
        query.text = criteria.exactPhrase ? EntryQuery::Text::EqualIgnoringAsciiCase
                                          : EntryQuery::Text::ContainsIgnoringAsciiCase;
    }
    return query;
}

Result<RegisterSearch> prepareRegisterSearch(RegisterDatabase& database,
                                             const SearchCriteria& criteria,
                                             const std::optional<FolderPattern>& where) {
    EntryQuery query = entryQueryFor(criteria);
    QString root;
    if (where) {
        // The register names drawings by their folder's real path, links resolved.
        root =
            registerRoots({where->folder.isEmpty() ? QStringLiteral(".") : where->folder}).value(0);
        query.pathPrefix = root.endsWith(u'/') ? root : root + u'/';
    }
    auto found = database.entries(query);
    if (!found) return found.error();

    struct Named {
        QString key;  // what the order is decided on
        QString name;
        std::shared_ptr<const Entry> entry;
    };
    std::vector<Named> named;
    for (Entry& entry : found.value()) {
        if (!where) {
            named.push_back({entry.path, entry.path, std::make_shared<Entry>(std::move(entry))});
            continue;
        }
        const QString fileName = entry.path.mid(query.pathPrefix.size());
        // Only the folder itself, not its subfolders; hidden files are not listed.
        if (fileName.contains(u'/') || fileName.startsWith(u'.') ||
            !platform::patternLists(fileName, where->pattern))
            continue;
        named.push_back({fileName, platform::joinPath(where->folder, fileName),
                         std::make_shared<Entry>(std::move(entry))});
    }
    std::sort(named.begin(), named.end(),
              [](const Named& a, const Named& b) { return platform::nameLess(a.key, b.key); });

    RegisterSearch search;
    auto entries = std::make_shared<QHash<QString, std::shared_ptr<const Entry>>>();
    for (Named& drawing : named) {
        search.drawings << drawing.name;
        search.indexedAt.insert(drawing.name, drawing.entry->indexedAt);
        entries->insert(drawing.name, std::move(drawing.entry));
    }
    std::shared_ptr<const QHash<QString, std::shared_ptr<const Entry>>> shared = entries;
    search.reader = [shared]() -> Result<std::shared_ptr<drawingapi::DrawingReader>> {
        return std::shared_ptr<drawingapi::DrawingReader>(std::make_shared<EntryReader>(shared));
    };
    return search;
}

}  // namespace reg
