'use strict';
// package.json holds what the language server, the debugger and the docs
// agree on: the language id and extensions, the settings and the launch
// configuration attributes of debug type "zorm".

const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const manifest = require('../package.json');

const contributes = manifest.contributes;

test('the language zorm-asm and its files', () => {
  assert.deepStrictEqual(contributes.languages.map((l) => [l.id, l.extensions]), [['zorm-asm', ['.asm', '.z80', '.s80', '.mac']]]);
  assert.deepStrictEqual(contributes.grammars.map((g) => [g.language, g.scopeName]), [['zorm-asm', 'source.zorm']]);
  for (const file of [contributes.languages[0].configuration, contributes.grammars[0].path, manifest.main]) {
    assert.ok(fs.existsSync(path.join(__dirname, '..', file)), file);
  }
  const configuration = JSON.parse(fs.readFileSync(path.join(__dirname, '..', contributes.languages[0].configuration), 'utf8'));
  assert.strictEqual(configuration.comments.lineComment, ';');
  const word = new RegExp(`^(?:${configuration.wordPattern})$`);
  for (const name of ['loop.1?', '_x', "af'", '$1F', '0x1F', '16#ff', '@17', '%101']) assert.match(name, word);
});

test('the settings and their defaults', () => {
  const settings = Object.fromEntries(Object.entries(contributes.configuration.properties).map(([k, v]) => [k, v.default]));
  assert.deepStrictEqual(settings, {
    'zorm.path': 'zorm',
    'zorm.languageServer.path': 'zorm-lsp',
    'zorm.languageServer.arguments': [],
    'zorm.debugger.path': 'zorm-dbg',
    'zorm.trace.server': 'off',
  });
  assert.deepStrictEqual(contributes.configuration.properties['zorm.trace.server'].enum, ['off', 'messages', 'verbose']);
  // A workspace the user does not trust cannot choose the programs that run.
  assert.deepStrictEqual(manifest.capabilities.untrustedWorkspaces.restrictedConfigurations,
    ['zorm.path', 'zorm.languageServer.path', 'zorm.languageServer.arguments', 'zorm.debugger.path']);
});

test('the debugger type zorm and its launch attributes', () => {
  const [debuggerType] = contributes.debuggers;
  assert.strictEqual(debuggerType.type, 'zorm');
  assert.deepStrictEqual(contributes.breakpoints, [{ language: 'zorm-asm' }]);
  const attributes = debuggerType.configurationAttributes.launch.properties;
  const types = Object.fromEntries(Object.entries(attributes).map(([k, v]) => [k, v.type === 'array' ? `${v.items.type}[]` : v.type]));
  assert.deepStrictEqual(types, {
    program: 'string',
    debugFile: 'string',
    source: 'string',
    processor: 'string',
    defines: 'string[]',
    includePaths: 'string[]',
    machine: 'string',
    stopOnEntry: 'boolean',
    outputPort: 'number',
    inputPort: 'number',
    statusPort: 'number',
    instructionBudget: 'number',
    cwd: 'string',
  });
  assert.deepStrictEqual(attributes.machine.enum, ['cpm', 'bare']);
  assert.deepStrictEqual(attributes.processor.enum, ['8080', '8085', 'z80', 'z80x', 'z180', 'z280']);
  // Every snippet and initial configuration uses only these attributes.
  const configurations = [...debuggerType.initialConfigurations, ...debuggerType.configurationSnippets.map((s) => s.body)];
  for (const configuration of configurations) {
    for (const key of Object.keys(configuration)) {
      assert.ok(['type', 'request', 'name'].includes(key) || Object.hasOwn(attributes, key), key);
    }
  }
});

test('the task type and its problem matchers', () => {
  assert.deepStrictEqual(contributes.taskDefinitions.map((d) => d.type), ['zorm']);
  assert.deepStrictEqual(contributes.problemMatchers.map((m) => m.name), ['zorm', 'zorm-warning', 'zorm-undefined', 'zorm-general']);
});
