// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_spreadsheet.h"

#include <QFileInfo>
#include <QLocale>

#include "office/xlsx_workbook.h"

namespace office {
namespace {

using xlsx::XlsxWorkbook;

class XlsxSpreadsheet : public Spreadsheet {
public:
    explicit XlsxSpreadsheet(QString folder)
        : m_folder(std::move(folder)), m_decimalPoint(QLocale().decimalPoint().front()) {}

    Result<std::shared_ptr<Workbook>> OpenWorkbook(const QString& path) override {
        forgetClosed();
        // A workbook already open is the one returned, as the spreadsheet program does.
        const QString full = QFileInfo(path).absoluteFilePath();
        for (auto it = m_books.begin(); it != m_books.end(); ++it) {
            if ((*it)->FullName().valueOr({}) == full) return activate(it);
        }
        auto opened = XlsxWorkbook::open(path, m_decimalPoint);
        if (!opened) return opened.error();
        m_books.push_back(std::move(opened).value());
        return std::shared_ptr<Workbook>(m_books.back());
    }

    Result<std::shared_ptr<Workbook>> AddWorkbook() override {
        forgetClosed();
        const auto path =
            ooxml::firstFreeName(m_folder, QStringLiteral("Book%1.xlsx"),
                                 [this](const QString& name) { return isOpen(name); });
        if (!path) return path.error();
        auto created = XlsxWorkbook::create(path.value(), m_decimalPoint);
        if (!created) return created.error();
        m_books.push_back(std::move(created).value());
        return std::shared_ptr<Workbook>(m_books.back());
    }

    Result<int> WorkbookCount() const override {
        return static_cast<int>(std::count_if(m_books.begin(), m_books.end(),
                                              [](const auto& book) { return !book->isClosed(); }));
    }

    Result<std::shared_ptr<Workbook>> ActiveWorkbook() override {
        forgetClosed();
        if (m_books.empty()) return std::shared_ptr<Workbook>();
        return std::shared_ptr<Workbook>(m_books.back());
    }

    Result<bool> Visible() const override { return m_visible; }
    Status SetVisible(bool visible) override {
        m_visible = visible;
        return core::success();
    }

private:
    // The most recently opened or activated workbook is the last one.
    std::shared_ptr<Workbook> activate(std::vector<std::shared_ptr<XlsxWorkbook>>::iterator it) {
        std::shared_ptr<XlsxWorkbook> book = *it;
        m_books.erase(it);
        m_books.push_back(book);
        return book;
    }
    void forgetClosed() {
        std::erase_if(m_books, [](const auto& book) { return book->isClosed(); });
    }
    bool isOpen(const QString& path) const {
        const QString full = QFileInfo(path).absoluteFilePath();
        return std::any_of(m_books.begin(), m_books.end(), [&](const auto& book) {
            return book->FullName().valueOr({}).compare(full, Qt::CaseInsensitive) == 0;
        });
    }

    QString m_folder;
    QChar m_decimalPoint;
    bool m_visible = false;
    std::vector<std::shared_ptr<XlsxWorkbook>> m_books;
};

}  // namespace

Result<std::shared_ptr<Spreadsheet>> startXlsxSpreadsheet(QString newWorkbookFolder) {
    return std::shared_ptr<Spreadsheet>(
        std::make_shared<XlsxSpreadsheet>(std::move(newWorkbookFolder)));
}

}  // namespace office
