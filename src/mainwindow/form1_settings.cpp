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
#include "mainwindow/form1.h"
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

}  // namespace

void Form1::Form_Load() {
    setWindowTitle(QStringLiteral("Quillon"));
    mblnLoading = true;
    restoreSettings();
    mblnLoading = false;
    mstrCmdLine = mstrCmdLine.trimmed();
    if (!mstrCmdLine.isEmpty() && mstrCmdLine != QLatin1String("/p")) {
        show();
        Command5_Click();
    } else {
        setStatus(QStringLiteral("Welcome to Quillon! Press the F1 key for help."));
    }
}

void Form1::restoreSettings() {
    platform::Settings& settings = m_platform.settings;
    auto get = [&](const char* key, const QString& fallback = {}) {
        return settings.get(kSection, QLatin1String(key), fallback);
    };
    const QString appDrive = platform::driveOf(mstrAppPath);

    drawingFolder = get("DWGFolder", mstrAppPath);
    if (Drive1->setDrive(get("Drive", appDrive)) == 0) Drive1_Change();
    Dir1->setPath(get("Dir", mstrAppPath));
    Text1->setText(get("File", QStringLiteral("file.txt")));
    mstrTPath = get("TPath", mstrAppPath);
    mstrTFile = get("TFile");
    mstrEPath = get("EPath", mstrAppPath);
    mstrEFile = get("EFile");
    mstrESheet = get("ESheet");
    mstrAPath = get("APath", mstrAppPath);
    mstrAFile = get("AFile");
    mstrATable = get("ATable");
    mstrWPath = get("WPath", mstrAppPath);
    mstrWFile = get("WFile");
    if (Drive3->setDrive(get("Drive3", appDrive)) == 0) Drive3_Change();
    Dir3->setPath(get("Dir3", mstrAppPath));

    Dir1_Change();
    Dir2_Change();
    Dir3_Change();

    if (const auto cdf = toBoolean(get("CDF", QStringLiteral("True")))) {
        Option1->setChecked(*cdf);
        if (!*cdf) Option2->setChecked(true);
    }
    const std::pair<const char*, QRadioButton*> destinations[] = {{"SFile", Option3},
                                                                  {"SClip", Option4},
                                                                  {"SXcel", Option5},
                                                                  {"SAccs", Option6},
                                                                  {"SWord", Option7}};
    for (const auto& [key, option] : destinations) {
        const auto on = toBoolean(get(key, option == Option3 ? "True" : "False"));
        if (on && *on) option->setChecked(true);
    }
    if (Option3->isChecked()) {
        Drive2->setDrive(mstrTPath);
        Dir2->setPath(mstrTPath);
        List4->resize(List4->width(), 1420 / 15);
        // Selecting the remembered file is a click on it: it becomes the send target again.
        for (int i = 0; i < List4->count(); ++i) {
            if (List4->item(i)->text() != mstrTFile) continue;
            {
                const QSignalBlocker block(List4);
                List4->setCurrentRow(i);
                List4->item(i)->setSelected(true);
            }
            List4_Click();
        }
    }

    const std::pair<const char*, QCheckBox*> checks[] = {
        {"FName", Check1},  {"Append", Check2}, {"Transpose", Check3}, {"AAppend", Check4},
        {"FFName", Check5}, {"TStamp", Check6}, {"WAppend", Check7},   {"WTable", Check8},
        {"Tags", Check9},   {"ColW", Check10}};
    const QStringList checkedAtStart = {"FName",  "Append", "AAppend", "WAppend",
                                        "WTable", "Tags",   "ColW"};
    auto restoreCheck = [&](const char* key, QCheckBox* box) {
        bool ok = false;
        const int value =
            get(key, checkedAtStart.contains(QLatin1String(key)) ? "1" : "0").trimmed().toInt(&ok);
        if (ok && value >= 0 && value <= 2) setCheckValue(box, value);
    };
    restoreCheck("FName", Check1);
    Check1_Click();  // also when the stored value equals the created state
    Text2->setText(get("Row", QStringLiteral("1")));
    Text3->setText(get("Col", QStringLiteral("1")));
    Text4->setText(get("Spaces", QStringLiteral("2")));
    Text5->setText(get("FExt", QStringLiteral("*.dwg")));
    for (const auto& [key, box] : checks) {
        if (box != Check1) restoreCheck(key, box);
    }
}

void Form1::storeSettings() {
    platform::Settings& settings = m_platform.settings;
    auto put = [&](const char* key, const QString& value) {
        settings.set(kSection, QLatin1String(key), value);
    };
    auto check = [](const QCheckBox* box) { return QString::number(checkValue(box)); };
    put("Drive", Drive1->drive());
    put("Dir", Dir1->path());
    put("Drive3", Drive3->drive());
    put("Dir3", Dir3->path());
    put("CDF", word(Option1->isChecked()));
    put("SFile", word(Option3->isChecked()));
    put("SClip", word(Option4->isChecked()));
    put("SXcel", word(Option5->isChecked()));
    put("SAccs", word(Option6->isChecked()));
    put("SWord", word(Option7->isChecked()));
    put("FName", check(Check1));
    put("Row", Text2->text());
    put("Col", Text3->text());
    put("Spaces", Text4->text());
    put("Append", check(Check2));
    put("Transpose", check(Check3));
    put("AAppend", check(Check4));
    put("FFName", check(Check5));
    put("TStamp", check(Check6));
    put("WAppend", check(Check7));
    put("WTable", check(Check8));
    put("Tags", check(Check9));
    put("ColW", check(Check10));
    put("TPath", mstrTPath);
    put("File", Text1->text());
    put("TFile", mstrTFile);
    put("EPath", mstrEPath);
    put("EFile", mstrEFile);
    put("ESheet", mstrESheet);
    put("APath", mstrAPath);
    put("AFile", mstrAFile);
    put("ATable", mstrATable);
    put("WPath", mstrWPath);
    put("WFile", mstrWFile);
    put("FExt", Text5->text());
}
