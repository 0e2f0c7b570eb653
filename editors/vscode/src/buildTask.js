'use strict';
// The task type "zorm": a build task for every zorm.json in the workspace and
// one for the active source. The task runs zorm in the project's folder with
// the command line the project file gives, and shows its output in the task's
// terminal, where the $zorm problem matchers read the diagnostics.

const childProcess = require('child_process');
const path = require('path');
const project = require('./project');
const { findExecutable } = require('./executable');
const { BuildOutputTranslator } = require('./buildOutput');

const TASK_TYPE = 'zorm';
const PROBLEM_MATCHERS = ['$zorm', '$zorm-warning', '$zorm-undefined', '$zorm-general'];
const ERASE_TO_LINE_END = '\x1b[K';

const quoteArgument = (arg) => (/^[\w./=:+,@%-]+$/.test(arg) ? arg : `'${arg.replace(/'/g, "'\\''")}'`);

// What one build runs: { command, args, folder }, or throws a ProjectError.
// definition.project names a zorm.json relative to the workspace folder;
// without it the active source is built, with the nearest zorm.json's settings.
function planBuild(definition, { workspaceFolder, activeFile, zormPath }) {
  let settings;
  let folder;
  let mainFile;
  if (definition.project) {
    const loaded = project.readProject(path.resolve(workspaceFolder, definition.project));
    settings = loaded;
    folder = loaded.folder;
    if (!loaded.main && activeFile) mainFile = path.relative(folder, activeFile);
  } else {
    if (!activeFile) throw new project.ProjectError('no ZORM source is open to build');
    const projectFile = project.findProjectFile(activeFile, workspaceFolder);
    if (projectFile) {
      settings = project.readProject(projectFile);
      folder = settings.folder;
    } else {
      settings = project.defaultSettings();
      folder = path.dirname(activeFile);
    }
    mainFile = path.relative(folder, activeFile);
  }
  return { command: zormPath, args: project.buildArguments(settings, mainFile), folder };
}

// The terminal of one build run.
class BuildTerminal {
  constructor(vscode, plan) {
    this.plan = plan;
    this.writeEmitter = new vscode.EventEmitter();
    this.closeEmitter = new vscode.EventEmitter();
    this.onDidWrite = this.writeEmitter.event;
    this.onDidClose = this.closeEmitter.event;
    this.child = undefined;
    this.progressShown = false;
  }

  open() {
    const { command, args, folder, error } = this.plan;
    if (error) {
      this.writeEmitter.fire(`zorm: ${error}\r\n`);
      this.closeEmitter.fire(1);
      return;
    }
    const program = findExecutable(command, { cwd: folder });
    this.writeEmitter.fire(`> ${[command, ...args].map(quoteArgument).join(' ')}\r\n  (in ${folder})\r\n`);
    if (!program) {
      this.writeEmitter.fire(`zorm: the assembler "${command}" was not found; set zorm.path\r\n`);
      this.closeEmitter.fire(127);
      return;
    }
    const stdout = new BuildOutputTranslator(folder);
    this.child = childProcess.spawn(program, args, { cwd: folder, stdio: ['ignore', 'pipe', 'pipe'] });
    this.child.stdout.setEncoding('utf8');
    this.child.stderr.setEncoding('utf8');
    this.child.stdout.on('data', (chunk) => this.write(stdout.push(chunk)));
    // Standard error carries the progress lines, each ended by a carriage
    // return; the next line of output is written over them.
    this.child.stderr.on('data', (chunk) => {
      this.write(chunk.replace(/\r?\n/g, '\r\n'));
      this.progressShown = chunk.endsWith('\r') && !chunk.endsWith('\n');
    });
    this.child.on('error', (error) => {
      this.write(`zorm: ${error.message}\r\n`);
      this.closeEmitter.fire(127);
    });
    this.child.on('close', (status, signal) => {
      this.write(stdout.finish());
      this.write(signal ? `zorm ended by ${signal}\r\n` : `zorm exited with status ${status}\r\n`);
      this.child = undefined;
      this.closeEmitter.fire(status === null ? 1 : status);
    });
  }

  write(text) {
    if (text === '') return;
    if (this.progressShown) {
      this.writeEmitter.fire(ERASE_TO_LINE_END);
      this.progressShown = false;
    }
    this.writeEmitter.fire(text);
  }

  close() {
    if (this.child) this.child.kill();
  }
}

// Turns a task definition into a task the user can run.
function createBuildTask(vscode, folder, definition, name) {
  const execution = new vscode.CustomExecution(async () => {
    const editor = vscode.window.activeTextEditor;
    const activeFile = editor && editor.document.uri.scheme === 'file' ? editor.document.uri.fsPath : undefined;
    const zormPath = vscode.workspace.getConfiguration('zorm', folder.uri).get('path') || 'zorm';
    let plan;
    try {
      plan = planBuild(definition, { workspaceFolder: folder.uri.fsPath, activeFile, zormPath });
    } catch (error) {
      if (!(error instanceof project.ProjectError)) throw error;
      plan = { error: error.message };
    }
    return new BuildTerminal(vscode, plan);
  });
  const task = new vscode.Task(definition, folder, name, 'zorm', execution, PROBLEM_MATCHERS);
  task.group = vscode.TaskGroup.Build;
  return task;
}

class BuildTaskProvider {
  constructor(vscode) {
    this.vscode = vscode;
  }

  async provideTasks() {
    const vscode = this.vscode;
    const tasks = [];
    for (const folder of vscode.workspace.workspaceFolders || []) {
      const pattern = new vscode.RelativePattern(folder, `**/${project.PROJECT_FILE_NAME}`);
      const files = await vscode.workspace.findFiles(pattern, '**/node_modules/**');
      for (const file of files.sort((a, b) => (a.fsPath < b.fsPath ? -1 : 1))) {
        const relative = path.relative(folder.uri.fsPath, file.fsPath).split(path.sep).join('/');
        tasks.push(createBuildTask(vscode, folder, { type: TASK_TYPE, task: 'build', project: relative }, `build ${relative}`));
      }
      tasks.push(createBuildTask(vscode, folder, { type: TASK_TYPE, task: 'build' }, 'build the active file'));
    }
    return tasks;
  }

  resolveTask(task) {
    const definition = task.definition;
    if (definition.type !== TASK_TYPE || definition.task !== 'build') return undefined;
    const folder = task.scope && task.scope.uri ? task.scope : (this.vscode.workspace.workspaceFolders || [])[0];
    if (!folder) return undefined;
    return createBuildTask(this.vscode, folder, definition, task.name);
  }
}

module.exports = { TASK_TYPE, PROBLEM_MATCHERS, planBuild, BuildTerminal, createBuildTask, BuildTaskProvider };
