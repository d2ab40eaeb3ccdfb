#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes bench/corpus/dense.dxf: the 200 MB bench drawing (large.dxf) with about four times
its attributes. Plain geometry of model space (lines, circles, polylines, texts) is traded for
tagged pumps (block PUMP with TAG and DESC) until the drawing holds the wanted number of
attributes at about the same size, so the attribute page's cost can be measured on a drawing
as dense as a busy plant model. Run make_corpus.py first; the same input gives the same bytes.

    /usr/bin/python3 bench/make_dense_drawing.py [--attributes 167748]
"""

import argparse
import os
import re

SEP = b"\r\n  0\r\n"
GEOMETRY = (b"LINE", b"CIRCLE", b"LWPOLYLINE", b"TEXT")


def pump(handle, number, x, y):
    h = [format(handle + i, "X").encode() for i in range(4)]
    tag = b"P-%d" % number
    return b"\r\n".join([
        b"INSERT", b"  5", h[0], b"330", b"17", b"100", b"AcDbEntity", b"  8", b"EQUIP-PUMP",
        b"100", b"AcDbBlockReference", b" 66", b"1", b"  2", b"PUMP",
        b" 10", b"%.3f" % x, b" 20", b"%.3f" % y, b" 30", b"0.0",
        b"  0", b"ATTRIB", b"  5", h[1], b"330", h[0], b"100", b"AcDbEntity", b"  8",
        b"EQUIP-PUMP", b"100", b"AcDbText", b" 10", b"%.3f" % x, b" 20", b"%.3f" % (y - 6),
        b" 30", b"0.0", b" 40", b"2.5", b"  1", tag, b"100", b"AcDbAttribute", b"  2", b"TAG",
        b" 70", b"0",
        b"  0", b"ATTRIB", b"  5", h[2], b"330", h[0], b"100", b"AcDbEntity", b"  8",
        b"EQUIP-PUMP", b"100", b"AcDbText", b" 10", b"%.3f" % x, b" 20", b"%.3f" % (y + 6),
        b" 30", b"0.0", b" 40", b"1.8", b"  1", b"Transfer pump " + tag, b"100",
        b"AcDbAttribute", b"  2", b"DESC", b" 70", b"0",
        b"  0", b"SEQEND", b"  5", h[3], b"330", h[0], b"100", b"AcDbEntity", b"  8",
        b"EQUIP-PUMP",
    ])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--source", default=os.path.join(here, "corpus", "large.dxf"))
    parser.add_argument("--out", default=os.path.join(here, "corpus", "dense.dxf"))
    parser.add_argument("--attributes", type=int, default=167748)
    args = parser.parse_args()

    data = open(args.source, "rb").read()
    start = data.index(b"\r\n  2\r\nENTITIES\r\n")
    end = data.index(SEP + b"ENDSEC", start)
    head, body, tail = data[:start], data[start:end], data[end:]
    # Attributes of every layout, the ones kept in the block section's paper spaces too.
    existing = data.count(SEP + b"ATTRIB\r\n")
    pumps_needed = max(0, (args.attributes - existing + 1) // 2)

    seed = int(re.search(rb"\$HANDSEED\r\n  5\r\n([0-9A-F]+)", head).group(1), 16)
    parts = body.split(SEP)
    geometry = [i for i, p in enumerate(parts) if p.split(b"\r\n", 1)[0] in GEOMETRY]
    # Pumps replace geometry spread over the whole model; more geometry goes until the file is
    # back to its size.
    per_pump = max(1, len(geometry) // max(1, pumps_needed))
    swap = geometry[::per_pump][:pumps_needed]
    handle = seed
    excess = 0
    for n, i in enumerate(swap):
        new = pump(handle, 10000 + n, (n % 400) * 25.0, (n // 400) * 25.0)
        excess += len(new) - len(parts[i])
        parts[i] = new
        handle += 4
    swapped = set(swap)
    drop = set()
    for i in geometry:
        if excess <= 0:
            break
        if i not in swapped:
            drop.add(i)
            excess -= len(parts[i]) + len(SEP)
    body = SEP.join(p for k, p in enumerate(parts) if k not in drop)
    head = head.replace(b"$HANDSEED\r\n  5\r\n" + format(seed, "X").encode(),
                        b"$HANDSEED\r\n  5\r\n" + format(handle, "X").encode())
    with open(args.out, "wb") as f:
        f.write(head + body + tail)
    total = existing + 2 * len(swap)
    print(f"{args.out}: {os.path.getsize(args.out) / 1e6:.1f} MB, {total} ATTRIB entities "
          f"({len(swap)} pumps added)")


if __name__ == "__main__":
    main()
