'use strict';
// The grammar's words are the assembler's: its mnemonic table and keyword
// table, read from the assembler's sources; and each word gets its scope in
// every position a line can hold it.

const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const words = require('../grammar/words');
const { grammar } = require('../grammar/build');
const { tokenize, GRAMMAR_PATH } = require('./support/grammar');
const { REPOSITORY } = require('./support/zorm');

// The text of the first source file under src/ that holds the marker.
function findSource(marker) {
  const stack = [path.join(REPOSITORY, 'src')];
  while (stack.length > 0) {
    const folder = stack.pop();
    if (!fs.existsSync(folder)) continue;
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
      const file = path.join(folder, entry.name);
      if (entry.isDirectory()) stack.push(file);
      else if (/\.(cpp|h)$/.test(entry.name)) {
        const text = fs.readFileSync(file, 'utf8');
        if (text.includes(marker)) return text;
      }
    }
  }
  return undefined;
}

const sorted = (list) => [...list].sort();

test('the word lists are the assembler\'s tables', (t) => {
  const table = findSource('MNEMONIC_TABLE[] = {');
  const keywordSource = findSource('KEYWORD_TABLE[KEYWORD_COUNT] = {');
  if (!table || !keywordSource) {
    t.skip('the assembler\'s sources are not beside the extension');
    return;
  }
  const rows = [...table.matchAll(/\{"([a-z0-9]+)", \w+, (NONE|OPT|REQ), \d+, (\d+), \d+,/g)]
    .map((m) => ({ name: m[1], label: m[2], z80Cycles: Number(m[3]) }));
  assert.strictEqual(rows.length, 119);
  assert.deepStrictEqual(sorted(words.mnemonics), sorted(rows.map((r) => r.name)));
  assert.deepStrictEqual(sorted(words.labelRefused), sorted(rows.filter((r) => r.label === 'NONE').map((r) => r.name)));
  assert.deepStrictEqual(sorted(words.labelRequired), sorted(rows.filter((r) => r.label === 'REQ').map((r) => r.name)));
  // Instructions carry a cycle count; "set" is the one row that is both.
  assert.deepStrictEqual(sorted(words.instructions), sorted(rows.filter((r) => r.z80Cycles > 0).map((r) => r.name)));

  const start = keywordSource.indexOf('KEYWORD_TABLE[KEYWORD_COUNT] = {');
  const body = keywordSource.slice(start, keywordSource.indexOf('};', start));
  assert.deepStrictEqual(words.keywords, [...body.matchAll(/"([^"]+)"/g)].map((m) => m[1]));
});

test('the written grammar is the one the word lists give', () => {
  assert.deepStrictEqual(JSON.parse(fs.readFileSync(GRAMMAR_PATH, 'utf8')), grammar());
});

const scopesOf = async (line, text) => {
  const [{ tokens }] = await tokenize(`${line}\n`);
  return tokens.filter((tk) => tk.text === text).map((tk) => tk.scopes.join(' '));
};

test('every mnemonic and directive in the operation position', async () => {
  for (const op of words.mnemonics) {
    if (op === 'struct' || op === 'macro') continue;
    let expected = 'keyword.other.directive.zorm';
    if (words.conditionals.includes(op)) expected = 'keyword.control.conditional.zorm';
    else if (words.instructions.includes(op) || op === 'set') expected = 'keyword.other.mnemonic.zorm';
    else if (words.macroBodyDirectives.includes(op)) expected = 'invalid.illegal.directive.zorm';
    assert.deepStrictEqual(await scopesOf(`        ${op}`, op), [expected], op);
    const label = words.labelRefused.includes(op) ? 'invalid.illegal.label.zorm'
      : op === 'equ' ? 'entity.name.constant.zorm'
        : op === 'set' ? 'entity.name.variable.zorm' : 'entity.name.function.label.zorm';
    assert.deepStrictEqual(await scopesOf(`here:   ${op}`, 'here'), [label], op);
    // In column 0 a mnemonic is refused as a label.
    assert.deepStrictEqual(await scopesOf(`${op} 1`, op), ['invalid.illegal.label.zorm'], op);
    // In an operand it is a name like any other.
    assert.deepStrictEqual((await scopesOf(`        dw ${op}+1`, op)).slice(-1),
      [words.wordKeywords.includes(op) ? 'invalid.illegal.keyword.zorm' : 'variable.other.zorm'], op);
  }
});

test('registers, conditions and word operators in the operands', async () => {
  for (const register of words.registers) {
    assert.deepStrictEqual(await scopesOf(`        ld ${register},1`, register), ['variable.language.register.zorm'], register);
    assert.deepStrictEqual(await scopesOf(`${register}:`, register), ['invalid.illegal.label.zorm'], register);
  }
  for (const condition of words.branchConditions) {
    for (const branch of words.branches) {
      assert.deepStrictEqual(await scopesOf(`        ${branch} ${condition},x`, condition), ['support.constant.condition.zorm']);
    }
  }
  // Only the first operand of a branch is a condition; elsewhere c is a register.
  assert.deepStrictEqual(await scopesOf('        ld c,1', 'c'), ['variable.language.register.zorm']);
  for (const op of words.wordOperators) {
    assert.deepStrictEqual(await scopesOf(`        dw ${op} 1234`, op), ['keyword.operator.word.zorm']);
  }
});
