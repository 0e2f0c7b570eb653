'use strict';
// The debugger contribution: sessions of type "zorm" talk to zorm-dbg --dap
// over its standard streams.

const fs = require('fs');
const path = require('path');
const project = require('./project');
const { findExecutable } = require('./executable');
const {
  DEBUG_TYPE, projectLaunchConfiguration, defaultLaunchConfiguration, checkLaunchConfiguration,
} = require('./debugConfiguration');

function activeZormFile(vscode) {
  const editor = vscode.window.activeTextEditor;
  if (!editor || editor.document.languageId !== 'zorm-asm' || editor.document.uri.scheme !== 'file') return undefined;
  return editor.document.uri.fsPath;
}

function projectFor(vscode, file) {
  const folder = vscode.workspace.getWorkspaceFolder(vscode.Uri.file(file));
  const projectFile = project.findProjectFile(file, folder ? folder.uri.fsPath : path.dirname(file));
  if (!projectFile) return undefined;
  try {
    return project.readProject(projectFile);
  } catch (error) {
    if (error instanceof project.ProjectError) return undefined;
    throw error;
  }
}

class ZormDebugConfigurationProvider {
  constructor(vscode) {
    this.vscode = vscode;
  }

  provideDebugConfigurations(folder) {
    if (folder) {
      const projectFile = path.join(folder.uri.fsPath, project.PROJECT_FILE_NAME);
      if (fs.existsSync(projectFile)) {
        try {
          const settings = project.readProject(projectFile);
          if (settings.main) return [projectLaunchConfiguration(settings)];
        } catch (error) {
          if (!(error instanceof project.ProjectError)) throw error;
        }
      }
    }
    return [{ type: DEBUG_TYPE, request: 'launch', name: 'Assemble and debug the current file', source: '${file}', stopOnEntry: true }];
  }

  resolveDebugConfiguration(folder, configuration) {
    return this.answer(defaultLaunchConfiguration(configuration, activeZormFile(this.vscode)));
  }

  resolveDebugConfigurationWithSubstitutedVariables(folder, configuration) {
    return this.answer(checkLaunchConfiguration(configuration, (file) => projectFor(this.vscode, file)));
  }

  answer(result) {
    if (result.error) {
      this.vscode.window.showErrorMessage(result.error);
      return undefined;
    }
    return result.configuration;
  }
}

class ZormDebugAdapterFactory {
  constructor(vscode) {
    this.vscode = vscode;
  }

  createDebugAdapterDescriptor(session) {
    const vscode = this.vscode;
    const folder = session.workspaceFolder;
    const setting = vscode.workspace.getConfiguration('zorm', folder && folder.uri).get('debugger.path') || 'zorm-dbg';
    const program = findExecutable(setting);
    if (!program) throw new Error(`The ZORM debugger "${setting}" was not found; set zorm.debugger.path.`);
    const cwd = session.configuration.cwd || (folder ? folder.uri.fsPath : undefined);
    return new vscode.DebugAdapterExecutable(program, ['--dap'], cwd ? { cwd } : {});
  }
}

function registerDebugger(vscode, context) {
  context.subscriptions.push(
    vscode.debug.registerDebugConfigurationProvider(DEBUG_TYPE, new ZormDebugConfigurationProvider(vscode)),
    vscode.debug.registerDebugAdapterDescriptorFactory(DEBUG_TYPE, new ZormDebugAdapterFactory(vscode)),
  );
}

module.exports = { registerDebugger, ZormDebugConfigurationProvider, ZormDebugAdapterFactory };
