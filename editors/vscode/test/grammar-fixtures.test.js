'use strict';
// The grammar on the fixture sources: every token's scopes as the .scopes
// files expect. UPDATE_SCOPES=1 rewrites the .scopes files; review the diff.

const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { tokenize } = require('./support/grammar');
const { FIXTURES, fixtureNames, formatScopes } = require('./support/fixtures');

for (const name of fixtureNames()) {
  test(`scopes of ${name}`, async () => {
    const source = fs.readFileSync(path.join(FIXTURES, name), 'utf8');
    const actual = formatScopes(await tokenize(source));
    const expectedFile = path.join(FIXTURES, `${name}.scopes`);
    if (process.env.UPDATE_SCOPES) fs.writeFileSync(expectedFile, actual);
    assert.ok(fs.existsSync(expectedFile), `${expectedFile} is missing: run with UPDATE_SCOPES=1 and review it`);
    assert.strictEqual(actual, fs.readFileSync(expectedFile, 'utf8'));
  });
}
