#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the benchmark corpus: drawings shaped like real title-block and P&ID sheets.

Every drawing holds a title block (block TITLE with DWGNO, TITLE, REV, DATE, DRAWN, ...) on
each paper-space layout, a few revision rows (block REVROW), tagged equipment (PUMP, VALVE,
MOTOR, TANK with TAG and DESC) in model space, untagged symbols, symbols nested in other
blocks, and mostly plain geometry (lines, lwpolylines, text, circles) around them.

ezdxf builds the tables, blocks and layouts; the bulk of model space is written here as DXF
tags directly (ezdxf would need many minutes and gigabytes for the 200 MB drawings) and
spliced into the ENTITIES section with fresh handles. Every small and medium file is read
back with ezdxf and its counts checked; --verify checks the large ones too.

Run with Debian's Python, which has python3-ezdxf:
    nice /usr/bin/python3 bench/make_corpus.py [--out bench/corpus] [--only NAMES] [--verify]
"""

import argparse
import io
import json
import math
import os
import random
import struct
import sys
import time

try:
    import ezdxf
    from ezdxf.lldxf.types import BINARY_DATA, BYTES, DOUBLE, INT16, INT32, INT64
except ImportError:
    sys.exit("ezdxf is missing: run with /usr/bin/python3 (Debian package python3-ezdxf)")

TITLE_TAGS = ["DWGNO", "TITLE", "REV", "DATE", "DRAWN", "CHECKED", "SCALE", "SHEET"]
REVROW_TAGS = ["REV", "DESC", "DATE"]
EQUIPMENT = {
    # block name: (tag prefix, layer, descriptions)
    "PUMP": ("P", "EQUIP-PUMP", ["Feed pump", "Kühlwasserpumpe", "Bomba de água", "Booster"]),
    "VALVE": ("V", "EQUIP-VALVE", ["Gate valve DN80", "Ø50 ball valve", "Check valve"]),
    "MOTOR": ("M", "EQUIP-MOTOR", ["Drive motor 15 kW", "Fan motor", "Agitator drive"]),
    "TANK": ("T", "EQUIP-TANK", ["Buffer tank 2 m³", "Day tank", "Condensate tank"]),
}
SYMBOLS = ["NORTH", "GRIDMARK"]  # blocks without attributes
LAYERS = ["GEOM", "GEOM-HIDDEN", "PIPE", "NOTES", "DIM", "GRID"] + [
    v[1] for v in EQUIPMENT.values()
]
NOTES = [
    "SEE DETAIL A",
    "ALL DIMENSIONS IN MM",
    "Rohrleitung DN100",
    "CONNECT TO EXISTING",
    "FIELD ROUTE",
    "SLOPE 1:100",
    "ÉCHELLE 1:50",
]
PEOPLE = ["J. SMITH", "A. MÜLLER", "L. ROSSI", "K. TANAKA", "M. GARCÍA"]


# ---------------------------------------------------------------------------------------
# The ezdxf part: tables, block definitions, layouts and paper space.


def polyline(layout, points, close=False, dxfattribs=None):
    """LWPOLYLINE, or the 2D POLYLINE of R12, which has no LWPOLYLINE."""
    if layout.doc.dxfversion <= "AC1009":
        return layout.add_polyline2d(points, close=close, dxfattribs=dxfattribs)
    return layout.add_lwpolyline(points, close=close, dxfattribs=dxfattribs)


def define_blocks(doc):
    title = doc.blocks.new("TITLE")
    polyline(title, [(0, 0), (180, 0), (180, 40), (0, 40)], close=True)
    for y in (10, 20, 30):
        title.add_line((0, y), (180, y))
    title.add_line((120, 0), (120, 40))
    for i, tag in enumerate(TITLE_TAGS):
        x = 2 + (i % 2) * 120
        y = 32 - (i // 2) * 10
        title.add_text(tag, dxfattribs={"height": 1.8, "layer": "NOTES"}).set_pos((x, y + 5))
        title.add_attdef(tag, (x, y), dxfattribs={"height": 3.5, "prompt": tag.title()})
    rev = doc.blocks.new("REVROW")
    polyline(rev, [(0, 0), (180, 0), (180, 6), (0, 6)], close=True)
    for i, tag in enumerate(REVROW_TAGS):
        rev.add_attdef(tag, (2 + i * 30, 1.5), dxfattribs={"height": 2.5})
    for name in EQUIPMENT:
        blk = doc.blocks.new(name)
        blk.add_circle((0, 0), 5)
        blk.add_line((-5, 0), (5, 0))
        blk.add_attdef("TAG", (0, 6), dxfattribs={"height": 2.5})
        blk.add_attdef("DESC", (0, -8), dxfattribs={"height": 1.8})
    north = doc.blocks.new("NORTH")
    polyline(north, [(0, 0), (2, 6), (4, 0)], close=True)
    north.add_text("N", dxfattribs={"height": 2}).set_pos((1.3, 7))
    grid = doc.blocks.new("GRIDMARK")
    grid.add_circle((0, 0), 4)
    # A skid: equipment nested in another block. Only the skid's own reference is top-level.
    skid = doc.blocks.new("SKID")
    polyline(skid, [(-20, -10), (20, -10), (20, 10), (-20, 10)], close=True)
    skid.add_blockref("PUMP", (-10, 0)).add_auto_attribs({"TAG": "P-SK1", "DESC": "Skid pump"})
    skid.add_blockref("VALVE", (10, 0)).add_auto_attribs(
        {"TAG": "V-SK1", "DESC": "Skid valve"}
    )


def build_document(rng, version, sheets, drawing_no, title):
    """A drawing with its blocks and `sheets` paper-space layouts, model space still empty."""
    doc = ezdxf.new(version, setup=True)
    for layer in LAYERS:
        doc.layers.add(layer, color=rng.randint(1, 7))
    define_blocks(doc)
    counts = {"paper_inserts": 0, "paper_attribs": 0}
    first = doc.layouts.names_in_taborder()[1]
    for i in range(sheets):
        name = f"Sheet {i + 1}"
        if i == 0:
            doc.layouts.rename(first, name)
            layout = doc.layouts.get(name)
        elif version == "R12":
            break  # R12 has one paper space
        else:
            layout = doc.layouts.new(name)
        polyline(layout, [(5, 5), (415, 5), (415, 292), (5, 292)], close=True)
        layout.add_text(rng.choice(NOTES), dxfattribs={"height": 3, "layer": "NOTES"}).set_pos(
            (20, 270)
        )
        values = {
            "DWGNO": f"{drawing_no}-{i + 1:02d}",
            "TITLE": f"{title}, sheet {i + 1}",
            "REV": rng.choice("ABCD"),
            "DATE": f"2026-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}",
            "DRAWN": rng.choice(PEOPLE),
            "CHECKED": rng.choice(PEOPLE),
            "SCALE": rng.choice(["1:50", "1:100", "NTS"]),
            "SHEET": f"{i + 1} of {sheets}",
        }
        layout.add_blockref("TITLE", (230, 10), dxfattribs={"layer": "0"}).add_auto_attribs(
            values
        )
        counts["paper_inserts"] += 1
        counts["paper_attribs"] += len(TITLE_TAGS)
        for r in range(rng.randint(1, 3)):
            row = {"REV": "ABCD"[r], "DESC": rng.choice(NOTES), "DATE": values["DATE"]}
            layout.add_blockref("REVROW", (230, 52 + 6 * r)).add_auto_attribs(row)
            counts["paper_inserts"] += 1
            counts["paper_attribs"] += len(REVROW_TAGS)
        layout.add_blockref("NORTH", (400, 270))
        counts["paper_inserts"] += 1
    return doc, counts


# ---------------------------------------------------------------------------------------
# The bulk of model space, written as tags.


class Bulk:
    """Generates model-space entities as lists of (group code, value) tags."""

    def __init__(self, rng, owner, first_handle, version):
        self.rng = rng
        self.owner = owner
        self.handle = first_handle
        self.attrib_version = version >= "AC1024"  # 280 in AcDbAttribute since R2010
        self.cell = 0
        self.tag_numbers = {name: 100 for name in EQUIPMENT}
        self.counts = {"model_inserts": 0, "model_attribs": 0, "entities": 0}

    def next_handle(self):
        h = self.handle
        self.handle += 1
        return "%X" % h

    def head(self, kind, layer, subclass, owner=None):
        handle = self.next_handle()
        self.counts["entities"] += 1
        tags = [(0, kind), (5, handle), (330, owner or self.owner), (100, "AcDbEntity")]
        tags += [(8, layer), (100, subclass)]
        return handle, tags

    def cell_entities(self):
        """One cell of the model: a piece of equipment and the geometry around it."""
        rng = self.rng
        cx = (self.cell % 200) * 150.0
        cy = (self.cell // 200) * 150.0
        self.cell += 1
        out = []
        out += self.equipment(cx + rng.uniform(40, 110), cy + rng.uniform(40, 110))
        if rng.random() < 0.15:
            out += self.symbol(cx + rng.uniform(0, 150), cy + rng.uniform(0, 150))
        if rng.random() < 0.03:
            out += self.skid(cx + rng.uniform(20, 130), cy + rng.uniform(20, 130))
        for _ in range(rng.randint(25, 45)):
            x = cx + rng.uniform(0, 150)
            y = cy + rng.uniform(0, 150)
            r = rng.random()
            if r < 0.40:
                out += self.line(x, y)
            elif r < 0.65:
                out += self.lwpolyline(x, y)
            elif r < 0.80:
                out += self.text(x, y)
            else:
                out += self.circle(x, y)
        return out

    def line(self, x, y):
        rng = self.rng
        _, t = self.head("LINE", rng.choice(("GEOM", "PIPE", "GEOM-HIDDEN")), "AcDbLine")
        t += [(10, x), (20, y), (30, 0.0)]
        t += [(11, x + rng.uniform(-40, 40)), (21, y + rng.uniform(-40, 40)), (31, 0.0)]
        return t

    def circle(self, x, y):
        _, t = self.head("CIRCLE", "GEOM", "AcDbCircle")
        t += [(10, x), (20, y), (30, 0.0), (40, self.rng.uniform(0.5, 12))]
        return t

    def lwpolyline(self, x, y):
        rng = self.rng
        n = rng.randint(2, 12)
        _, t = self.head("LWPOLYLINE", rng.choice(("GEOM", "PIPE")), "AcDbPolyline")
        t += [(90, n), (70, rng.choice((0, 0, 1))), (43, 0.0)]
        for _ in range(n):
            x += rng.uniform(-15, 15)
            y += rng.uniform(-15, 15)
            t += [(10, x), (20, y)]
        return t

    def text(self, x, y):
        rng = self.rng
        _, t = self.head("TEXT", "NOTES", "AcDbText")
        t += [(10, x), (20, y), (30, 0.0), (40, rng.choice((1.8, 2.5, 3.5))), (1, rng.choice(NOTES))]
        t += [(100, "AcDbText")]
        return t

    def insert(self, name, layer, x, y, rotation, attribs):
        handle, t = self.head("INSERT", layer, "AcDbBlockReference")
        if attribs:
            t.append((66, 1))
        t += [(2, name), (10, x), (20, y), (30, 0.0)]
        if rotation:
            t.append((50, rotation))
        self.counts["model_inserts"] += 1
        if not attribs:
            return t
        angle = math.radians(rotation)
        for i, (tag, value) in enumerate(attribs):
            dy = 6.0 if i == 0 else -8.0 * i
            ax = x - dy * math.sin(angle)
            ay = y + dy * math.cos(angle)
            _, a = self.head("ATTRIB", layer, "AcDbText", owner=handle)
            a += [(10, ax), (20, ay), (30, 0.0), (40, 2.5 if i == 0 else 1.8), (1, value)]
            if rotation:
                a.append((50, rotation))
            a.append((100, "AcDbAttribute"))
            if self.attrib_version:
                a.append((280, 0))
            a += [(2, tag), (70, 0)]
            t += a
            self.counts["model_attribs"] += 1
        _, s = self.head("SEQEND", layer, "", owner=handle)
        t += s[:-1]  # SEQEND has no subclass of its own
        self.counts["entities"] -= 1 + len(attribs)  # entities counts top-level ones only
        return t

    def equipment(self, x, y):
        rng = self.rng
        name = rng.choice(list(EQUIPMENT))
        prefix, layer, descriptions = EQUIPMENT[name]
        self.tag_numbers[name] += 1
        tag = f"{prefix}-{self.tag_numbers[name]}"
        rotation = rng.choice((0.0, 0.0, 0.0, 90.0, 180.0, 270.0))
        return self.insert(
            name, layer, x, y, rotation, [("TAG", tag), ("DESC", rng.choice(descriptions))]
        )

    def symbol(self, x, y):
        return self.insert(self.rng.choice(SYMBOLS), "GRID", x, y, 0.0, [])

    def skid(self, x, y):
        return self.insert("SKID", "EQUIP-PUMP", x, y, self.rng.choice((0.0, 90.0)), [])


class AsciiEncoder:
    def __init__(self, encoding, newline):
        self.encoding = encoding
        self.nl = newline
        self.codes = {c: f"{c:>3}{newline}" for c in range(0, 1072)}

    def encode(self, tags):
        nl = self.nl
        codes = self.codes
        parts = []
        for code, value in tags:
            parts.append(codes[code])
            parts.append(value if type(value) is str else repr(value))
            parts.append(nl)
        return "".join(parts).encode(self.encoding, errors="dxfreplace")


class BinaryEncoder:
    def __init__(self, encoding):
        self.encoding = encoding
        self.codes = {c: c.to_bytes(2, "little") for c in range(0, 1072)}
        self.double = struct.Struct("<d").pack
        self.int16 = struct.Struct("<h").pack
        self.int32 = struct.Struct("<i").pack

    def encode(self, tags):
        codes = self.codes
        out = []
        for code, value in tags:
            out.append(codes[code])
            if code in DOUBLE:
                out.append(self.double(value))
            elif code in INT16:
                out.append(self.int16(value))
            elif code in INT32:
                out.append(self.int32(value))
            elif code in BYTES or code in INT64 or code in BINARY_DATA:
                raise ValueError(f"group code {code} is not used by the bulk writer")
            else:
                out.append(value.encode(self.encoding, errors="dxfreplace") + b"\x00")
        return b"".join(out)


def save_document(doc, binary, newline):
    if binary:
        stream = io.BytesIO()
        doc.write(stream, fmt="bin")
        return stream.getvalue()
    stream = io.StringIO()
    doc.write(stream)
    text = stream.getvalue()
    if newline != "\n":
        text = text.replace("\n", newline)
    return text.encode(doc.output_encoding, errors="dxfreplace")


def entities_start(data, binary, newline):
    """Offset just after the ENTITIES section's opening tags."""
    if binary:
        marker = b"\x00\x00SECTION\x00\x02\x00ENTITIES\x00"
    else:
        nl = newline.encode()
        marker = b"SECTION" + nl + b"  2" + nl + b"ENTITIES" + nl
    index = data.index(marker)
    return index + len(marker)


