#!/usr/bin/python3
"""Peer check of the drawing reader: the block references dxf_dump reports for a DXF file
must be those ezdxf finds, field by field.

ezdxf side: the top-level INSERTs of model space in file order, then those of each
paper-space layout in tab order; the ATTRIBs of each in order. Reader side: dxf_dump, which
enumerates the MODEL and PAPER selection sets. A .dxf.gz file is unpacked to a temporary
folder first.

Usage: compare_with_ezdxf.py --dump PATH/TO/dxf_dump [--skip-code N] [--dump-only] FILE
Exit: 0 same; 1 a difference; 2 a tool failed; --skip-code (default 0) when ezdxf is missing.
"""

import argparse
import gzip
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile

TOLERANCE = 1e-9  # relative, with an absolute floor of the same size


def ezdxf_records(path):
    import ezdxf
    from ezdxf import recover

    try:
        doc = ezdxf.readfile(path)
    except ezdxf.DXFStructureError:
        doc, _ = recover.readfile(path)
    records = []

    def add(space, layout):
        for ref in layout:
            if ref.dxftype() != "INSERT":
                continue
            point = ref.ocs().to_wcs(ref.dxf.insert)
            records.append({
                "space": space,
                "name": ref.dxf.name,
                "layer": ref.dxf.layer,
                "handle": ref.dxf.handle,
                "x": point.x,
                "y": point.y,
                "z": point.z,
                "attributes": [{"tag": a.dxf.tag, "value": a.dxf.text} for a in ref.attribs],
            })

    add("MODEL", doc.modelspace())
    for name in doc.layouts.names_in_taborder():
        if name != "Model":
            add("PAPER", doc.layouts.get(name))
    return records


def reader_records(dump, path):
    done = subprocess.run([dump, path], capture_output=True)
    if done.returncode != 0:
        err = done.stderr.decode("utf-8", "replace").strip()
        print(f"dxf_dump failed ({done.returncode}): {err}")
        sys.exit(2)
    return [json.loads(line) for line in done.stdout.decode("utf-8").splitlines() if line]


def upper(value):
    return value.upper() if isinstance(value, str) else value


def close(a, b):
    return math.isclose(a, b, rel_tol=TOLERANCE, abs_tol=TOLERANCE)


def describe(record):
    return f"{record['space']} {record['name']!r} handle {record['handle']}"


def compare(expected, got):
    """Returns the list of differences, each a line of text."""
    problems = []
    if len(expected) != len(got):
        problems.append(f"block references: ezdxf {len(expected)}, reader {len(got)}")
        mine = {(r["space"], str(upper(r["handle"]))) for r in got}
        theirs = {(r["space"], str(upper(r["handle"]))) for r in expected}
        for space, handle in sorted(theirs - mine)[:10]:
            problems.append(f"  missing in reader: {space} handle {handle}")
        for space, handle in sorted(mine - theirs)[:10]:
            problems.append(f"  extra in reader: {space} handle {handle}")
    for i, (e, g) in enumerate(zip(expected, got)):
        where = f"#{i} ({describe(e)})"
        if upper(e["handle"]) != upper(g["handle"]):
            problems.append(f"{where}: handle ezdxf {e['handle']}, reader {g['handle']}"
                            " (order or set differs)")
            continue
        for key in ("space", "name", "layer"):
            if e[key] != g[key]:
                problems.append(f"{where}: {key} ezdxf {e[key]!r}, reader {g[key]!r}")
        for key in ("x", "y", "z"):
            if g[key] is None or not close(e[key], g[key]):
                problems.append(f"{where}: {key} ezdxf {e[key]!r}, reader {g[key]!r}")
        ea, ga = e["attributes"], g["attributes"]
        if ga is None:
            problems.append(f"{where}: GetAttributes failed in the reader")
            continue
        if len(ea) != len(ga):
            problems.append(f"{where}: attributes ezdxf {len(ea)}, reader {len(ga)}")
        for j, (a, b) in enumerate(zip(ea, ga)):
            for key in ("tag", "value"):
                if a[key] != b[key]:
                    problems.append(f"{where}: attribute {j} {key} ezdxf {a[key]!r}, "
                                    f"reader {b[key]!r}")
    return problems


def main():
    parser = argparse.ArgumentParser(description="Compare dxf_dump with ezdxf on one file.")
    parser.add_argument("--dump", required=True, help="the dxf_dump program")
    parser.add_argument("--skip-code", type=int, default=0,
                        help="exit code when ezdxf is missing (CTest: SKIP_RETURN_CODE)")
    parser.add_argument("--dump-only", action="store_true",
                        help="print what ezdxf finds as JSON lines and stop")
    parser.add_argument("file")
    args = parser.parse_args()
    try:
        import ezdxf  # noqa: F401
    except ImportError:
        print("skipped: ezdxf missing (Debian package python3-ezdxf, for /usr/bin/python3)")
        sys.exit(args.skip_code)

    temp = None
    path = args.file
    try:
        if path.endswith(".gz"):
            temp = tempfile.mkdtemp(prefix="quillon-peer-")
            unpacked = os.path.join(temp, os.path.basename(path)[:-3])
            with gzip.open(path, "rb") as src, open(unpacked, "wb") as dst:
                shutil.copyfileobj(src, dst)
            path = unpacked
        expected = ezdxf_records(path)
        if args.dump_only:
            for record in expected:
                print(json.dumps(record, ensure_ascii=False))
            return
        got = reader_records(args.dump, path)
    finally:
        if temp:
            shutil.rmtree(temp, ignore_errors=True)

    problems = compare(expected, got)
    name = os.path.basename(args.file)
    attributes = sum(len(r["attributes"]) for r in expected)
    if problems:
        print(f"{name}: {len(problems)} difference(s) between the reader and ezdxf")
        for line in problems[:50]:
            print("  " + line)
        if len(problems) > 50:
            print(f"  ... and {len(problems) - 50} more")
        sys.exit(1)
    print(f"{name}: same as ezdxf ({len(expected)} block references, {attributes} attributes)")


if __name__ == "__main__":
    main()
