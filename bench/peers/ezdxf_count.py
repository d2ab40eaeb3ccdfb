#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Peer for the reading benchmark: counts the top-level block references of model space and
of every paper-space layout, and their attributes, with ezdxf (ASCII and binary DXF)."""

import sys
import time

try:
    import ezdxf
except ImportError:
    sys.exit("skipped: ezdxf missing (run with /usr/bin/python3, Debian package python3-ezdxf)")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: ezdxf_count.py FILE.dxf")
    start = time.monotonic()
    doc = ezdxf.readfile(sys.argv[1])
    model = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
    paper = []
    for name in doc.layouts.names_in_taborder()[1:]:
        paper += [e for e in doc.layouts.get(name) if e.dxftype() == "INSERT"]
    attributes = 0
    for ref in model + paper:
        for attrib in ref.attribs:
            attrib.dxf.tag, attrib.dxf.text  # read both, as the other tools do
            attributes += 1
    print(f"ezdxf: {len(model)} model + {len(paper)} paper block references, "
          f"{attributes} attributes, {time.monotonic() - start:.4f} s")


if __name__ == "__main__":
    main()
