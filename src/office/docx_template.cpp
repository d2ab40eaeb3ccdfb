// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/docx_template.h"

#include <QLocale>

#include "office/ooxml_xml.h"

namespace office::docx {
namespace {

using ooxml::xmlPart;

constexpr char kContentTypes[] =
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

constexpr char kPackageRelationships[] =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

constexpr char kDocumentRelationships[] =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

// Margins as the word processors' own new documents have them: 2.5 cm round an A4 page,
// 1 inch round a Letter page.
constexpr char kA4Body[] =
    R"(<w:pgSz w:w="11906" w:h="16838"/>)"
    R"(<w:pgMar w:top="1417" w:right="1417" w:bottom="1417" w:left="1417" w:header="708" w:footer="708" w:gutter="0"/>)";
constexpr char kLetterBody[] =
    R"(<w:pgSz w:w="12240" w:h="15840"/>)"
    R"(<w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440" w:header="720" w:footer="720" w:gutter="0"/>)";

constexpr char kDocumentStart[] =
    R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<w:body><w:sectPr>)";
constexpr char kDocumentEnd[] = R"(</w:sectPr></w:body></w:document>)";

constexpr char kStyles[] =
    R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:docDefaults><w:rPrDefault><w:rPr>)"
    R"(<w:rFonts w:ascii="Calibri" w:hAnsi="Calibri" w:eastAsia="Calibri" w:cs="Calibri"/>)"
    R"(<w:sz w:val="22"/><w:szCs w:val="22"/><w:lang w:val="en-US"/>)"
    R"(</w:rPr></w:rPrDefault><w:pPrDefault/></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>)"
    R"(<w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/><w:tblPr><w:tblInd w:w="0" w:type="dxa"/>)"
    R"(<w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
    R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>)"
    R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/>)"
    R"(<w:uiPriority w:val="39"/><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr>)"
    R"(<w:tblPr><w:tblBorders>)"
    R"(<w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(</w:tblBorders></w:tblPr></w:style>)"
    R"(</w:styles>)";

}  // namespace

ooxml::FileKind documentFile() {
    return {QStringLiteral("document"), QStringLiteral(".docx")};
}

Paper systemPaper() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter
                                                                              : Paper::A4;
}

ooxml::Package newDocumentPackage(Paper paper) {
    ooxml::Package package(documentFile());
    package.setPart(QStringLiteral("[Content_Types].xml"), xmlPart(kContentTypes));
    package.setPart(QStringLiteral("_rels/.rels"), xmlPart(kPackageRelationships));
    package.setPart(QStringLiteral("word/document.xml"),
                    xmlPart(QByteArray(kDocumentStart) +
                            (paper == Paper::Letter ? kLetterBody : kA4Body) + kDocumentEnd));
    package.setPart(QStringLiteral("word/_rels/document.xml.rels"),
                    xmlPart(kDocumentRelationships));
    package.setPart(QStringLiteral("word/styles.xml"), xmlPart(kStyles));
    return package;
}

}  // namespace office::docx
