// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dxf_parser.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <unordered_map>

#include "drawing/block_records.h"
#include "drawing/ocs.h"
#include "drawing/space_order.h"
#include "drawing/string_pool.h"
#include "drawing/text_decoder.h"

namespace drawing {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool parseReal(std::string_view text, double& out) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int clampToInt(long long value) {
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

// An INSERT being read: the record plus what is needed to finish it.
struct InsertInProgress {
    InsertRecord record;
    Point3 ocsPoint;
    Point3 extrusion{0, 0, 1};
    long long columns = 1;
    long long rows = 1;
    bool paperFlag = false;  // 67 = 1
};

template <typename Tokenizer>
class Parser {
public:
    Parser(Tokenizer& groups, Drawing& drawing)
        : m_groups(groups), m_drawing(drawing), m_pool(m_decoder) {}

    QString run();

private:
    bool next() {
        if (m_groups.next(m_g)) return true;
        if (!m_groups.failed())
            m_error = QStringLiteral("unexpected end of file at %1").arg(m_groups.whereEnd());
        return false;
    }
    bool fail(const QString& message) {
        if (m_error.isEmpty()) m_error = message;
        return false;
    }
    bool isEntity(std::string_view type) const { return m_g.code == 0 && m_g.text == type; }
    bool badValue() {
        const QString value =
            m_g.kind == ValueKind::Text
                ? QString::fromLatin1(m_g.text.data(), static_cast<qsizetype>(std::min<std::size_t>(
                                                           m_g.text.size(), 24)))
                : QString();
        return fail(QStringLiteral("invalid value \"%1\" for group %2 at %3")
                        .arg(value, QString::number(m_g.code), m_groups.where()));
    }
    bool intValue(long long& out);
    bool realValue(double& out);

    // Each reader below starts on its opening group and returns on the first group after it
    // (a group 0), or false when the file ends or is malformed.
    bool skipEntity();
    // Walks a section entity by entity: on its return the parser stands on the next entity of
    // `section` (Entity), on the section's ENDSEC (End), or the walk failed (Failed) because the
    // file ended or another section began without this one's ENDSEC.
    enum class SectionStep { Entity, End, Failed };
    SectionStep toEntityOf(const char* section);
    bool readSection();
    bool readHeader();
    bool readTables();
    bool readBlockRecord();
    bool readBlocks();
    bool readEntities(int space, std::string_view endMarker);
    bool readInsert(int space);
    bool readAttribute();
    bool readLayout();
    bool readDictionary();
    bool skipSection();