def write_drawing(path, rng, size, binary, version, sheets, newline="\r\n"):
    """Writes one drawing of about `size` bytes; returns its expected counts."""
    drawing_no = f"QD-{rng.randint(1000, 9999)}"
    doc, counts = build_document(rng, version, sheets, drawing_no, "Process area")
    base = len(save_document(doc, binary, newline))
    bulk = Bulk(rng, doc.modelspace().block_record_handle, int(str(doc.entitydb.handles), 16),
                doc.dxfversion)
    encoder = BinaryEncoder(doc.output_encoding) if binary else AsciiEncoder(
        doc.output_encoding, newline)
    part_path = path + ".part"
    written = 0
    with open(part_path, "wb") as part:
        chunk = []
        chunk_size = 0
        while base + written + chunk_size < size:
            data = encoder.encode(bulk.cell_entities())
            chunk.append(data)
            chunk_size += len(data)
            if chunk_size > 4 << 20:
                part.write(b"".join(chunk))
                written += chunk_size
                chunk, chunk_size = [], 0
        part.write(b"".join(chunk))
        written += chunk_size
    # Handles must stay below $HANDSEED, which ezdxf writes from its handle generator.
    doc.entitydb.handles.reset("%X" % bulk.handle)
    data = save_document(doc, binary, newline)
    cut = entities_start(data, binary, newline)
    with open(path + ".tmp", "wb") as out, open(part_path, "rb") as part:
        out.write(data[:cut])
        while True:
            block = part.read(16 << 20)
            if not block:
                break
            out.write(block)
        out.write(data[cut:])
    os.remove(part_path)
    os.replace(path + ".tmp", path)
    counts.update(bulk.counts)
    counts["attributes"] = counts["model_attribs"] + counts["paper_attribs"]
    counts["block_references"] = counts["model_inserts"] + counts["paper_inserts"]
    return counts


