#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What ezdxf reads in a DXF file: one JSON object with the number of entities and objects it
holds ("entities") and the value of every ATTRIB of the top-level block references by handle
("values"; a multiline attribute's plain text with each line break as a blank, escapes
decoded), for the tests of the attribute value writer.

Usage: ezdxf_attribute_values.py FILE
Exit: 0, 77 when ezdxf is missing, 1 when ezdxf cannot read the file.
"""

import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peer"))


def main():
    try:
        import ezdxf
    except ImportError:
        sys.exit(77)
    from compare_with_ezdxf import attribute_text, readable_copy

    with tempfile.TemporaryDirectory(prefix="quillon-writer-") as folder:
        copy, encoding = readable_copy(sys.argv[1], folder)
        try:
            doc = ezdxf.readfile(copy, encoding=encoding)
        except Exception as error:  # ezdxf raises many kinds on damaged structure
            print(f"{type(error).__name__}: {error}", file=sys.stderr)
            sys.exit(1)
    values = {}
    for layout in doc.layouts:
        for ref in layout.query("INSERT"):
            for attrib in ref.attribs:
                values[attrib.dxf.handle.upper()] = attribute_text(attrib)
    print(json.dumps({"entities": len(doc.entitydb), "values": values}, ensure_ascii=False))


if __name__ == "__main__":
    main()
