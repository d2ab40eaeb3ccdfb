// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "engine/drawing_session.h"
#include "engine/extraction_run.h"
#include "support/files.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"
#include "support/recording_engine_ui.h"

// A session over the memory model, with a scratch folder for templates and extract files.
class EngineTest : public ::testing::Test {
protected:
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    fake::RecordingEngineUi ui;
    QTemporaryDir dir;
    DrawingSession session{model->factory(), ui};

    QString templateFile(const QByteArray& text, const QString& name = "template.txt") {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testfiles::write(path, text));
        return path;
    }
    bool loads(const QByteArray& templateText) {
        return session.loadTemplate(templateFile(templateText)).ok();
    }
    QString extractPath() const { return dir.filePath("extract.txt"); }
    QByteArray extract() const { return testfiles::read(extractPath()); }

    // Parses the template, opens `drawing` under the name "a.dwg" and extracts it. The records
    // kept in memory are checked against the extract file: the file is what they are, written.
    QByteArray run(const QByteArray& templateText, fake::MemDrawing drawing) {
        model->addDrawing("a.dwg", std::move(drawing));
        const core::Status loaded = session.loadTemplate(templateFile(templateText));
        EXPECT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
        EXPECT_TRUE(session.start().ok());
        EXPECT_TRUE(session.openDrawing("a.dwg").ok());
        const auto extracted = session.extractAttributes(extractPath());
        EXPECT_TRUE(extracted.ok()) << extracted.error().description.toStdString();
        session.closeDrawing();
        if (extracted) {
            records = extracted.value();
            QByteArray written;
            if (!records.records.empty()) written = "HEADER:" + records.header.toUtf8() + "\r\n";
            for (const ExtractedRecord& record : records.records) {
                written += record.line.toUtf8() + "\r\n";
            }
            EXPECT_EQ(written, extract()) << "the records in memory are the extract file's";
        }
        return extract();
    }
    DrawingRecords records;  // of the last run()
};

// A block reference in model (or paper) space holding `attributes`.
inline fake::MemBlock block(const QString& name, std::vector<fake::MemAttribute> attributes,
                            bool paper = false, const QString& handle = QStringLiteral("1F"),
                            const QString& layer = QStringLiteral("0")) {
    fake::MemBlock b;
    b.name = name;
    b.paper = paper;
    b.handle = handle;
    b.layer = layer;
    b.attributes = std::move(attributes);
    return b;
}

inline fake::MemDrawing sheet(std::vector<fake::MemBlock> blocks) {
    fake::MemDrawing d;
    d.blocks = std::move(blocks);
    return d;
}

// What a run shows the user: its status lines, error boxes and each change of the hourglass.
class RecordingRunUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString& caption, const QString& text) override {
        errors << caption + ": " + text;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }
    // Progress is noted as "done/total"; the user clicks Cancel once `cancelAt` drawings are
    // shown done.
    void setProgress(qint64 done, qint64 total) override {
        progress << QString::number(done) + '/' + QString::number(total);
        if (done == cancelAt && total > 0) cancelClicked = true;
    }
    bool cancelRequested() const override { return cancelClicked; }
    QStringList statuses;
    QStringList progress;
    qint64 cancelAt = -1;
    bool cancelClicked = false;
    QStringList errors;
    std::vector<bool> busyChanges;
};
