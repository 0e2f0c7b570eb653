'use strict';
// zorm.json: its checks, the search from a source up to the workspace
// folder, and the zorm command line a build runs.

const { test } = require('node:test');
const assert = require('node:assert');
const path = require('path');
const project = require('../src/project');
const { planBuild } = require('../src/buildTask');
const { workspace } = require('./support/workspace');


test('the command line from every member, in order', () => {
  const settings = project.projectSettings({
    main: 'src/game.asm',
    processor: 'z180',
    defines: ['DEBUG', 'ROM=0x8000'],
    includePaths: ['inc', 'lib'],
    options: ['-s2', '-t', '-l'],
  }, 'zorm.json');
  assert.deepStrictEqual(project.buildArguments(settings),
    ['-x4', '-DDEBUG', '-DROM=0x8000', '-Iinc', '-Ilib', '-s2', '-t', '-l', 'src/game.asm']);
});

test('every processor name gives its level', () => {
  const levels = Object.entries({ 8080: '-x0', 8085: '-x1', z80: '-x2', z80x: '-x3', z180: '-x4', z280: '-x5' });
  for (const [processor, option] of levels) {
    assert.deepStrictEqual(project.buildArguments(project.projectSettings({ processor }, 'p'), 'a.asm'), [option, 'a.asm']);
  }
  // Without a project the level is the Z80's.
  assert.deepStrictEqual(project.buildArguments(project.defaultSettings(), 'a.asm'), ['-x2', 'a.asm']);
});

test('members of the wrong kind are refused with their name', () => {
  const refusals = [
    [[], /one JSON object/],
    [{ main: 3 }, /"main"/],
    [{ processor: 'z80a' }, /"processor" must be one of "8080"/],
    [{ processor: 8080 }, /"processor"/],
    [{ defines: 'DEBUG' }, /"defines"/],
    [{ includePaths: [''] }, /"includePaths"/],
    [{ options: [1] }, /"options"/],
  ];
  for (const [value, message] of refusals) {
    assert.throws(() => project.projectSettings(value, 'zorm.json'), message);
  }
  assert.throws(() => project.buildArguments(project.defaultSettings()), /nothing to assemble/);
});

test('the nearest zorm.json, never above the workspace folder', () => {
  const root = workspace({ 'zorm.json': '{}', 'a/zorm.json': '{}', 'a/b/c/x.asm': '', 'd/y.asm': '' });
  assert.strictEqual(project.findProjectFile(path.join(root, 'a/b/c/x.asm'), root), path.join(root, 'a/zorm.json'));
  assert.strictEqual(project.findProjectFile(path.join(root, 'd/y.asm'), root), path.join(root, 'zorm.json'));
  assert.strictEqual(project.findProjectFile(path.join(root, 'd/y.asm'), path.join(root, 'd')), undefined);
});

test('a broken project file is named in the refusal', () => {
  const root = workspace({ 'zorm.json': '{ "main": ' });
  assert.throws(() => project.readProject(path.join(root, 'zorm.json')), /zorm\.json: not valid JSON/);
  assert.throws(() => project.readProject(path.join(root, 'none.json')), /cannot be read/);
});

test('what a build runs, with and without a project', () => {
  const root = workspace({
    'game/zorm.json': JSON.stringify({ main: 'src/main.asm', processor: '8080', includePaths: ['inc'] }),
    'tool/zorm.json': JSON.stringify({ defines: ['X'] }),
    'tool/src/t.asm': '',
    'lone/l.asm': '',
  });
  const base = { workspaceFolder: root, zormPath: 'zorm' };
  assert.deepStrictEqual(planBuild({ project: 'game/zorm.json' }, base),
    { command: 'zorm', args: ['-x0', '-Iinc', 'src/main.asm'], folder: path.join(root, 'game') });
  // A project without main builds the active source, relative to its folder.
  const active = path.join(root, 'tool/src/t.asm');
  assert.deepStrictEqual(planBuild({ project: 'tool/zorm.json' }, { ...base, activeFile: active }),
    { command: 'zorm', args: ['-x2', '-DX', 'src/t.asm'], folder: path.join(root, 'tool') });
  assert.deepStrictEqual(planBuild({}, { ...base, activeFile: active }),
    { command: 'zorm', args: ['-x2', '-DX', 'src/t.asm'], folder: path.join(root, 'tool') });
  assert.deepStrictEqual(planBuild({}, { ...base, activeFile: path.join(root, 'lone/l.asm') }),
    { command: 'zorm', args: ['-x2', 'l.asm'], folder: path.join(root, 'lone') });
  assert.throws(() => planBuild({}, base), /no ZORM source is open/);
});
