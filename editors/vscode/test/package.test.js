'use strict';
// The .vsix: packaged with vsce, it holds the extension and the language
// client's run-time modules and nothing of the tests, the grammar builder or
// the development packages; unpacked, it activates with the real client.
// VSIX_DIR names the folder to write it to (default: a scratch folder).

const { test } = require('node:test');
const assert = require('node:assert');
const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const manifest = require('../package.json');
const { createFakeVscode, requireWith, withPlaceholders } = require('./support/fakeVscode');

const EXTENSION_DIR = path.join(__dirname, '..');
const VSCE = path.join(path.dirname(require.resolve('@vscode/vsce/package.json')), 'vsce');

function unpack(vsix, folder) {
  const result = childProcess.spawnSync('python3', ['-m', 'zipfile', '-e', vsix, folder], { encoding: 'utf8' });
  return result.status === 0;
}

function filesUnder(folder) {
  const files = [];
  const walk = (dir) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      else files.push(path.relative(folder, file).split(path.sep).join('/'));
    }
  };
  walk(folder);
  return files.sort();
}

test('the .vsix holds the extension and what it needs at run time', async (t) => {
  const outFolder = process.env.VSIX_DIR || fs.mkdtempSync(path.join(os.tmpdir(), 'zorm-vsix-'));
  const vsix = path.join(outFolder, `${manifest.name}-${manifest.version}.vsix`);
  const packaged = childProcess.spawnSync(process.execPath,
    [VSCE, 'package', '--allow-missing-repository', '--skip-license', '-o', vsix],
    { cwd: EXTENSION_DIR, encoding: 'utf8' });
  assert.strictEqual(packaged.status, 0, packaged.stdout + packaged.stderr);
  t.diagnostic(`${vsix}: ${fs.statSync(vsix).size} bytes`);

  const unpacked = fs.mkdtempSync(path.join(os.tmpdir(), 'zorm-vsix-unpacked-'));
  if (!unpack(vsix, unpacked)) {
    t.skip('python3 is needed to unpack the .vsix');
    return;
  }
  const files = filesUnder(path.join(unpacked, 'extension'));
  for (const file of ['package.json', 'README.md', 'language-configuration.json', 'syntaxes/zorm-asm.tmLanguage.json',
    'src/extension.js', 'node_modules/vscode-languageclient/node.js']) {
    assert.ok(files.includes(file), `${file} is missing`);
  }
  const modules = new Set(files.filter((f) => f.startsWith('node_modules/')).map((f) => f.split('/')[1]));
  assert.deepStrictEqual([...modules].sort(), ['balanced-match', 'semver', 'vscode-jsonrpc', 'vscode-languageclient',
    'vscode-languageserver-protocol', 'vscode-languageserver-types']);
  const unwanted = files.filter((f) => /^(test|grammar|scripts)\/|\.(d\.ts|map|ts)$|\/\.github\//.test(f));
  assert.deepStrictEqual(unwanted, []);

  // The unpacked extension loads the client it carries and activates.
  const vscode = createFakeVscode({ settings: { 'zorm.languageServer.path': '/nonexistent/zorm-lsp' } });
  const extension = requireWith(path.join(unpacked, 'extension', 'src', 'extension.js'), { vscode: withPlaceholders(vscode) });
  await extension.activate({ subscriptions: [] });
  assert.ok(vscode.recorded.taskProviders.zorm);
  await extension.deactivate();
  fs.rmSync(unpacked, { recursive: true, force: true });
});
