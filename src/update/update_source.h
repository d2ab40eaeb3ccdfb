// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the edited values come from: the three places records are sent to, read back.

#include <QString>
#include <QStringList>
#include <optional>

#include "core/result.h"
#include "platform/services/dialogs.h"
#include "writeback/edit_source.h"

using SourceKind = writeback::SourceKind;

// The folders the main window last showed for its text file, workbook and database
// destinations: where an edited copy of what was sent there is most likely to be.
struct SourceFolders {
    QString textFile;
    QString workbook;
    QString database;

    const QString& of(SourceKind kind) const;
};

using UpdateSource = writeback::EditSource;

// The word the settings store for a kind, and back; an unknown word gives nothing.
QString kindWord(SourceKind kind);
std::optional<SourceKind> kindFromWord(const QString& word);

// The sheets of a workbook or the tables of a database, to choose from; empty for a text file
// and for a file that cannot be opened (reading it then names the reason).
QStringList sheetsOrTables(SourceKind kind, const QString& path);

// The Open box for a source of `kind`, starting in `folder`.
platform::FileDialogRequest sourceOpenRequest(SourceKind kind, const QString& folder);
