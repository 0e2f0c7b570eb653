'use strict';
// A stand-in for the "vscode" module with just what the extension touches,
// recording what the extension registers, for tests run outside VS Code.

const path = require('path');
const Module = require('module');

class EventEmitter {
  constructor() {
    this.listeners = [];
    this.event = (listener) => {
      this.listeners.push(listener);
      return { dispose: () => {} };
    };
  }

  fire(value) {
    for (const listener of this.listeners) listener(value);
  }
}

function createFakeVscode({ workspaceFolder, settings = {}, files = [], activeFile } = {}) {
  const recorded = { commands: {}, taskProviders: {}, debugProviders: {}, debugFactories: {}, messages: [] };
  const uriFile = (fsPath) => ({ scheme: 'file', fsPath, path: fsPath });
  const folder = workspaceFolder ? { uri: uriFile(workspaceFolder), name: path.basename(workspaceFolder), index: 0 } : undefined;
  const vscode = {
    recorded,
    EventEmitter,
    Uri: { file: uriFile },
    RelativePattern: class { constructor(base, pattern) { Object.assign(this, { base, pattern }); } },
    TaskGroup: { Build: 'build' },
    Task: class {
      constructor(definition, scope, name, source, execution, problemMatchers) {
        Object.assign(this, { definition, scope, name, source, execution, problemMatchers });
      }
    },
    CustomExecution: class { constructor(callback) { this.callback = callback; } },
    DebugAdapterExecutable: class { constructor(command, args, options) { Object.assign(this, { command, args, options }); } },
    window: {
      activeTextEditor: activeFile
        ? { document: { uri: uriFile(activeFile), languageId: 'zorm-asm' } }
        : undefined,
      showWarningMessage: (...args) => { recorded.messages.push(['warning', ...args]); return Promise.resolve(undefined); },
      showErrorMessage: (...args) => { recorded.messages.push(['error', ...args]); return Promise.resolve(undefined); },
    },
    workspace: {
      workspaceFolders: folder ? [folder] : undefined,
      getWorkspaceFolder: () => folder,
      getConfiguration: (section) => ({ get: (key) => settings[`${section}.${key}`] }),
      findFiles: async () => files.map(uriFile),
      createFileSystemWatcher: (pattern) => ({ pattern, dispose: () => {} }),
      onDidChangeConfiguration: () => ({ dispose: () => {} }),
    },
    commands: {
      registerCommand: (name, callback) => { recorded.commands[name] = callback; return { dispose: () => {} }; },
      executeCommand: () => Promise.resolve(),
    },
    tasks: {
      registerTaskProvider: (type, provider) => { recorded.taskProviders[type] = provider; return { dispose: () => {} }; },
    },
    debug: {
      registerDebugConfigurationProvider: (type, provider) => { recorded.debugProviders[type] = provider; return { dispose: () => {} }; },
      registerDebugAdapterDescriptorFactory: (type, factory) => { recorded.debugFactories[type] = factory; return { dispose: () => {} }; },
    },
  };
  return vscode;
}

// Loads a module with require('vscode') and any other module named in
// replacements answered by the given objects.
function requireWith(file, replacements) {
  const originalLoad = Module._load;
  Module._load = function load(request, parent, isMain) {
    if (Object.hasOwn(replacements, request)) return replacements[request];
    return originalLoad.call(this, request, parent, isMain);
  };
  try {
    for (const key of Object.keys(require.cache)) {
      if (!key.includes(`${path.sep}node_modules${path.sep}`)) delete require.cache[key];
    }
    return require(file);
  } finally {
    Module._load = originalLoad;
  }
}

// The stand-in with a placeholder class for every other name, enough for
// modules that extend the API's classes when they load.
function withPlaceholders(vscode) {
  return new Proxy(vscode, { get: (target, key) => (key in target ? target[key] : class {}) });
}

module.exports = { createFakeVscode, requireWith, withPlaceholders, EventEmitter };
