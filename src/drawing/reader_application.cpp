// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/reader_application.h"

#include <algorithm>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "drawing/reader_objects.h"

namespace drawing {

namespace {

class ReaderDocument;

// The open documents; shared with each document so Close can take itself out even when
// the caller keeps the document longer than the application.
struct OpenDocuments {
    std::vector<std::shared_ptr<ReaderDocument>> documents;
};

class ReaderDocument : public acad::Document, public std::enable_shared_from_this<ReaderDocument> {
public:
    ReaderDocument(std::shared_ptr<const Drawing> drawing, std::weak_ptr<OpenDocuments> list)
        : m_drawing(std::move(drawing)), m_list(std::move(list)) {}

    core::Status Close(bool /*saveChanges: the reader never writes*/) override {
        if (!m_drawing) return closedError();
        if (auto list = m_list.lock()) std::erase(list->documents, shared_from_this());
        m_drawing.reset();
        return core::success();
    }

    core::Result<std::shared_ptr<acad::SelectionSet>> AddSelectionSet(const QString&) override {
        if (!m_drawing) return closedError();
        return std::shared_ptr<acad::SelectionSet>(std::make_shared<ReaderSelectionSet>(m_drawing));
    }

    void closeQuietly() { m_drawing.reset(); }

private:
    static core::Error closedError() {
        return core::Error{errors::kDocumentClosed, QStringLiteral("the drawing is closed")};
    }

    std::shared_ptr<const Drawing> m_drawing;
    std::weak_ptr<OpenDocuments> m_list;
};

class ReaderDocuments : public acad::Documents {
public:
    ReaderDocuments() : m_list(std::make_shared<OpenDocuments>()) {}

    // The password is accepted and ignored: DXF files carry none. The reader never writes,
    // so every drawing is read-only whatever is asked.
    core::Result<std::shared_ptr<acad::Document>> Open(const QString& name, std::optional<bool>,
                                                       std::optional<QString>) override {
        auto drawing = readDrawingFile(name);
        if (!drawing) return drawing.error();
        auto document = std::make_shared<ReaderDocument>(std::move(drawing).value(), m_list);
        m_list->documents.push_back(document);
        return std::shared_ptr<acad::Document>(document);
    }

    core::Result<int> Count() const override { return static_cast<int>(m_list->documents.size()); }

    core::Result<std::shared_ptr<acad::Document>> Item(int index) override {
        if (index < 0 || index >= static_cast<int>(m_list->documents.size()))
            return core::Error{errors::kBadIndex,
                               QStringLiteral("document index %1 out of range").arg(index)};
        return std::shared_ptr<acad::Document>(m_list->documents[static_cast<std::size_t>(index)]);
    }

    void closeAll() {
        for (auto& document : m_list->documents) document->closeQuietly();
        m_list->documents.clear();
    }

private:
    std::shared_ptr<OpenDocuments> m_list;
};

class ReaderApplication : public acad::Application {
public:
    ~ReaderApplication() override { m_documents.closeAll(); }
    // Nothing is shown, so window and preference settings have nothing to change.
    core::Status SetWindowState(int) override { return core::success(); }
    core::Status SetVisible(bool) override { return core::success(); }
    core::Status SetXrefDemandLoad(int) override { return core::success(); }
    core::Status SetEnableStartupDialog(bool) override { return core::success(); }
    core::Status SetShowWarningMessages(bool) override { return core::success(); }
    acad::Documents& GetDocuments() override { return m_documents; }
    core::Status Quit() override {
        m_documents.closeAll();
        return core::success();
    }

private:
    ReaderDocuments m_documents;
};

}  // namespace

std::shared_ptr<acad::Application> createReaderApplication() {
    return std::make_shared<ReaderApplication>();
}

acad::ApplicationFactory readerApplicationFactory() {
    return []() -> core::Result<std::shared_ptr<acad::Application>> {
        return createReaderApplication();
    };
}

}  // namespace drawing