    Tokenizer& m_groups;
    Drawing& m_drawing;
    Group m_g;
    QString m_error;
    TextDecoder m_decoder;
    StringPool m_pool;
    SpaceOrder m_spaces;
    BlockRecords m_blockRecords;
    std::vector<std::int32_t> m_spaceOfInsert;
    std::string m_mtext;  // reused so a multiline attribute costs no allocation per chunk
    // The extension dictionaries of attributes (upper-case handle), each with its attribute's
    // index: a DICTIONARY among them holding ACAD_FIELD makes its attribute a field's result.
    std::unordered_map<std::string, std::uint32_t> m_attributeOfDictionary;
};

template <typename Tokenizer>
bool Parser<Tokenizer>::intValue(long long& out) {
    switch (m_g.kind) {
        case ValueKind::Integer:
            out = m_g.integer;
            return true;
        case ValueKind::Real:
            if (!std::isfinite(m_g.real) || std::fabs(m_g.real) > 9.0e18) return badValue();
            out = static_cast<long long>(m_g.real);
            return true;
        case ValueKind::Binary:
            return badValue();
        case ValueKind::Text:
            break;
    }
    std::string_view text = trimmed(m_g.text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    if (!text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size())
        return true;
    // Some writers put a real where an integer belongs ("1.0").
    double real;
    if (parseReal(text, real) && std::isfinite(real) && std::fabs(real) < 9.0e18) {
        out = static_cast<long long>(real);
        return true;
    }
    return badValue();
}

template <typename Tokenizer>
bool Parser<Tokenizer>::realValue(double& out) {
    switch (m_g.kind) {
        case ValueKind::Real:
            out = m_g.real;
            return true;
        case ValueKind::Integer:
            out = static_cast<double>(m_g.integer);
            return true;
        case ValueKind::Binary:
            return badValue();
        case ValueKind::Text:
            break;
    }
    return parseReal(m_g.text, out) || badValue();
}

template <typename Tokenizer>
QString Parser<Tokenizer>::run() {
    m_drawing.release = QStringLiteral("AC1009");
    bool sawSection = false;
    if (!next()) {
        return m_groups.failed() ? m_groups.error() : QStringLiteral("the file holds no DXF data");
    }
    for (;;) {
        if (m_g.code == 999) {  // comment
            if (!next()) break;
            continue;
        }
        if (isEntity("SECTION")) {
            sawSection = true;
            if (!readSection()) break;
            continue;
        }
        if (isEntity("EOF")) {
            m_blockRecords.resolveByName(m_drawing);
            m_spaces.finish(m_drawing, m_spaceOfInsert);
            return {};
        }
        if (!sawSection)
            return QStringLiteral("not a DXF file: no SECTION at %1").arg(m_groups.where());
        // Only a text value is shown: a number's text view is left over from an earlier group.
        const std::string_view shown =
            m_g.kind == ValueKind::Text ? m_g.text.substr(0, 24) : std::string_view();
        fail(QStringLiteral("unexpected group %1 \"%2\" between sections at %3")
                 .arg(QString::number(m_g.code),
                      QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())),
                      m_groups.where()));
        break;
    }
    if (m_groups.failed()) return m_groups.error();
    return m_error.isEmpty() ? QStringLiteral("malformed DXF file") : m_error;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readSection() {
    if (!next()) return false;
    if (m_g.code != 2)
        return fail(QStringLiteral("section without a name at %1").arg(m_groups.where()));
    const std::string_view name = m_g.text;
    bool ok;
    if (name == "HEADER") {
        ok = readHeader();
    } else if (name == "TABLES") {
        ok = readTables();
    } else if (name == "BLOCKS") {
        ok = readBlocks();
    } else if (name == "ENTITIES") {
        if (!next()) return false;
        ok = readEntities(SpaceOrder::kNotALayout, "ENDSEC");
    } else if (name == "OBJECTS") {
        if (!next()) return false;
        SectionStep step;
        while ((step = toEntityOf("OBJECTS")) == SectionStep::Entity) {
            bool read = true;
            if (isEntity("LAYOUT")) {
                read = readLayout();
            } else if (isEntity("DICTIONARY") && !m_attributeOfDictionary.empty()) {
                read = readDictionary();
            } else {
                read = skipEntity();
            }
            if (!read) return false;
        }
        ok = step == SectionStep::End;
    } else {
        ok = skipSection();
    }
    if (!ok) return false;
    // On ENDSEC: step past it.
    return next();
}

template <typename Tokenizer>
bool Parser<Tokenizer>::skipSection() {
    for (;;) {
        if (!next()) return false;
        if (m_g.code != 0) continue;
        if (m_g.text == "ENDSEC") return true;
        if (m_g.text == "EOF" || m_g.text == "SECTION")
            return fail(QStringLiteral("a section has no ENDSEC (%1)").arg(m_groups.where()));
    }
}

template <typename Tokenizer>
typename Parser<Tokenizer>::SectionStep Parser<Tokenizer>::toEntityOf(const char* section) {
    while (m_g.code != 0) {  // groups outside any entity: passed over
        if (!skipEntity()) return SectionStep::Failed;
    }
    if (m_g.text == "ENDSEC") return SectionStep::End;
    if (m_g.text == "EOF" || m_g.text == "SECTION") {
        fail(QStringLiteral("section %1 has no ENDSEC (%2)")
                 .arg(QLatin1String(section), m_groups.where()));
        return SectionStep::Failed;
    }
    return SectionStep::Entity;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::skipEntity() {
    if (m_groups.nextEntity(m_g)) return true;
    if (!m_groups.failed())
        m_error = QStringLiteral("unexpected end of file at %1").arg(m_groups.whereEnd());
    return false;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readHeader() {
    enum class Variable { Other, Release, CodePage } variable = Variable::Other;
    for (;;) {
        if (!next()) return false;
        switch (m_g.code) {
            case 0:
                if (m_g.text == "ENDSEC") return true;
                return fail(
                    QStringLiteral("section HEADER has no ENDSEC (%1)").arg(m_groups.where()));
            case 9:
                variable = m_g.text == "$ACADVER"       ? Variable::Release
                           : m_g.text == "$DWGCODEPAGE" ? Variable::CodePage
                                                        : Variable::Other;
                break;
            case 1:
                if (variable == Variable::Release)
                    m_drawing.release = m_decoder.decode(trimmed(m_g.text));
                break;
            case 3:
                if (variable == Variable::CodePage) m_decoder.setCodePage(trimmed(m_g.text));
                break;
            default:
                break;
        }
    }
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readTables() {
    if (!next()) return false;
    SectionStep step;
    while ((step = toEntityOf("TABLES")) == SectionStep::Entity) {
        if (!(isEntity("BLOCK_RECORD") ? readBlockRecord() : skipEntity())) return false;
    }
    return step == SectionStep::End;
}

// A BLOCK_RECORD table entry: its handle, its name and, for an anonymous copy of a dynamic
// block, the handle of the dynamic block's record.
template <typename Tokenizer>
bool Parser<Tokenizer>::readBlockRecord() {
    std::string handle;
    QString name;
    bool representation = false;
    qint64 dynamicBlock = 0;
    while (next()) {
        switch (m_g.code) {
            case 0:
                m_blockRecords.add(handleValue(handle), name, dynamicBlock);
                return true;
            case 5:
                handle = trimmed(m_g.text);
                break;
            case 2:
                name = m_pool.get(m_g.text);
                break;
            case 1001:
                representation = trimmed(m_g.text) == kBlockRepresentationApp;
                break;
            case 1005:
                if (representation && dynamicBlock == 0)
                    dynamicBlock = handleValue(trimmed(m_g.text));
                break;
            default:
                break;
        }
    }
    return false;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readBlocks() {
    if (!next()) return false;
    for (;;) {
        if (const SectionStep step = toEntityOf("BLOCKS"); step != SectionStep::Entity)
            return step == SectionStep::End;
        if (m_g.text != "BLOCK") {
            if (!skipEntity()) return false;  // ENDBLK, or a stray entity
            continue;
        }
        // The BLOCK entity: its name and its block record (owner) handle.
        std::string name;
        std::string record;
        int braces = 0;
        bool more;
        while ((more = next()) && m_g.code != 0) {
            if (m_g.code == 2 && name.empty()) name = m_g.text;
            if (m_g.code == 102)
                braces += startsWith(m_g.text, "{") ? 1 : (m_g.text == "}" ? -1 : 0);
            if (m_g.code == 330 && braces <= 0 && record.empty()) record = trimmed(m_g.text);
        }
        if (!more) return false;
        const int space = m_spaces.layoutOfBlock(name);
        if (space >= 0) m_spaces.setBlockRecord(space, record);
        if (space == SpaceOrder::kNotALayout) {
            // References inside other blocks are nested, never top level: skip them whole.
            while (!isEntity("ENDBLK")) {
                if (isEntity("ENDSEC") || isEntity("EOF"))
                    return fail(
                        QStringLiteral("block \"%1\" has no ENDBLK (%2)")
                            .arg(QString::fromLatin1(name.c_str()).left(40), m_groups.where()));
                if (!skipEntity()) return false;
            }
        } else if (!readEntities(space, "ENDBLK")) {
            return false;
        }
        if (isEntity("ENDSEC")) return true;
    }
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readEntities(int space, std::string_view endMarker) {
    for (;;) {
        if (m_g.code != 0) {
            if (!skipEntity()) return false;
            continue;
        }
        if (m_g.text == endMarker) return true;
        if (m_g.text == "ENDSEC") {
            if (endMarker == "ENDBLK") return true;  // a block without ENDBLK: tolerated
        }
        if (m_g.text == "EOF" || m_g.text == "SECTION" || m_g.text == "ENDSEC")
            return fail(QStringLiteral("section %1 has no ENDSEC (%2)")
                            .arg(endMarker == "ENDBLK" ? QStringLiteral("BLOCKS")
                                                       : QStringLiteral("ENTITIES"),
                                 m_groups.where()));
        if (m_g.text == "INSERT") {
            if (!readInsert(space)) return false;
        } else if (!skipEntity()) {
            return false;
        }
    }
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readInsert(int space) {
    InsertInProgress in;
    InsertRecord& r = in.record;
    bool inBraces = false;
    bool ownerSeen = false;
    while (next()) {
        long long i;
        double d;
        switch (m_g.code) {
            case 0:
                goto done;
            case 5:
                r.handle.assign(trimmed(m_g.text));
                break;
            case 330:
                if (!inBraces && !ownerSeen) {
                    r.ownerId = handleValue(m_g.text);
                    ownerSeen = true;
                }
                break;
            case 102:
                if (startsWith(m_g.text, "{")) {
                    inBraces = true;
                    if (m_g.text == "{ACAD_XDICTIONARY") r.hasExtensionDictionary = true;
                } else {
                    inBraces = false;
                }
                break;
            case 100:
                if (m_g.text == "AcDbMInsertBlock") r.minsert = true;
                break;
            case 2:
                r.name = m_pool.get(m_g.text);
                break;
            case 8:
                r.layer = m_pool.get(m_g.text);
                break;
            case 6:
                r.linetype = m_pool.get(m_g.text);
                break;
            case 62:
                if (!intValue(i)) return false;
                r.color = clampToInt(i);
                break;
            case 370:
                if (!intValue(i)) return false;
                r.lineweight = clampToInt(i);
                break;
            case 48:
                if (!realValue(r.linetypeScale)) return false;
                break;
            case 60:
                if (!intValue(i)) return false;
                r.visible = i != 1;
                break;
            case 67:
                if (!intValue(i)) return false;
                in.paperFlag = i == 1;
                break;
            case 66:
                if (!intValue(i)) return false;
                r.attributesFollow = i == 1;
                break;
            case 10:
                if (!realValue(in.ocsPoint.x)) return false;
                break;
            case 20:
                if (!realValue(in.ocsPoint.y)) return false;
                break;
            case 30:
                if (!realValue(in.ocsPoint.z)) return false;
                break;
            case 41:
                if (!realValue(r.xScale)) return false;
                break;
            case 42:
                if (!realValue(r.yScale)) return false;
                break;
            case 43:
                if (!realValue(r.zScale)) return false;
                break;
            case 50:
                if (!realValue(d)) return false;
                r.rotation = d * std::numbers::pi / 180.0;
                break;
            case 70:
                if (!intValue(in.columns)) return false;
                break;
            case 71:
                if (!intValue(in.rows)) return false;
                break;
            case 210:
                if (!realValue(in.extrusion.x)) return false;
                break;
            case 220:
                if (!realValue(in.extrusion.y)) return false;
                break;
            case 230:
                if (!realValue(in.extrusion.z)) return false;
                break;
            default:
                break;
        }
    }
    return false;
done:
    if (in.columns > 1 || in.rows > 1) r.minsert = true;
    r.insertion = ocsToWorld(in.ocsPoint, in.extrusion);
    if (r.linetype.isEmpty() || r.linetype.compare(u"BYLAYER", Qt::CaseInsensitive) == 0) {
        static const QString byLayer = QStringLiteral("ByLayer");
        r.linetype = byLayer;
    } else if (r.linetype.compare(u"BYBLOCK", Qt::CaseInsensitive) == 0) {
        static const QString byBlock = QStringLiteral("ByBlock");
        r.linetype = byBlock;
    }
    int reportedSpace = space;
    if (space == SpaceOrder::kNotALayout)  // ENTITIES: 67 says which space
        reportedSpace = in.paperFlag ? m_spaces.activePaperSpace() : SpaceOrder::kModelSpace;
    r.paperSpace = reportedSpace != SpaceOrder::kModelSpace;

    // Attributes belong to the INSERT they follow, whatever their owner handle says.
    r.firstAttribute = static_cast<std::uint32_t>(m_drawing.attributes.size());
    if (r.attributesFollow) {
        while (isEntity("ATTRIB")) {
            if (!readAttribute()) return false;
        }
        // A missing SEQEND is tolerated: the next entity simply starts.
        if (isEntity("SEQEND") && !skipEntity()) return false;
    }
    r.attributeCount = static_cast<std::uint32_t>(m_drawing.attributes.size()) - r.firstAttribute;
    if (m_drawing.inserts.size() >= UINT32_MAX - 1)
        return fail(QStringLiteral("too many block references"));
    m_drawing.inserts.push_back(std::move(r));
    m_spaceOfInsert.push_back(reportedSpace);
    return true;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readAttribute() {
    AttributeRecord a;
    bool embedded = false;
    bool multiline = false;
    bool inDictionaryGroup = false;  // between 102 {ACAD_XDICTIONARY and 102 }
    std::string dictionary;
    m_mtext.clear();
    while (next()) {
        if (m_g.code == 0) {
            if (multiline) a.text = m_decoder.decodeMText(m_mtext);
            if (m_drawing.attributes.size() >= UINT32_MAX - 1)
                return fail(QStringLiteral("too many attributes"));
            if (!dictionary.empty()) {
                m_attributeOfDictionary.emplace(
                    upperCase(dictionary), static_cast<std::uint32_t>(m_drawing.attributes.size()));
            }
            m_drawing.attributes.push_back(std::move(a));
            return true;
        }
        if (embedded) {
            // The multiline text: chunks of 3, then the last part in 1.
            if (m_g.code == 3 || m_g.code == 1) {
                m_mtext.append(m_g.text);
                multiline = true;
            }
            continue;
        }
        switch (m_g.code) {
            case 5:
                a.handle.assign(trimmed(m_g.text));
                break;
            case 2:
                a.tag = m_pool.get(m_g.text);
                break;
            case 1:
                a.text = m_decoder.decode(m_g.text);
                break;
            case 101:
                embedded = startsWith(m_g.text, "Embedded Object");
                break;
            case 102:
                inDictionaryGroup = m_g.text == "{ACAD_XDICTIONARY";
                break;
            case 360:
                if (inDictionaryGroup && dictionary.empty()) dictionary = trimmed(m_g.text);
                break;
            default:
                break;
        }
    }
    return false;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readDictionary() {
    std::string handle;
    bool field = false;
    while (next()) {
        if (m_g.code == 0) {
            const auto found = m_attributeOfDictionary.find(upperCase(handle));
            if (field && found != m_attributeOfDictionary.end() &&
                found->second < m_drawing.attributes.size()) {
                m_drawing.attributes[found->second].fromField = true;
            }
            return true;
        }
        if (m_g.code == 5 && handle.empty()) handle = trimmed(m_g.text);
        if (m_g.code == 3 && m_g.text == "ACAD_FIELD") field = true;
    }
    return false;
}

template <typename Tokenizer>
bool Parser<Tokenizer>::readLayout() {
    bool layoutPart = false;
    long long tabOrder = LLONG_MAX;
    std::string record;
    QString name;
    while (next()) {
        if (m_g.code == 0) {
            m_spaces.addLayoutObject(tabOrder, record, name);
            return true;
        }
        if (m_g.code == 100) layoutPart = m_g.text == "AcDbLayout";
        if (!layoutPart) continue;
        if (m_g.code == 1) name = m_decoder.decode(m_g.text);
        if (m_g.code == 71 && !intValue(tabOrder)) return false;
        if (m_g.code == 330 && record.empty()) record = trimmed(m_g.text);
    }
    return false;
}

}  // namespace

QString parseDxf(AsciiTokenizer& groups, Drawing& drawing) {
    return Parser<AsciiTokenizer>(groups, drawing).run();
}

QString parseDxf(BinaryTokenizer& groups, Drawing& drawing) {
    return Parser<BinaryTokenizer>(groups, drawing).run();
}

}  // namespace drawing
