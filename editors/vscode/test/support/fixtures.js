'use strict';
// The grammar's fixture sources and their expected scopes. A .scopes file
// lists each source line after "> ", then every token that has a scope: its
// text as a JSON string and its scopes, the root scope left out.

const fs = require('fs');
const path = require('path');

const FIXTURES = path.join(__dirname, '..', 'fixtures');

function fixtureNames() {
  return fs.readdirSync(FIXTURES).filter((name) => name.endsWith('.asm')).sort();
}

function formatScopes(lines) {
  const out = [];
  for (const { line, tokens } of lines) {
    out.push(`> ${line}`);
    for (const token of tokens) {
      if (token.scopes.length > 0) out.push(`    ${JSON.stringify(token.text)} ${token.scopes.join(' ')}`);
    }
  }
  return `${out.join('\n')}\n`;
}

module.exports = { FIXTURES, fixtureNames, formatScopes };
