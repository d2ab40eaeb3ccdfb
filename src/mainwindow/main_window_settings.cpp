// SPDX-License-Identifier: GPL-3.0-or-later
// Restoring the window at load and storing it at unload. A stored value that no longer fits
// (a folder gone, a word that is not a number) leaves its control as it was.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <optional>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "platform/paths.h"

namespace {

const QString kSection = QStringLiteral("Options");

// "True"/"False" in any letter case, or a number where non-zero means true.
std::optional<bool> toBoolean(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double number = word.toDouble(&ok);
    if (ok) return number != 0;
    return std::nullopt;
}

QString word(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Each destination's settings keys: its folder, its file and its sheet or table.
struct DestinationKeys {
    MainWindow::Destination destination;
    const char* folder;
    const char* file;
    const char* item;  // nullptr: the destination has no sheet or table
};
constexpr DestinationKeys kDestinationKeys[] = {
    {MainWindow::Destination::TextFile, "TPath", "TFile", nullptr},
    {MainWindow::Destination::Spreadsheet, "EPath", "EFile", "ESheet"},
    {MainWindow::Destination::Database, "APath", "AFile", "ATable"},
    {MainWindow::Destination::Document, "WPath", "WFile", nullptr}};

}  // namespace

void MainWindow::load() {
    setWindowTitle(QStringLiteral("Quillon"));
    m_loading = true;
    restoreSettings();
    m_loading = false;
    m_commandLine = m_commandLine.trimmed();
    if (!m_commandLine.isEmpty() && m_commandLine != QLatin1String("/p")) {
        show();
        runDrawingListFile();
    } else {
        setStatus(QStringLiteral("Welcome to Quillon! Press the F1 key for help."));
    }
}

void MainWindow::restoreSettings() {
    platform::Settings& settings = m_platform.settings;
    auto get = [&](const char* key, const QString& fallback = {}) {
        return settings.get(kSection, QLatin1String(key), fallback);
    };
    // A new user starts at home: the program folder is no place for drawings or records.
    const QString home = m_homeFolder;
    const QString homeDrive = platform::driveOf(home);

    m_sharedDrawingFolder = get("DWGFolder", home);
    // A stored folder that is gone opens home rather than the root of its drive.
    auto startIn = [&](DriveListBox* drive, FolderListBox* folder, const QString& stored) {
        if (folder->setPath(stored)) return;
        const QSignalBlocker block(drive);
        drive->setDrive(home);
        folder->setPath(home);
    };
    if (drawingDriveList->setDrive(get("Drive", homeDrive))) drawingDriveChanged();
    startIn(drawingDriveList, drawingFolderList, get("Dir", home));
    newFileEdit->setText(get("File", QStringLiteral("file.txt")));
    for (const DestinationKeys& keys : kDestinationKeys) {
        DestinationState& remembered = state(keys.destination);
        remembered.folder = get(keys.folder, home);
        remembered.savedFile = get(keys.file);
        if (keys.item) remembered.savedItem = get(keys.item);
    }
    if (templateDriveList->setDrive(get("Drive3", homeDrive))) templateDriveChanged();
    startIn(templateDriveList, templateFolderList, get("Dir3", home));
    restoreRecent();

    drawingFolderChanged();
    outputFolderChanged();
    templateFolderChanged();

    if (const auto cdf = toBoolean(get("CDF", QStringLiteral("True")))) {
        cdfOption->setChecked(*cdf);
        if (!*cdf) sdfOption->setChecked(true);
    }
    const std::pair<const char*, QRadioButton*> destinations[] = {{"SFile", textFileOption},
                                                                  {"SClip", clipboardOption},
                                                                  {"SXcel", spreadsheetOption},
                                                                  {"SAccs", databaseOption},
                                                                  {"SWord", documentOption}};
    for (const auto& [key, option] : destinations) {
        const auto on = toBoolean(get(key, option == textFileOption ? "True" : "False"));
        if (on && *on) option->setChecked(true);
    }
    if (textFileOption->isChecked()) {
        const DestinationState& text = state(Destination::TextFile);
        const QString textFolder = text.folder;
        const QString textFile = text.savedFile;
        outputDriveList->setDrive(textFolder);
        outputFolderList->setPath(textFolder);
        // Selecting the remembered file is a click on it: it becomes the send target again.
        for (int i = 0; i < outputFileList->count(); ++i) {
            if (outputFileList->item(i)->text() != textFile) continue;
            {
                const QSignalBlocker block(outputFileList);
                outputFileList->setCurrentRow(i);
                outputFileList->item(i)->setSelected(true);
            }
            outputFileClicked();
        }
    }

    const std::pair<const char*, QCheckBox*> checks[] = {
        {"FName", includeDrawingNameCheck}, {"Append", textAppendCheck},
        {"Transpose", transposeCheck},      {"AAppend", databaseAppendCheck},
        {"FFName", fullPathCheck},          {"TStamp", timestampCheck},
        {"WAppend", documentAppendCheck},   {"WTable", createTableCheck},
        {"Tags", includeTagsCheck},         {"ColW", fitColumnsCheck}};
    const QStringList checkedAtStart = {"FName",  "Append", "AAppend", "WAppend",
                                        "WTable", "Tags",   "ColW"};
    auto restoreCheck = [&](const char* key, QCheckBox* box) {
        bool ok = false;
        const int value =
            get(key, checkedAtStart.contains(QLatin1String(key)) ? "1" : "0").trimmed().toInt(&ok);
        if (ok && value >= 0 && value <= 2) setCheckValue(box, static_cast<CheckValue>(value));
    };
    restoreCheck("FName", includeDrawingNameCheck);
    includeDrawingNameClicked();  // also when the stored value equals the created state
    rowEdit->setText(get("Row", QStringLiteral("1")));
    columnEdit->setText(get("Col", QStringLiteral("1")));
    fieldSpacesEdit->setText(get("Spaces", QStringLiteral("2")));
    // DXF drawings are read as well as DWG: a new user sees both.
    drawingPatternEdit->setText(get("FExt", QStringLiteral("*.dwg;*.dxf")));
    for (const auto& [key, box] : checks) {
        if (box != includeDrawingNameCheck) restoreCheck(key, box);
    }
}

void MainWindow::storeSettings() {
    platform::Settings& settings = m_platform.settings;
    auto put = [&](const char* key, const QString& value) {
        settings.set(kSection, QLatin1String(key), value);
    };
    auto check = [](const QCheckBox* box) {
        return QString::number(static_cast<int>(checkValue(box)));
    };
    put("Drive", drawingDriveList->drive());
    put("Dir", drawingFolderList->path());
    put("Drive3", templateDriveList->drive());
    put("Dir3", templateFolderList->path());
    put("CDF", word(cdfOption->isChecked()));
    put("SFile", word(textFileOption->isChecked()));
    put("SClip", word(clipboardOption->isChecked()));
    put("SXcel", word(spreadsheetOption->isChecked()));
    put("SAccs", word(databaseOption->isChecked()));
    put("SWord", word(documentOption->isChecked()));
    put("FName", check(includeDrawingNameCheck));
    put("Row", rowEdit->text());
    put("Col", columnEdit->text());
    put("Spaces", fieldSpacesEdit->text());
    put("Append", check(textAppendCheck));
    put("Transpose", check(transposeCheck));
    put("AAppend", check(databaseAppendCheck));
    put("FFName", check(fullPathCheck));
    put("TStamp", check(timestampCheck));
    put("WAppend", check(documentAppendCheck));
    put("WTable", check(createTableCheck));
    put("Tags", check(includeTagsCheck));
    put("ColW", check(fitColumnsCheck));
    put("File", newFileEdit->text());
    for (const DestinationKeys& keys : kDestinationKeys) {
        const DestinationState& remembered = state(keys.destination);
        put(keys.folder, remembered.folder);
        put(keys.file, remembered.savedFile);
        if (keys.item) put(keys.item, remembered.savedItem);
    }
    put("FExt", drawingPatternEdit->text());
    storeRecent();
}
