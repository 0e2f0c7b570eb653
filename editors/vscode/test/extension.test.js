'use strict';
// The extension as VS Code drives it, with a stand-in "vscode" module: what
// activation registers, how the language server and the debug adapter are
// started, and a build task run through the real zorm.

const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { createFakeVscode, requireWith } = require('./support/fakeVscode');
const { matchProblems } = require('./support/problemMatchers');
const { findZorm } = require('./support/zorm');
const { workspace } = require('./support/workspace');

const EXTENSION = path.join(__dirname, '..', 'src', 'extension.js');

async function activate(options) {
  const vscode = createFakeVscode(options);
  const clients = [];
  const languageClientModule = {
    TransportKind: { stdio: 0 },
    LanguageClient: class {
      constructor(id, name, serverOptions, clientOptions) {
        Object.assign(this, { id, name, serverOptions, clientOptions, state: 'new' });
        clients.push(this);
      }

      async start() { this.state = 'running'; }

      async stop() { this.state = 'stopped'; }
    },
  };
  const extension = requireWith(EXTENSION, { vscode, 'vscode-languageclient/node': languageClientModule });
  const context = { subscriptions: [] };
  await extension.activate(context);
  return { vscode, clients, extension, context };
}


// Runs a task's terminal to its end: { output, status }.
async function runTask(task) {
  const terminal = await task.execution.callback(task.definition);
  let output = '';
  terminal.onDidWrite((text) => { output += text; });
  const status = await new Promise((resolve) => {
    terminal.onDidClose(resolve);
    terminal.open(undefined);
  });
  return { output, status };
}

test('activation registers the command, the task type and the debugger', async () => {
  const { vscode, clients } = await activate({ settings: { 'zorm.languageServer.path': '/nonexistent/zorm-lsp' } });
  const { recorded } = vscode;
  assert.ok(recorded.commands['zorm.restartLanguageServer']);
  assert.ok(recorded.taskProviders.zorm);
  assert.ok(recorded.debugProviders.zorm);
  assert.ok(recorded.debugFactories.zorm);
  // Without its server the extension still works, and says why there are no diagnostics.
  assert.strictEqual(clients.length, 0);
  assert.strictEqual(recorded.messages.length, 1);
  assert.match(recorded.messages[0][1], /"\/nonexistent\/zorm-lsp" was not found.*zorm\.languageServer\.path/);
});

test('the language server is started with the path and arguments of the settings', async () => {
  const settings = { 'zorm.languageServer.path': process.execPath, 'zorm.languageServer.arguments': ['--log', 'lsp.log'] };
  const { vscode, clients } = await activate({ settings });
  assert.strictEqual(clients.length, 1);
  const [client] = clients;
  assert.strictEqual(client.id, 'zorm');
  assert.strictEqual(client.state, 'running');
  assert.deepStrictEqual(client.serverOptions.run, { command: process.execPath, args: ['--log', 'lsp.log'], transport: 0 });
  assert.deepStrictEqual(client.clientOptions.documentSelector.map((s) => s.language), ['zorm-asm', 'zorm-asm']);
  assert.strictEqual(client.clientOptions.synchronize.fileEvents.pattern, '**/zorm.json');
  await vscode.recorded.commands['zorm.restartLanguageServer']();
  assert.deepStrictEqual(clients.map((c) => c.state), ['stopped', 'running']);
});

test('the debug adapter is zorm-dbg --dap, run in the workspace folder', async () => {
  const root = workspace({});
  const { vscode } = await activate({ workspaceFolder: root, settings: { 'zorm.debugger.path': process.execPath } });
  const factory = vscode.recorded.debugFactories.zorm;
  const folder = vscode.workspace.workspaceFolders[0];
  const adapter = factory.createDebugAdapterDescriptor({ workspaceFolder: folder, configuration: {} });
  assert.deepStrictEqual({ ...adapter }, { command: process.execPath, args: ['--dap'], options: { cwd: root } });
  const elsewhere = factory.createDebugAdapterDescriptor({ workspaceFolder: folder, configuration: { cwd: '/tmp' } });
  assert.deepStrictEqual(elsewhere.options, { cwd: '/tmp' });
  const missing = await activate({ workspaceFolder: root, settings: { 'zorm.debugger.path': 'no-such-zorm-dbg' } });
  assert.throws(() => missing.vscode.recorded.debugFactories.zorm.createDebugAdapterDescriptor({ workspaceFolder: folder, configuration: {} }),
    /"no-such-zorm-dbg" was not found; set zorm\.debugger\.path/);
});