def write_sheet(path, rng, index):
    """One small single-sheet drawing, all through ezdxf, in one of several releases."""
    versions = ["R2000", "R2004", "R2007", "R2010", "R2013", "R2018", "R12"]
    version = versions[index % len(versions)]
    doc, counts = build_document(rng, version, 1, f"QS-{index:04d}", f"Unit {index}")
    msp = doc.modelspace()
    counts.update({"model_inserts": 0, "model_attribs": 0})
    for n in range(rng.randint(3, 12)):
        name = rng.choice(list(EQUIPMENT))
        prefix, layer, descriptions = EQUIPMENT[name]
        x, y = rng.uniform(0, 800), rng.uniform(0, 500)
        ref = msp.add_blockref(name, (x, y), dxfattribs={"layer": layer})
        ref.add_auto_attribs({"TAG": f"{prefix}-{index}{n:02d}", "DESC": rng.choice(descriptions)})
        counts["model_inserts"] += 1
        counts["model_attribs"] += 2
    for _ in range(rng.randint(100, 600)):
        x, y = rng.uniform(0, 800), rng.uniform(0, 500)
        r = rng.random()
        if r < 0.5:
            msp.add_line((x, y), (x + rng.uniform(-40, 40), y + rng.uniform(-40, 40)),
                         dxfattribs={"layer": "GEOM"})
        elif r < 0.7:
            points = [(x + rng.uniform(-30, 30), y + rng.uniform(-30, 30)) for _ in range(5)]
            polyline(msp, points, dxfattribs={"layer": "PIPE"})
        elif r < 0.85:
            msp.add_text(rng.choice(NOTES), dxfattribs={"height": 2.5, "layer": "NOTES"}).set_pos(
                (x, y))
        else:
            msp.add_circle((x, y), rng.uniform(0.5, 10), dxfattribs={"layer": "GEOM"})
    newline = "\r\n" if index % 2 == 0 else "\n"  # made on Windows or elsewhere
    with open(path, "wb") as out:
        out.write(save_document(doc, False, newline))
    counts["attributes"] = counts["model_attribs"] + counts["paper_attribs"]
    counts["block_references"] = counts["model_inserts"] + counts["paper_inserts"]
    counts["version"] = version
    return counts


