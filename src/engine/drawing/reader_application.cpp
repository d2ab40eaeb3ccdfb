#include "engine/drawing/reader_application.h"

#include <algorithm>

#include "engine/drawing/dxf_reader.h"
#include "engine/drawing/reader_errors.h"
#include "engine/drawing/reader_objects.h"

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

    acad::Status Close(bool /*saveChanges: the reader never writes*/) override {
        if (!m_drawing) return closedError();
        if (auto list = m_list.lock()) std::erase(list->documents, shared_from_this());
        m_drawing.reset();
        return acad::success();
    }

    acad::Result<std::shared_ptr<acad::SelectionSet>> AddSelectionSet(const QString&) override {
        if (!m_drawing) return closedError();
        return std::shared_ptr<acad::SelectionSet>(std::make_shared<ReaderSelectionSet>(m_drawing));
    }

    void closeQuietly() { m_drawing.reset(); }

private:
    static acad::Error closedError() {
        return acad::Error{errors::kDocumentClosed, QStringLiteral("the drawing is closed")};
    }

    std::shared_ptr<const Drawing> m_drawing;
    std::weak_ptr<OpenDocuments> m_list;
};

class ReaderDocuments : public acad::Documents {
public:
    ReaderDocuments() : m_list(std::make_shared<OpenDocuments>()) {}

    // The password is accepted and ignored: DXF files carry none. The reader never writes,
    // so every drawing is read-only whatever is asked.
    acad::Result<std::shared_ptr<acad::Document>> Open(const QString& name, std::optional<bool>,
                                                       std::optional<QString>) override {
        auto drawing = readDrawingFile(name);
        if (!drawing) return drawing.error();
        auto document = std::make_shared<ReaderDocument>(std::move(drawing).value(), m_list);
        m_list->documents.push_back(document);
        return std::shared_ptr<acad::Document>(document);
    }

    acad::Result<int> Count() const override { return static_cast<int>(m_list->documents.size()); }

    acad::Result<std::shared_ptr<acad::Document>> Item(int index) override {
        if (index < 0 || index >= static_cast<int>(m_list->documents.size()))
            return acad::Error{errors::kBadIndex,
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
    acad::Status SetWindowState(int) override { return acad::success(); }
    acad::Status SetVisible(bool) override { return acad::success(); }
    acad::Status SetXrefDemandLoad(int) override { return acad::success(); }
    acad::Status SetEnableStartupDialog(bool) override { return acad::success(); }
    acad::Status SetShowWarningMessages(bool) override { return acad::success(); }
    acad::Documents& GetDocuments() override { return m_documents; }
    acad::Status Quit() override {
        m_documents.closeAll();
        return acad::success();
    }

private:
    ReaderDocuments m_documents;
};

}  // namespace

std::shared_ptr<acad::Application> createReaderApplication() {
    return std::make_shared<ReaderApplication>();
}

acad::ApplicationFactory readerApplicationFactory() {
    return []() -> acad::Result<std::shared_ptr<acad::Application>> {
        return createReaderApplication();
    };
}

}  // namespace drawing
