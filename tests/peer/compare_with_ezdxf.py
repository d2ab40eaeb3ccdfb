#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
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
import re
import shutil
import subprocess
import sys
import tempfile

TOLERANCE = 1e-9  # relative, with an absolute floor of the same size


# \M+nXXXX: two bytes of an East Asian code page, n = 1..5.
MBCS_CODE_PAGES = {"1": "cp932", "2": "cp950", "3": "cp949", "4": "johab", "5": "cp936"}
ESCAPES = re.compile(r"\\U\+([0-9A-Fa-f]{4})|\\M\+([1-5])([0-9A-Fa-f]{4})")


def unescape(text):
    r"""Decodes the \U+XXXX and \M+nXXXX escapes of DXF text values."""

    def replace(match):
        if match.group(1):
            return chr(int(match.group(1), 16))
        try:
            raw = int(match.group(3), 16).to_bytes(2, "big")
            return raw.decode(MBCS_CODE_PAGES[match.group(2)])
        except (UnicodeDecodeError, LookupError):
            return match.group(0)

    return ESCAPES.sub(replace, text)


def header_value(data, name):
    """The value of a header variable in ASCII DXF bytes, or None."""
    match = re.search(rb"\r?\n?\s*9\r?\n" + re.escape(name) + rb"\r?\n\s*\d+\r?\n([^\r\n]*)",
                      data[:200000])
    return match.group(1).decode("ascii", "replace").strip() if match else None


def readable_copy(path, folder):
    r"""ezdxf reads text in one code page for the whole file and leaves escapes as written;
    DXF text is often mixed (UTF-8 in files labelled ANSI, \U+ and \M+ escapes in names).
    The copy has every value decoded on its own and escapes resolved, in UTF-8."""
    from ezdxf.tools.codepage import toencoding

    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"AutoCAD Binary DXF"):
        return path, None
    version = header_value(data, b"$ACADVER") or "AC1009"
    code_page = "utf-8"
    if version < "AC1021":
        code_page = toencoding(header_value(data, b"$DWGCODEPAGE") or "ANSI_1252")
    lines = []
    for line in data.splitlines(keepends=True):
        try:
            text = line.decode("utf-8")
        except UnicodeDecodeError:
            text = line.decode(code_page, errors="replace")
        lines.append(unescape(text))
    copy = os.path.join(folder, "utf8-" + os.path.basename(path))
    with open(copy, "wb") as f:
        f.write("".join(lines).encode("utf-8", errors="surrogateescape"))
    return copy, "utf-8"


STACK = re.compile(r"\\S([^;]*?)[/^#]([^;]*);")


def attribute_text(attrib):
    """A single-line attribute's text, or a multiline one's plain text on one line: formatting
    removed, line breaks as blanks, a stacked fraction as a/b."""
    if not attrib.has_embedded_mtext_entity:
        return unescape(attrib.dxf.text)
    from ezdxf.tools.text import plain_mtext

    raw = STACK.sub(r"\1/\2", attrib.virtual_mtext_entity().text)
    plain = plain_mtext(raw, split=False)
    return unescape(plain.replace("\r\n", " ").replace("\n", " ").replace("\r", " "))


class Unreadable(Exception):
    pass


def ezdxf_records(path, folder):
    import ezdxf
    from ezdxf import recover

    copy, encoding = readable_copy(path, folder)
    try:
        doc = ezdxf.readfile(copy, encoding=encoding)
    except Exception as first:  # ezdxf raises many kinds on damaged structure
        try:
            doc, _ = recover.readfile(copy)
        except Exception:
            raise Unreadable(f"{type(first).__name__}: {first}")
    # R12 files may come without handles; ezdxf then makes its own up.
    has_handles = doc.dxfversion > "AC1009" or doc.header.get("$HANDLING", 0)
    records = []

    def add(space, layout):
        for ref in layout:
            if ref.dxftype() != "INSERT":
                continue
            point = ref.ocs().to_wcs(ref.dxf.insert)
            records.append({
                "space": space,
                "name": unescape(ref.dxf.name),
                "layer": unescape(ref.dxf.layer),
                "handle": ref.dxf.handle if has_handles else None,
                "x": point.x,
                "y": point.y,
                "z": point.z,
                "attributes": [{"tag": unescape(a.dxf.tag), "value": attribute_text(a)}
                               for a in ref.attribs],
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
        if e["handle"] is not None and upper(e["handle"]) != upper(g["handle"]):
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

    temp = tempfile.mkdtemp(prefix="quillon-peer-")
    path = args.file
    try:
        if path.endswith(".gz"):
            unpacked = os.path.join(temp, os.path.basename(path)[:-3])
            with gzip.open(path, "rb") as src, open(unpacked, "wb") as dst:
                shutil.copyfileobj(src, dst)
            path = unpacked
        try:
            expected = ezdxf_records(path, temp)
        except Unreadable as error:
            print(f"skipped: ezdxf cannot read {os.path.basename(args.file)} ({error})")
            sys.exit(args.skip_code)
        if args.dump_only:
            for record in expected:
                print(json.dumps(record, ensure_ascii=False))
            return
        got = reader_records(args.dump, path)
    finally:
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