def count_with_ezdxf(path):
    doc = ezdxf.readfile(path)
    model = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
    paper = []
    for name in doc.layouts.names_in_taborder()[1:]:
        paper += [e for e in doc.layouts.get(name) if e.dxftype() == "INSERT"]
    return {
        "model_inserts": len(model),
        "paper_inserts": len(paper),
        "attributes": sum(len(e.attribs) for e in model + paper),
    }


def verify(path, counts):
    found = count_with_ezdxf(path)
    for key, value in found.items():
        if counts[key] != value:
            sys.exit(f"{path}: ezdxf reads {key} = {value}, expected {counts[key]}")


MB = 1000 * 1000
DRAWINGS = {
    # name: (size in bytes, binary, layouts)
    "small.dxf": (int(0.2 * MB), False, 2),
    "small-bin.dxf": (int(0.2 * MB), True, 2),
    "medium.dxf": (20 * MB, False, 4),
    "medium-bin.dxf": (20 * MB, True, 4),
    "large.dxf": (200 * MB, False, 8),
    "large-bin.dxf": (200 * MB, True, 8),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(here, "corpus"), help="output folder")
    parser.add_argument("--only", nargs="*", help="drawings to write (names, or 'sheets')")
    parser.add_argument("--sheets", type=int, default=500, help="single-sheet drawings")
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--verify", action="store_true", help="read back the large ones too")
    args = parser.parse_args()
    ezdxf.options.write_fixed_meta_data_for_testing = True  # same seed, same bytes
    os.makedirs(args.out, exist_ok=True)
    manifest_path = os.path.join(args.out, "manifest.json")
    manifest = {}
    if os.path.exists(manifest_path):
        with open(manifest_path) as f:
            manifest = json.load(f)
    wanted = set(args.only) if args.only else set(DRAWINGS) | {"sheets"}
    for name, (size, binary, layouts) in DRAWINGS.items():
        if name not in wanted:
            continue
        path = os.path.join(args.out, name)
        start = time.monotonic()
        rng = random.Random(f"{args.seed}-{name}")
        counts = write_drawing(path, rng, size, binary, "R2018", layouts)
        counts["bytes"] = os.path.getsize(path)
        counts["format"] = "binary" if binary else "ascii"
        manifest[name] = counts
        print(f"{name}: {counts['bytes'] / MB:.1f} MB, {counts['block_references']} block "
              f"references, {counts['attributes']} attributes, "
              f"{time.monotonic() - start:.1f} s", flush=True)
        if size <= 20 * MB or args.verify:
            start = time.monotonic()
            verify(path, counts)
            print(f"  read back by ezdxf: same counts ({time.monotonic() - start:.1f} s)",
                  flush=True)
    if "sheets" in wanted:
        folder = os.path.join(args.out, "sheets")
        os.makedirs(folder, exist_ok=True)
        start = time.monotonic()
        total = {"files": 0, "bytes": 0, "block_references": 0, "attributes": 0}
        for i in range(args.sheets):
            path = os.path.join(folder, f"sheet-{i:04d}.dxf")
            counts = write_sheet(path, random.Random(f"{args.seed}-sheet-{i}"), i)
            if i < 7:  # one of each release
                verify(path, counts)
            total["files"] += 1
            total["bytes"] += os.path.getsize(path)
            total["block_references"] += counts["block_references"]
            total["attributes"] += counts["attributes"]
        manifest["sheets"] = total
        print(f"sheets/: {total['files']} drawings, {total['bytes'] / MB:.1f} MB, "
              f"{total['block_references']} block references, {total['attributes']} "
              f"attributes, {time.monotonic() - start:.1f} s", flush=True)
    with open(manifest_path, "w") as f:
        json.dump(manifest, f, indent=2, sort_keys=True)


if __name__ == "__main__":
    main()
