'use strict';
// The grammar marks as invalid exactly the lines that the assembler refuses.
// A fixture whose first line is "; zorm OPTIONS" is assembled with those
// options; the lines with an invalid.* scope must be the lines zorm reports.

const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { tokenize } = require('./support/grammar');
const { FIXTURES, fixtureNames } = require('./support/fixtures');
const { findZorm, runZorm, diagnosticLines } = require('./support/zorm');

const zorm = findZorm();

for (const name of fixtureNames()) {
  const source = fs.readFileSync(path.join(FIXTURES, name), 'utf8');
  const header = /^; zorm((?: -\S+)*)\n/.exec(source);
  if (!header) continue;
  test(`invalid lines of ${name} are the lines zorm refuses`, async (t) => {
    if (!zorm) {
      t.skip('zorm is not built (set ZORM to its path)');
      return;
    }
    const options = header[1].trim().split(/\s+/).filter(Boolean);
    const { stdout } = runZorm(zorm, [...options, '-oout.bin', name], { [name]: source });
    const refused = [...diagnosticLines(stdout)].sort((a, b) => a - b);
    const invalid = (await tokenize(source))
      .map((line, index) => (line.tokens.some((tk) => tk.scopes.some((s) => s.startsWith('invalid.'))) ? index + 1 : 0))
      .filter(Boolean);
    assert.deepStrictEqual(invalid, refused, `zorm's output:\n${stdout}`);
  });
}
