// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/value_writer.h"

#include <map>
#include <optional>
#include <unordered_map>

#include "drawing/dwg/dwg_reader.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/flat_file_writer.h"
#include "drawing/dwg/reference_objects.h"
#include "drawing/dwg/section_writer.h"
#include "drawing/dwg/sections.h"
#include "drawing/text_decoder.h"
#include "drawing/text_encoder.h"

namespace drawing::dwg {

namespace {

core::Error fileError(const QString& why) {
    return core::Error{errors::kValueNotWritable, why};
}

QString nameOf(const AttributeLocator& locator) {
    return locator.handle.isEmpty() ? QStringLiteral("#%1").arg(locator.ordinal) : locator.handle;
}

core::Error refusal(long number, const AttributeLocator& locator, const QString& reason) {
    return core::Error{number, QStringLiteral("attribute %1: %2").arg(nameOf(locator), reason)};
}

// What the objects are read from: the file itself up to R2000, its sections after.
struct Container {
    Release release = Release::R2000;
    int codePage = 0;
    Sections sections;         // R2004 and later
    std::string_view objects;  // where the map's offsets count from
    ObjectMap map;
};

std::optional<Container> openContainer(std::string_view file, Release release, QString& problem) {
    Container c;
    c.release = release;
    if (release <= Release::R2000) {
        const auto header = readFileHeader(file, true, problem);
        if (!header) return std::nullopt;
        c.codePage = header->codePage;
        const SectionLocation& where = header->objectMap;
        if (where.offset > file.size() || where.size > file.size() - where.offset) {
            problem = QStringLiteral("the object map lies beyond the end of the file");
            return std::nullopt;
        }
        auto map =
            ObjectMap::read(file.substr(where.offset, where.size), file.size(), true, problem);
        if (!map) return std::nullopt;
        c.map = std::move(*map);
        c.objects = file;
        return c;
    }
    auto sections = release == Release::R2007 ? readR2007Sections(file, {}, problem)
                                              : readPagedSections(file, {}, problem);
    if (!sections) return std::nullopt;
    c.sections = std::move(*sections);
    c.codePage = c.sections.codePage;
    auto map = ObjectMap::read(c.sections.handles, c.sections.objects.size(), true, problem);
    if (!map) return std::nullopt;
    c.map = std::move(*map);
    return c;
}

// The attribute `handle` as stored, for its layout (single-line or multiline).
std::optional<AttribObject> storedAttrib(const Container& c, std::uint64_t handle) {
    const std::string_view objects =
        c.release <= Release::R2000 ? c.objects : std::string_view(c.sections.objects);
    const auto offset = c.map.find(handle);
    if (!offset) return std::nullopt;
    QString unused;
    const auto raw = readRawObject(objects, *offset, c.release, true, unused);
    AttribObject attrib;
    if (!raw || raw->type != type::kAttrib || !readAttrib(*raw, attrib)) return std::nullopt;
    return attrib;
}

// The texts to store for `value`, or the reason it cannot be stored.
QString encodeTexts(TextEncoder& encoder, const AttribObject& stored, const QString& value,
                    AttribTexts& out) {
    EncodedText text;
    if (!stored.multiline) {
        if (QString reason = encoder.encodeLine(value, text); !reason.isEmpty()) return reason;
        out.value = std::move(text.bytes);
        return {};
    }
    if (QString reason = encoder.encodeMultiline(value, text); !reason.isEmpty()) return reason;
    out.multiline = std::move(text.bytes);
    // The single-line value holds the first line, as AutoCAD writes it.
    QString first = value.section(QLatin1Char('\n'), 0, 0);
    if (first.endsWith(QLatin1Char('\r'))) first.chop(1);
    first = first.section(QLatin1Char('\r'), 0, 0);
    EncodedText line;
    if (QString reason = encoder.encodeLine(first, line); !reason.isEmpty()) return reason;
    out.value = std::move(line.bytes);
    return {};
}

std::optional<std::string> writeContainer(std::string_view file, Container& c,
                                          const std::vector<AttribEdit>& edits, QString& problem) {
    if (c.release <= Release::R2000) return rewriteFlatFile(file, c.release, edits, problem);
    auto edited = editAttributes(c.sections.objects, std::move(c.map), c.release, edits, problem);
    if (!edited) return std::nullopt;
    const ChangedSections changed{std::move(edited->objects), std::move(edited->map)};
    return c.release == Release::R2007 ? rewriteR2007File(file, changed, problem)
                                       : rewritePagedFile(file, changed, problem);
}

// What a write needs, found without writing: the drawing as read, its objects, and each change
// encoded, with the value the reader will give back.
struct Prepared {
    Drawing drawing;
    std::optional<Container> container;
    std::vector<AttribEdit> changes;
    std::vector<std::pair<std::size_t, QString>> expected;  // attribute index, value read back
};

// Everything a write does before the file is put together: the first edit that cannot be
// applied, or nothing.
std::optional<core::Error> prepare(std::string_view file,
                                   const std::vector<AttributeValueEdit>& edits, Prepared& out) {
    const std::string_view version = file.substr(0, 6);
    const auto release = releaseOf(version);
    if (!release) {
        const QString name =
            QString::fromLatin1(version.data(), static_cast<qsizetype>(version.size()));
        if (releaseName(file).isEmpty())
            return fileError(QStringLiteral("the file is not a DWG file of a known release"));
        return fileError(QStringLiteral("writing DWG release %1 is not supported").arg(name));
    }
    Drawing& drawing = out.drawing;
    if (const QString why = readDwg(file, drawing); !why.isEmpty())
        return fileError(QStringLiteral("the drawing cannot be read completely: ") + why);

    // Each edit's attribute: by handle (letter case aside) or by its index.
    std::map<QString, std::vector<std::size_t>> byHandle;
    for (std::size_t i = 0; i < drawing.attributes.size(); ++i)
        byHandle[drawing.attributes[i].handle.toQString().toUpper()].push_back(i);
    QString problem;
    out.container = openContainer(file, *release, problem);
    auto& container = out.container;
    if (!container)
        return fileError(QStringLiteral("the drawing cannot be read completely: ") + problem);
    TextEncoder encoder(version, codePageName(container->codePage));
    TextDecoder decoder;
    if (*release < Release::R2007) decoder.setCodePage(codePageName(container->codePage));

    std::unordered_map<std::size_t, std::size_t> editOfAttribute;
    std::vector<AttribEdit>& changes = out.changes;
    for (std::size_t e = 0; e < edits.size(); ++e) {
        const AttributeValueEdit& edit = edits[e];
        std::size_t index = 0;
        if (edit.attribute.handle.isEmpty()) {
            if (edit.attribute.ordinal >= drawing.attributes.size())
                return refusal(
                    errors::kAttributeNotFound, edit.attribute,
                    QStringLiteral("not found; the drawing has %1 attributes, counted from 0")
                        .arg(drawing.attributes.size()));
            index = edit.attribute.ordinal;
        } else {
            const auto found = byHandle.find(edit.attribute.handle.trimmed().toUpper());
            if (found == byHandle.end())
                return refusal(errors::kAttributeNotFound, edit.attribute,
                               QStringLiteral("no attribute has this handle"));
            if (found->second.size() > 1)
                return refusal(
                    errors::kAttributeNotFound, edit.attribute,
                    QStringLiteral("%1 attributes have this handle").arg(found->second.size()));
            index = found->second.front();
        }
        const auto [earlier, first] = editOfAttribute.emplace(index, e);
        if (!first) {
            if (edits[earlier->second].value == edit.value) continue;
            return refusal(errors::kValueNotWritable, edit.attribute,
                           QStringLiteral("given two different values"));
        }
        if (drawing.attributes[index].text == edit.value) continue;
        const std::uint64_t handle =
            drawing.attributes[index].handle.toQString().toULongLong(nullptr, 16);
        const auto stored = storedAttrib(*container, handle);
        if (!stored)
            return refusal(errors::kValueNotWritable, edit.attribute,
                           QStringLiteral("its object cannot be read"));
        AttribEdit change{handle, {}};
        if (QString reason = encodeTexts(encoder, *stored, edit.value, change.texts);
            !reason.isEmpty())
            return refusal(errors::kValueNotWritable, edit.attribute, reason);
        out.expected.emplace_back(index, stored->multiline
                                             ? decoder.decodeMText(change.texts.multiline)
                                             : decoder.decode(change.texts.value));
        changes.push_back(std::move(change));
    }
    return std::nullopt;
}

}  // namespace

core::Status checkAttributeValues(std::string_view file,
                                  const std::vector<AttributeValueEdit>& edits) {
    Prepared prepared;
    if (auto refused = prepare(file, edits, prepared)) return *refused;
    return core::Done{};
}

core::Result<QByteArray> rewriteAttributeValues(std::string_view file,
                                                const std::vector<AttributeValueEdit>& edits) {
    Prepared prepared;
    if (auto refused = prepare(file, edits, prepared)) return *refused;
    const Drawing& drawing = prepared.drawing;
    if (prepared.changes.empty())
        return QByteArray(file.data(), static_cast<qsizetype>(file.size()));

    QString problem;
    const auto written = writeContainer(file, *prepared.container, prepared.changes, problem);
    if (!written) return fileError(problem);
    // Trusted only once read back whole: the new values, every other attribute as it was.
    Drawing check;
    if (const QString why = readDwg(*written, check); !why.isEmpty())
        return fileError(QStringLiteral("the written drawing does not read back: ") + why);
    bool same = check.attributes.size() == drawing.attributes.size() &&
                check.inserts.size() == drawing.inserts.size();
    for (std::size_t i = 0; same && i < check.attributes.size(); ++i)
        same = check.attributes[i].tag == drawing.attributes[i].tag;
    std::vector<QString> texts;
    for (const AttributeRecord& a : drawing.attributes) texts.push_back(a.text);
    for (const auto& [index, value] : prepared.expected) texts[index] = value;
    for (std::size_t i = 0; same && i < texts.size(); ++i)
        same = check.attributes[i].text == texts[i];
    if (!same)
        return fileError(QStringLiteral("the written drawing does not read back as intended"));
    return QByteArray(written->data(), static_cast<qsizetype>(written->size()));
}

}  // namespace drawing::dwg
