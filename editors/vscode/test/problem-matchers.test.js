'use strict';
// The $zorm problem matchers on zorm's diagnostics: the two-line form with
// and without the "<<" marker and a macro's name, the undefined label lines,
// the messages without a position, and the one warning.

const { test } = require('node:test');
const assert = require('node:assert');
const { matchProblems } = require('./support/problemMatchers');
const { findZorm, runZorm } = require('./support/zorm');
const { BuildOutputTranslator } = require('../src/buildOutput');

const problem = (matcher, severity, file, line, message, code) => ({ matcher, severity, file, line, code, message });

test('each form of diagnostic is one problem', () => {
  const output = [
    '12:  ld a,(ix+<<300)',
    '"/w/prog.asm",12 : Value not within allowed range.',
    '3:        jp      nz lbl',
    '"/w/inc/defs.asm",3 : Syntax error.',
    '2:        ld      a,(ix+300)',
    '"/w/prog.asm",6 (inc2) : Value not within allowed range.',
    '7:        ld      a,a',
    '"/w/prog.asm",7 : Probably unintended NOP.',
    'File /w/prog.asm, Line 8 : Undefined label nowhere',
    'ZM80 : If without endif.',
    '9 lines read, 5 errors in pass 1.',
    '"/w/prog.asm",99 : A location line with no source line before it.',
  ].join('\n');
  assert.deepStrictEqual(matchProblems(output, '/w'), [
    problem('zorm-general', 'error', '/w/ZM80', undefined, 'If without endif'),
    problem('zorm', 'error', '/w/inc/defs.asm', 3, 'Syntax error'),
    problem('zorm', 'error', '/w/prog.asm', 6, 'Value not within allowed range', 'inc2'),
    problem('zorm-warning', 'warning', '/w/prog.asm', 7, 'Probably unintended NOP'),
    problem('zorm-undefined', 'error', '/w/prog.asm', 8, 'Undefined label nowhere'),
    problem('zorm', 'error', '/w/prog.asm', 12, 'Value not within allowed range'),
  ]);
});

test('zorm\'s own output, as the build task shows it', (t) => {
  const zorm = findZorm();
  if (!zorm) {
    t.skip('zorm is not built (set ZORM to its path)');
    return;
  }
  const sources = {
    'prog.asm': [
      'inc2    macro',
      '        nop',
      '        ld      a,(ix+300)',
      '        endm',
      '        include "inc/defs.asm"',
      '        inc2',
      '        jp      nz lbl',
      '        dw      nowhere',
      '        if 1',
      '',
    ].join('\n'),
    'inc/defs.asm': '        db 1\n        ld a,(ix+<300)\n',
  };
  const { status, stdout } = runZorm(zorm, ['-x', 'prog.asm'], sources);
  assert.strictEqual(status, 3, stdout);
  const translator = new BuildOutputTranslator('/w');
  const shown = translator.push(stdout) + translator.finish();
  const found = matchProblems(shown, '/elsewhere').map((p) => `${p.severity} ${p.file}:${p.line} ${p.message}${p.code ? ` (${p.code})` : ''}`);
  assert.deepStrictEqual(found, [
    'error /elsewhere/ZM80:undefined If without endif',
    'error /w/inc/defs.asm:2 Syntax error',
    'error /w/prog.asm:6 Value not within allowed range (inc2)',
    'error /w/prog.asm:7 Syntax error',
    'error /w/prog.asm:7 Undefined label lbl',
    'error /w/prog.asm:8 Undefined label nowhere',
  ]);
});

test('the warning of pass 2', (t) => {
  const zorm = findZorm();
  if (!zorm) {
    t.skip('zorm is not built (set ZORM to its path)');
    return;
  }
  const { status, stdout } = runZorm(zorm, ['-x', 'nop.asm'], { 'nop.asm': '        ld a,b\n        ld a,a\n' });
  assert.strictEqual(status, 0, stdout);
  assert.deepStrictEqual(matchProblems(stdout, '/w'), [problem('zorm-warning', 'warning', '/w/nop.asm', 2, 'Probably unintended NOP')]);
});
