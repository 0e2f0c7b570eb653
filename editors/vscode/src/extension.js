'use strict';
// The ZORM extension: the language, the language server client, the build
// task and the debugger.

const vscode = require('vscode');
const languageClient = require('vscode-languageclient/node');
const { LanguageServerController } = require('./languageClient');
const { BuildTaskProvider, TASK_TYPE } = require('./buildTask');
const { registerDebugger } = require('./debugger');

let languageServer;

async function activate(context) {
  languageServer = new LanguageServerController(vscode, languageClient);
  context.subscriptions.push(
    vscode.commands.registerCommand('zorm.restartLanguageServer', () => languageServer.restart()),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration('zorm.languageServer')) languageServer.restart();
    }),
    vscode.tasks.registerTaskProvider(TASK_TYPE, new BuildTaskProvider(vscode)),
  );
  registerDebugger(vscode, context);
  await languageServer.start();
}

async function deactivate() {
  if (languageServer) await languageServer.stop();
}

module.exports = { activate, deactivate };
