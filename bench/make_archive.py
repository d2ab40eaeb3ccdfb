#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes an archive of many one-sheet drawings for the register benchmark.

Each drawing is a copy of one of a few small sheets (a title block, revision rows, tagged
equipment in model space, a little geometry; releases R12 to R2018 in turn) with its own
values: drawing number, title, revision, date, people, scale and equipment tags differ from
file to file, so every file has its own content hash and its own rows in a register. The
sheets are built once with ezdxf with markers in place of the values; the copies are the
sheet's bytes with the markers replaced, which writes 100,000 drawings in a few minutes.

Run with Debian's Python, which has python3-ezdxf:
    /usr/bin/python3 bench/make_archive.py FOLDER [--drawings 100000] [--per-folder 1000]
"""

import argparse
import os
import random
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_corpus  # noqa: E402  (the block definitions and value lists of the bench sheets)

import ezdxf  # noqa: E402

VERSIONS = ["R12", "R2000", "R2004", "R2010", "R2013", "R2018"]
EQUIPMENT_PER_SHEET = 6
MARK = re.compile(rb"@@([A-Z]+[0-9]*)@@")


def template(version, rng):
    """The bytes of one sheet whose attribute values are markers like @@DWGNO@@."""
    doc = ezdxf.new(version)
    for layer in make_corpus.LAYERS:
        doc.layers.add(layer, color=rng.randint(1, 7))
    make_corpus.define_blocks(doc)
    layout = doc.layouts.get(doc.layouts.names_in_taborder()[1])
    make_corpus.polyline(layout, [(5, 5), (415, 5), (415, 292), (5, 292)], close=True)
    layout.add_blockref("TITLE", (230, 10)).add_auto_attribs(
        {tag: f"@@{tag}@@" for tag in make_corpus.TITLE_TAGS})
    for r in range(2):
        layout.add_blockref("REVROW", (230, 52 + 6 * r)).add_auto_attribs(
            {"REV": f"@@REV{r}@@", "DESC": f"@@NOTE{r}@@", "DATE": "@@DATE@@"})
    layout.add_blockref("NORTH", (400, 270))
    msp = doc.modelspace()
    names = list(make_corpus.EQUIPMENT)
    for n in range(EQUIPMENT_PER_SHEET):
        name = names[n % len(names)]
        layer = make_corpus.EQUIPMENT[name][1]
        ref = msp.add_blockref(name, (rng.uniform(0, 800), rng.uniform(0, 500)),
                               dxfattribs={"layer": layer})
        ref.add_auto_attribs({"TAG": f"@@TAG{n}@@", "DESC": f"@@DESC{n}@@"})
    for _ in range(40):
        x, y = rng.uniform(0, 800), rng.uniform(0, 500)
        msp.add_line((x, y), (x + rng.uniform(-40, 40), y + rng.uniform(-40, 40)),
                     dxfattribs={"layer": "GEOM"})
    return make_corpus.save_document(doc, False, "\r\n")


def values(rng, index):
    """The values of drawing `index`, by marker name."""
    date = f"20{rng.randint(10, 26)}-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}"
    v = {
        "DWGNO": f"AR-{index:06d}-01",
        "TITLE": f"Unit {index // 40}, area {index % 40}",
        "REV": rng.choice("ABCDEF"),
        "DATE": date,
        "DRAWN": rng.choice(make_corpus.PEOPLE),
        "CHECKED": rng.choice(make_corpus.PEOPLE),
        "SCALE": rng.choice(["1:50", "1:100", "1:200", "NTS"]),
        "SHEET": "1 of 1",
    }
    for r in range(2):
        v[f"REV{r}"] = "AB"[r]
        v[f"NOTE{r}"] = rng.choice(make_corpus.NOTES)
    names = list(make_corpus.EQUIPMENT)
    for n in range(EQUIPMENT_PER_SHEET):
        prefix, _, descriptions = make_corpus.EQUIPMENT[names[n % len(names)]]
        v[f"TAG{n}"] = f"{prefix}-{index}{n:02d}"
        v[f"DESC{n}"] = rng.choice(descriptions)
    return v


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder", help="where the archive goes (subfolders of --per-folder)")
    parser.add_argument("--drawings", type=int, default=100000)
    parser.add_argument("--per-folder", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=2026)
    args = parser.parse_args()
    ezdxf.options.write_fixed_meta_data_for_testing = True  # same seed, same bytes
    rng = random.Random(args.seed)
    templates = []
    for version in VERSIONS:
        data = template(version, rng)
        # Values are written in the sheet's own code page: R12 files are not UTF-8.
        encoding = "utf-8" if version >= "R2007" else "cp1252"
        templates.append((data, encoding))
    start = time.monotonic()
    total = 0
    for i in range(args.drawings):
        folder = os.path.join(args.folder, f"area-{i // args.per_folder:03d}")
        if i % args.per_folder == 0:
            os.makedirs(folder, exist_ok=True)
        data, encoding = templates[i % len(templates)]
        v = {k.encode(): s.encode(encoding) for k, s in values(rng, i).items()}
        out = MARK.sub(lambda m: v[m.group(1)], data)
        with open(os.path.join(folder, f"AR-{i:06d}.dxf"), "wb") as f:
            f.write(out)
        total += len(out)
        if (i + 1) % 10000 == 0:
            print(f"{i + 1} drawings, {total / 1e6:.0f} MB, {time.monotonic() - start:.0f} s",
                  flush=True)
    print(f"{args.drawings} drawings, {total / 1e6:.0f} MB, {time.monotonic() - start:.0f} s")


if __name__ == "__main__":
    main()
