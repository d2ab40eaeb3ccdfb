// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what LibreDWG reads of a DWG file's block references and their attributes, as JSON:
// {"error": N, "inserts": [{"handle", "name", "attribs": [{"handle", "tag", "text"}]}]}.
// "error" is LibreDWG's own code (128 and above: it could not read the drawing). One drawing
// per process: after a failed read the module's state cannot be trusted.
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import path from 'node:path';
import { LibreDwg, Dwg_File_Type } from '@mlightcad/libredwg-web';

// Runs from the folder tools/setup.sh installs the package in, beside its node_modules.
const here = path.dirname(fileURLToPath(import.meta.url));
const wasmDir = path.join(here, 'node_modules', '@mlightcad', 'libredwg-web', 'wasm') + path.sep;

const captured = [];
const original = { log: console.log, error: console.error, warn: console.warn };
for (const name of Object.keys(original)) console[name] = (...args) => captured.push(args.join(' '));
let error = 0;
const inserts = [];
try {
  const lib = await LibreDwg.create(wasmDir);
  const data = lib.dwg_read_data(readFileSync(process.argv[2]), Dwg_File_Type.DWG);
  for (const line of captured) {
    const code = /error code: (\d+)/.exec(line);
    if (code) error = Number(code[1]);
  }
  if (data == null || error >= 128) {
    error = Math.max(error, 128);
  } else {
    const db = lib.convert(data);
    for (const e of db.entities) {
      if (e.type !== 'INSERT' && e.type !== 'MINSERT') continue;
      inserts.push({
        handle: e.handle,
        name: e.name,
        attribs: (e.attribs ?? []).map((a) => ({ handle: a.handle, tag: a.tag, text: a.text?.text ?? '' })),
      });
    }
    lib.dwg_free(data);
  }
} catch (e) {
  process.stderr.write(`${e}\n`);
  error = Math.max(error, 128);
}
Object.assign(console, original);
console.log(JSON.stringify({ error, inserts }));
