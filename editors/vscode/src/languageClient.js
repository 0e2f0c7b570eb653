'use strict';
// Starts zorm-lsp as the language server of ZORM sources, with the path and
// arguments from the settings, and restarts it when they change.

const { findExecutable } = require('./executable');

const CLIENT_ID = 'zorm';
const CLIENT_NAME = 'ZORM Language Server';

class LanguageServerController {
  // languageClientModule: vscode-languageclient/node.
  constructor(vscode, languageClientModule) {
    this.vscode = vscode;
    this.lc = languageClientModule;
    this.client = undefined;
  }

  serverOptions() {
    const settings = this.vscode.workspace.getConfiguration('zorm');
    const command = settings.get('languageServer.path') || 'zorm-lsp';
    const args = settings.get('languageServer.arguments') || [];
    return { command, args, program: findExecutable(command) };
  }

  async start() {
    const vscode = this.vscode;
    const { command, args, program } = this.serverOptions();
    if (!program) {
      // Not awaited: activation goes on while the message is shown.
      vscode.window.showWarningMessage(
        `The ZORM language server "${command}" was not found; diagnostics and navigation are off. Set zorm.languageServer.path.`,
        'Open Settings',
      ).then((choice) => {
        if (choice === 'Open Settings') vscode.commands.executeCommand('workbench.action.openSettings', 'zorm.languageServer');
      });
      return;
    }
    const executable = { command: program, args, transport: this.lc.TransportKind.stdio };
    const clientOptions = {
      documentSelector: [
        { scheme: 'file', language: 'zorm-asm' },
        { scheme: 'untitled', language: 'zorm-asm' },
      ],
      synchronize: { fileEvents: vscode.workspace.createFileSystemWatcher('**/zorm.json') },
    };
    this.client = new this.lc.LanguageClient(CLIENT_ID, CLIENT_NAME, { run: executable, debug: executable }, clientOptions);
    try {
      await this.client.start();
    } catch (error) {
      vscode.window.showErrorMessage(`The ZORM language server could not be started: ${error.message}`);
    }
  }

  async stop() {
    const client = this.client;
    this.client = undefined;
    if (client) await client.stop().catch(() => undefined);
  }

  async restart() {
    await this.stop();
    await this.start();
  }
}

module.exports = { LanguageServerController, CLIENT_ID };
