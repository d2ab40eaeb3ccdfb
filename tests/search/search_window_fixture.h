// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "search/search_window.h"
#include "support/files.h"
#include "support/gui/fake_platform.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

// The header line of every run with hits.
inline const QString kHeader =
    QStringLiteral("Drawing,Space,Block,Layer,BHandle,Handle,X,Y,Z,AttributeTag,AttributeValue");

// The search window over the platform doubles, the memory drawing model and a scratch folder
// whose (empty) files stand for the drawings the model holds.
class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Creates the window; settings given before are applied. `drawingFolder` is the shared
    // drawing folder the main window hands over (the program folder by default).
    SearchWindow& open(drawingapi::ReaderFactory application = {},
                       const QString& drawingFolder = {}) {
        window = std::make_unique<SearchWindow>(
            fakes.platform(), application ? std::move(application) : model->factory(),
            drawingFolder.isEmpty() ? programFolder() : drawingFolder);
        return *window;
    }
    QString programFolder() const { return dir.filePath("program"); }

    // A drawing file in the scratch folder and what the model finds in it.
    QString addDrawing(const QString& name, fake::MemDrawing drawing) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testfiles::write(path, "drawing"));
        model->addDrawing(path, std::move(drawing));
        return path;
    }
    // The folder pattern of every .dwg in the scratch folder.
    QString allDrawings() const { return dir.filePath("*.dwg"); }

    // Fills the criteria and presses Search.
    void searchFor(const QString& text, const QString& folderPattern = {}) {
        window->searchTextEdit->setText(text);
        window->folderEdit->setText(folderPattern.isEmpty() ? allDrawings() : folderPattern);
        window->searchButton->click();
    }
    // The lines of the results box.
    QStringList shownLines() const {
        const QString text = window->resultsEdit->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }
    void setOption(const QString& key, const QString& value) {
        fakes.settings.set("Options", key, value);
    }
    QString option(const QString& key) const {
        const auto found = fakes.settings.values.find({"Options", key});
        return found == fakes.settings.values.end() ? QStringLiteral("<absent>") : found->second;
    }

    QTemporaryDir dir;
    fake::FakePlatform fakes;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    std::unique_ptr<SearchWindow> window;
};

inline fake::MemBlock attributed(const QString& name, std::vector<fake::MemAttribute> attributes,
                                 const QString& handle = QStringLiteral("1F"), bool paper = false) {
    fake::MemBlock b;
    b.name = name;
    b.handle = handle;
    b.paper = paper;
    b.attributes = std::move(attributes);
    return b;
}