test('F5 on a source of a project fills in the project\'s assembly settings', async () => {
  const root = workspace({ 'zorm.json': JSON.stringify({ main: 'main.asm', processor: 'z80x', defines: ['D'] }), 'main.asm': '' });
  const main = path.join(root, 'main.asm');
  const { vscode } = await activate({ workspaceFolder: root, activeFile: main, settings: { 'zorm.languageServer.path': '/none' } });
  const provider = vscode.recorded.debugProviders.zorm;
  const folder = vscode.workspace.workspaceFolders[0];
  assert.strictEqual(provider.provideDebugConfigurations(folder)[0].source, main);
  const started = provider.resolveDebugConfiguration(folder, {});
  const checked = provider.resolveDebugConfigurationWithSubstitutedVariables(folder, started);
  assert.deepStrictEqual(checked, {
    type: 'zorm', request: 'launch', name: 'Assemble and debug the current file', stopOnEntry: true,
    source: main, processor: 'z80x', defines: ['D'], includePaths: [],
  });
  assert.strictEqual(provider.resolveDebugConfigurationWithSubstitutedVariables(folder, { ...checked, machine: 'msx' }), undefined);
  assert.match(vscode.recorded.messages.at(-1)[1], /"machine"/);
});

test('a build task for each zorm.json and one for the active file', async () => {
  const root = workspace({ 'zorm.json': '{}', 'sub/zorm.json': '{}' });
  const files = [path.join(root, 'sub/zorm.json'), path.join(root, 'zorm.json')];
  const { vscode } = await activate({ workspaceFolder: root, files, settings: { 'zorm.languageServer.path': '/none' } });
  const provider = vscode.recorded.taskProviders.zorm;
  const tasks = await provider.provideTasks();
  assert.deepStrictEqual(tasks.map((t) => [t.name, t.definition]), [
    ['build sub/zorm.json', { type: 'zorm', task: 'build', project: 'sub/zorm.json' }],
    ['build zorm.json', { type: 'zorm', task: 'build', project: 'zorm.json' }],
    ['build the active file', { type: 'zorm', task: 'build' }],
  ]);
  for (const task of tasks) {
    assert.deepStrictEqual(task.problemMatchers, ['$zorm', '$zorm-warning', '$zorm-undefined', '$zorm-general']);
    assert.strictEqual(task.group, 'build');
  }
  // A task written in tasks.json is resolved to the same build.
  const definition = { type: 'zorm', task: 'build', project: 'sub/zorm.json' };
  const resolved = provider.resolveTask({ definition, scope: vscode.workspace.workspaceFolders[0], name: 'mine' });
  assert.strictEqual(resolved.definition, definition);
  assert.strictEqual(provider.resolveTask({ definition: { type: 'zorm', task: 'clean' } }), undefined);
});

test('a build runs zorm in the project folder and its diagnostics reach the matchers', async (t) => {
  const zorm = findZorm();
  if (!zorm) {
    t.skip('zorm is not built (set ZORM to its path)');
    return;
  }
  const root = workspace({
    'game/zorm.json': JSON.stringify({ main: 'src/main.asm', processor: 'z80', includePaths: ['inc'], options: ['-odemo.bin'] }),
    'game/src/main.asm': '        include "defs.asm"\n        ld a,VALUE\n        ld b,a\n',
    'game/inc/defs.asm': 'VALUE   equ 5\n        ld a,(ix+300)\n',
  });
  const settings = { 'zorm.languageServer.path': '/none', 'zorm.path': zorm };
  const { vscode } = await activate({ workspaceFolder: root, files: [path.join(root, 'game/zorm.json')], settings });
  const [task] = await vscode.recorded.taskProviders.zorm.provideTasks();
  const failed = await runTask(task);
  assert.strictEqual(failed.status, 3, failed.output);
  assert.match(failed.output, /^> \S+ -x2 -Iinc -odemo\.bin src\/main\.asm\r\n/);
  assert.deepStrictEqual(matchProblems(failed.output, root).map((p) => [p.file, p.line, p.message]), [
    [path.join(root, 'game/inc/defs.asm'), 2, 'Value not within allowed range'],
  ]);
  fs.writeFileSync(path.join(root, 'game/inc/defs.asm'), 'VALUE   equ 5\n');
  const built = await runTask(task);
  assert.strictEqual(built.status, 0, built.output);
  assert.ok(fs.existsSync(path.join(root, 'game/demo.bin')));
});

test('a build without zorm says which setting to change', async () => {
  const root = workspace({ 'zorm.json': '{"main": "a.asm"}' });
  const settings = { 'zorm.languageServer.path': '/none', 'zorm.path': '/nonexistent/zorm' };
  const { vscode } = await activate({ workspaceFolder: root, files: [path.join(root, 'zorm.json')], settings });
  const [task] = await vscode.recorded.taskProviders.zorm.provideTasks();
  const { output, status } = await runTask(task);
  assert.strictEqual(status, 127);
  assert.match(output, /"\/nonexistent\/zorm" was not found; set zorm\.path/);
  fs.writeFileSync(path.join(root, 'zorm.json'), '{"processor": "z90"}');
  const broken = await runTask(task);
  assert.strictEqual(broken.status, 1);
  assert.match(broken.output, /zorm\.json: "processor" must be one of/);
});
