'use strict';
// The build task's view of zorm's output: file names made absolute in both
// location forms, everything else untouched, lines whole whatever the chunks.

const { test } = require('node:test');
const assert = require('node:assert');
const { absoluteLocations, BuildOutputTranslator } = require('../src/buildOutput');

test('relative names become absolute, absolute ones stay', () => {
  assert.strictEqual(absoluteLocations('"src/a.asm",12 : Syntax error.', '/p'), '"/p/src/a.asm",12 : Syntax error.');
  assert.strictEqual(absoluteLocations('"a.asm",6 (m1) : Invalid format.', '/p'), '"/p/a.asm",6 (m1) : Invalid format.');
  assert.strictEqual(absoluteLocations('"/q/a.asm",1 : Syntax error.', '/p'), '"/q/a.asm",1 : Syntax error.');
  assert.strictEqual(absoluteLocations('File a.asm, Line 8 : Undefined label x', '/p'), 'File /p/a.asm, Line 8 : Undefined label x');
  for (const line of ['12:  ld a,"x",3 : y', 'ZM80 : If without endif.', '3 lines read, no errors in pass 1.']) {
    assert.strictEqual(absoluteLocations(line, '/p'), line);
  }
});

test('output split anywhere comes out as whole terminal lines', () => {
  const text = '1:  nop\n"a.asm",1 : Syntax error.\ntail';
  for (let cut = 0; cut <= text.length; ++cut) {
    const translator = new BuildOutputTranslator('/p');
    const shown = translator.push(text.slice(0, cut)) + translator.push(text.slice(cut)) + translator.finish();
    assert.strictEqual(shown, '1:  nop\r\n"/p/a.asm",1 : Syntax error.\r\ntail\r\n');
  }
});
