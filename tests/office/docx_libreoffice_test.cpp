// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include "office/docx_word_processor.h"
#include "platform/scratch_folder.h"

namespace {

// Runs `program` and returns its standard output; empty with a failure when it does not end
// well.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(180000)) {
        process.kill();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return {};
    }
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// LibreOffice, another program that reads .docx files, lays the written document out and
// prints it to PDF; the text of the PDF shows what it made of the table and the page.
TEST(DocxLibreOffice, WrittenDocumentConvertsToPdf) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        GTEST_SKIP() << "LibreOffice (soffice, Debian package libreoffice-writer-nogui) is not "
                        "installed; the document is not converted";
    }
    ScratchFolder folder;
    const auto document =
        office::startDocxWordProcessor(folder.path()).value()->AddDocument().value();
    ASSERT_TRUE(document->SetLandscape(true).ok());
    ASSERT_TRUE(document
                    ->InsertTable(true,
                                  {{"TAG", "VALUE", "SIZE"},
                                   {"PUMP-101", "Centrifugal pump", QStringLiteral("\u00d8 25 mm")},
                                   {"VALVE-7", QStringLiteral("Gr\u00f6\u00dfe 2"), ""}},
                                  8, office::TableFormat{true})
                    .ok());
    ASSERT_TRUE(document->InsertBlock(true, QStringLiteral("after,the,table\r\n"), 8).ok());
    const QString profile =
        QUrl::fromLocalFile(folder.makeFolder(QStringLiteral("profile"))).toString();
    run(soffice, {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + profile,
                  QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                  folder.path(), folder.path(QStringLiteral("Document1.docx"))});
    const QString pdf = folder.path(QStringLiteral("Document1.pdf"));
    ASSERT_TRUE(QFileInfo(pdf).size() > 0) << "no PDF made";

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdftotext.isEmpty() || pdfinfo.isEmpty()) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) are not installed; the PDF is not read";
    }
    const QString text = run(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const char* expected : {"TAG", "PUMP-101", "Centrifugal pump", "\u00d8 25 mm",
                                 "Gr\u00f6\u00dfe 2", "after,the,table"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << " in\n"
                                                                << text.toStdString();
    }
    const QString info = run(pdfinfo, {pdf});
    const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))"));
    const auto match = size.match(info);
    ASSERT_TRUE(match.hasMatch()) << info.toStdString();
    EXPECT_GT(match.captured(1).toDouble(), match.captured(2).toDouble()) << "a landscape page";
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Pages:\s+1\b)"))))
        << info.toStdString();
}

}  // namespace
