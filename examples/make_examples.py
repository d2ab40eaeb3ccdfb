#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the sample drawings of examples/: three small process-plant sheets, each with a
title block (block TITLE: DWGNO, TITLE, REV, DATE, DRAWN) in paper space and tagged
equipment (blocks PUMP and VALVE: TAG, DESC) in model space.

Run with Debian's Python, which has python3-ezdxf:  /usr/bin/python3 examples/make_examples.py
The same script gives the same bytes, so the committed drawings change only with the script.
"""

import io
import os
import sys

try:
    import ezdxf
except ImportError:
    sys.exit("ezdxf is missing: run with /usr/bin/python3 (Debian package python3-ezdxf)")

TITLE_TAGS = ["DWGNO", "TITLE", "REV", "DATE", "DRAWN"]

DRAWINGS = [
    # file, release, title block values per layout, equipment (block, tag, description, x, y)
    ("cooling-water.dxf", "R2018",
     [{"DWGNO": "PID-1001", "TITLE": "Cooling water circuit", "REV": "C",
       "DATE": "2026-03-14", "DRAWN": "J. SMITH"}],
     [("PUMP", "P-101", "Cooling water pump", 40, 60),
      ("PUMP", "P-102", "Standby pump", 40, 20),
      ("VALVE", "V-201", "Gate valve DN100", 100, 60),
      ("VALVE", "V-202", "Check valve DN100", 100, 20),
      ("VALVE", "V-203", "Drain valve DN25", 160, 40)]),
    ("boiler-feed.dxf", "R2010",
     [{"DWGNO": "PID-1002", "TITLE": "Boiler feed water, sheet 1", "REV": "A",
       "DATE": "2026-05-02", "DRAWN": "A. MÜLLER"},
      {"DWGNO": "PID-1003", "TITLE": "Boiler feed water, sheet 2", "REV": "A",
       "DATE": "2026-05-02", "DRAWN": "A. MÜLLER"}],
     [("PUMP", "P-301", "Feed pump 1", 30, 50),
      ("PUMP", "P-302", "Feed pump 2", 30, 10),
      ("VALVE", "V-310", "Ball valve Ø50", 90, 50),
      ("VALVE", "V-311", "Ball valve Ø50", 90, 10)]),
    ("tank-farm.dxf", "R2000",
     [{"DWGNO": "PID-2001", "TITLE": "Tank farm transfer", "REV": "B",
       "DATE": "2025-11-20", "DRAWN": "L. ROSSI"}],
     [("PUMP", "P-501", "Transfer pump", 60, 40),
      ("VALVE", "V-501", "Tank outlet valve", 20, 40),
      ("VALVE", "V-502", "Pump discharge valve", 110, 40)]),
]


def define_blocks(doc):
    title = doc.blocks.new("TITLE")
    title.add_lwpolyline([(0, 0), (180, 0), (180, 30), (0, 30)], close=True)
    title.add_line((0, 15), (180, 15))
    title.add_line((120, 0), (120, 30))
    places = {"DWGNO": (122, 20), "TITLE": (2, 20), "REV": (160, 20), "DATE": (122, 5),
              "DRAWN": (2, 5)}
    for tag in TITLE_TAGS:
        title.add_attdef(tag, places[tag], dxfattribs={"height": 3.5, "prompt": tag.title()})
    pump = doc.blocks.new("PUMP")
    pump.add_circle((0, 0), 5)
    pump.add_line((0, 5), (5, 5))
    valve = doc.blocks.new("VALVE")
    valve.add_lwpolyline([(-5, -3), (5, 3), (5, -3), (-5, 3)], close=True)
    for block in (pump, valve):
        block.add_attdef("TAG", (-4, 7), dxfattribs={"height": 2.5})
        block.add_attdef("DESC", (-4, -9), dxfattribs={"height": 1.8})


def make(path, release, sheets, equipment):
    doc = ezdxf.new(release)
    doc.layers.add("EQUIPMENT", color=3)
    doc.layers.add("PIPING", color=5)
    doc.layers.add("BORDER", color=7)
    define_blocks(doc)
    msp = doc.modelspace()
    for block, tag, desc, x, y in equipment:
        ref = msp.add_blockref(block, (x, y), dxfattribs={"layer": "EQUIPMENT"})
        ref.add_auto_attribs({"TAG": tag, "DESC": desc})
    # Piping between the equipment, left to right, row by row.
    for (_, _, _, x1, y1), (_, _, _, x2, y2) in zip(equipment, equipment[1:]):
        msp.add_lwpolyline([(x1 + 5, y1), ((x1 + x2) / 2, y1), ((x1 + x2) / 2, y2),
                            (x2 - 5, y2)], dxfattribs={"layer": "PIPING"})
    first = doc.layouts.names_in_taborder()[1]
    for i, values in enumerate(sheets):
        name = f"Sheet {i + 1}"
        if i == 0:
            doc.layouts.rename(first, name)
            layout = doc.layouts.get(name)
        else:
            layout = doc.layouts.new(name)
        layout.add_lwpolyline([(5, 5), (415, 5), (415, 292), (5, 292)], close=True,
                              dxfattribs={"layer": "BORDER"})
        layout.add_blockref("TITLE", (230, 10), dxfattribs={"layer": "BORDER"}).add_auto_attribs(
            values)
    stream = io.StringIO()
    doc.write(stream)
    text = stream.getvalue().replace("\n", "\r\n")  # as saved on Windows
    with open(path, "wb") as out:
        out.write(text.encode(doc.output_encoding))


def main():
    ezdxf.options.write_fixed_meta_data_for_testing = True  # no time stamps or random GUIDs
    here = os.path.dirname(os.path.abspath(__file__))
    for name, release, sheets, equipment in DRAWINGS:
        path = os.path.join(here, name)
        make(path, release, sheets, equipment)
        print(f"{name}: {os.path.getsize(path) / 1000:.0f} KB")


if __name__ == "__main__":
    main()
