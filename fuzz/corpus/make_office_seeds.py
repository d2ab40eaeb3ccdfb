#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed workbooks and documents of fuzz_xlsx_workbook and fuzz_docx_document.

Each package is written twice: as the zip file a user would point at, and as its parts
("name NUL bytes NUL" again and again), which the targets zip themselves so that mutations reach
the XML. Run from anywhere: python3 fuzz/corpus/make_office_seeds.py
"""

import io
import os
import zipfile

import docx
import openpyxl
from docx.shared import Pt
from openpyxl.worksheet.table import Table

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def write_package(target, name, data):
    write(target, name, data)
    parts = b""
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        for info in z.infolist():
            parts += info.filename.encode() + b"\0" + z.read(info) + b"\0"
    write(target, name + ".parts", parts)


def saved(document):
    buffer = io.BytesIO()
    document.save(buffer)
    return buffer.getvalue()


def workbooks():
    target = "fuzz_xlsx_workbook"
    book = openpyxl.Workbook()
    book.active["A1"] = "one"
    write_package(target, "one_sheet.xlsx", saved(book))

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Records"
    sheet.append(["DWGNO", "TITLE", "REV"])
    sheet.append(["A-100", "Pump room", 2])
    sheet.append(["A-101", "Tank farm", 3.5])
    sheet["E1"] = "=SUM(C2:C3)"
    sheet.merge_cells("E3:F4")
    sheet.column_dimensions["B"].width = 30
    table = Table(displayName="Drawings", ref="A1:C3")
    sheet.add_table(table)
    other = book.create_sheet("Other")
    other["B2"] = "shared"
    other["B3"] = "shared"
    book.create_chartsheet("Chart")
    write_package(target, "table_formula_merged.xlsx", saved(book))


W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'
R = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
MINIMAL_DOCUMENT = {
    "[Content_Types].xml":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" '
        'ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/word/document.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
        '<Override PartName="/word/styles.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/></Types>',
    "_rels/.rels":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
        'relationships/officeDocument" Target="word/document.xml"/></Relationships>',
    "word/_rels/document.xml.rels":
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
        'relationships/styles" Target="styles.xml"/></Relationships>',
    "word/styles.xml":
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:styles {W}>'
        '<w:style w:type="paragraph" w:default="1" w:styleId="Normal">'
        '<w:name w:val="Normal"/></w:style>'
        '<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/>'
        '<w:tblPr><w:tblBorders><w:top w:val="single" w:sz="4"/></w:tblBorders></w:tblPr>'
        '</w:style></w:styles>',
    "word/document.xml":
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document {W} {R}>'
        '<w:body><w:p><w:r><w:t xml:space="preserve">Drawing register </w:t></w:r>'
        '<w:r><w:rPr><w:sz w:val="16"/></w:rPr><w:t>A-100</w:t></w:r></w:p>'
        '<w:tbl><w:tblPr><w:tblStyle w:val="TableGrid"/></w:tblPr><w:tblGrid>'
        '<w:gridCol w:w="2000"/></w:tblGrid><w:tr><w:tc><w:p><w:r><w:t>DWGNO</w:t></w:r>'
        '</w:p></w:tc></w:tr></w:tbl><w:p/>'
        '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
        '<w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440"/></w:sectPr>'
        '</w:body></w:document>',
}


def documents():
    target = "fuzz_docx_document"
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in MINIMAL_DOCUMENT.items():
            z.writestr(name, text)
    write_package(target, "minimal.docx", buffer.getvalue())

    # python-docx's own template unpacks to 800 KB: only its zip is a seed.
    document = docx.Document()
    document.add_paragraph("Drawing register")
    write(target, "python_docx.docx", saved(document))

    document = docx.Document()
    document.add_heading("Title blocks", level=1)
    run = document.add_paragraph().add_run("small type")
    run.font.size = Pt(8)
    table = document.add_table(rows=2, cols=2)
    table.style = "Table Grid"
    table.cell(0, 0).text = "DWGNO"
    table.cell(1, 1).text = "A-100"
    section = document.sections[0]
    section.page_width, section.page_height = section.page_height, section.page_width
    write(target, "table_landscape.docx", saved(document))


if __name__ == "__main__":
    workbooks()
    documents()
