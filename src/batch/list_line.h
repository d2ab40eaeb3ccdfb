// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lines of a drawing list file: what kind each is, and what a header or send line says.

#include <QString>
#include <QStringList>
#include <optional>

namespace batch {

enum class LineKind { Blank, Comment, End, Send, Update, Drawing, Other };

// `line` is trimmed and upper-cased.
LineKind kindOf(const QString& line);

// The drawing-name options a header keyword sets; an option left empty keeps its state.
struct HeaderOptions {
    std::optional<bool> includeName;  // "4) Include Drawing Name"
    std::optional<bool> fullPath;     // "Use Full Path"
    std::optional<bool> timestamp;    // "Timestamp"
};
HeaderOptions headerOptions(const QString& line);

struct SendLine {
    enum class Destination { File, Clipboard, Word, Excel, Access };
    Destination destination = Destination::File;
    // The fields from the destination's fixed position, comma-separated, not trimmed, in the
    // letter case the file was written in.
    QStringList fields;
    bool tags = false;  // the line ends with "TAGS"

    // The field at `index` (from 0); empty past the last one.
    QString field(qsizetype index) const { return fields.value(index); }
    // A field compared with a keyword, ignoring letter case.
    bool fieldIs(qsizetype index, const char* keyword) const;
};

// A send line in its written letter case, trimmed; nothing when it names no destination.
std::optional<SendLine> parseSendLine(const QString& line);

// An update line: "UPDATE DRAWINGS FROM FILE path", "... FROM EXCEL path,sheet" or
// "... FROM ACCESS path,table", each optionally ending with ",PLAN" (the plan is written and
// no drawing is).
struct UpdateLine {
    enum class Source { File, Excel, Access };
    Source source = Source::File;
    QString path;  // as written, blanks cut
    QString part;  // the sheet or table
    bool planOnly = false;
};
// Nothing when the line names no source.
std::optional<UpdateLine> parseUpdateLine(const QString& line);

// The leading number of a field, read as a decimal; 0 when there is none.
long long numericValue(const QString& field);

// Drawing path and template path of a drawing line: split at the first comma.
struct DrawingLine {
    QString drawing;
    QString templatePath;
};
DrawingLine splitDrawingLine(const QString& line);

// The text after the last path separator ("\" or "/").
QString fileNameOf(const QString& path);

}  // namespace batch
