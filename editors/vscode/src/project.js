'use strict';
// The project file zorm.json: one JSON object in a folder beside or above the
// sources, shared with the language server. Paths in it are relative to its
// own folder; every member is optional. The build runs, in that folder,
//   zorm -x<level> -D<define>... -I<include path>... <options>... <main>

const fs = require('fs');
const path = require('path');

const PROJECT_FILE_NAME = 'zorm.json';
const DEFAULT_PROCESSOR = 'z80';
// The processor names and the levels of -x0 .. -x5.
const PROCESSOR_LEVELS = { 8080: 0, 8085: 1, z80: 2, z80x: 3, z180: 4, z280: 5 };

class ProjectError extends Error {}

const isStringList = (value) => Array.isArray(value) && value.every((item) => typeof item === 'string' && item !== '');

// Checks the members of a parsed zorm.json and fills in the defaults.
function projectSettings(value, fileName) {
  const fail = (what) => {
    throw new ProjectError(`${fileName}: ${what}`);
  };
  if (value === null || typeof value !== 'object' || Array.isArray(value)) fail('the project file must hold one JSON object');
  const settings = {
    main: undefined,
    processor: DEFAULT_PROCESSOR,
    defines: [],
    includePaths: [],
    options: [],
  };
  if (value.main !== undefined) {
    if (typeof value.main !== 'string' || value.main === '') fail('"main" must be the path of the main source');
    settings.main = value.main;
  }
  if (value.processor !== undefined) {
    if (typeof value.processor !== 'string' || !Object.hasOwn(PROCESSOR_LEVELS, value.processor)) {
      fail(`"processor" must be one of ${Object.keys(PROCESSOR_LEVELS).map((p) => `"${p}"`).join(', ')}`);
    }
    settings.processor = value.processor;
  }
  for (const member of ['defines', 'includePaths', 'options']) {
    if (value[member] === undefined) continue;
    if (!isStringList(value[member])) fail(`"${member}" must be a list of non-empty strings`);
    settings[member] = [...value[member]];
  }
  return settings;
}

// Reads a project file; the result also names the folder the build runs in.
function readProject(projectFile) {
  let text;
  try {
    text = fs.readFileSync(projectFile, 'utf8');
  } catch (error) {
    throw new ProjectError(`${projectFile}: cannot be read (${error.code || error.message})`);
  }
  let value;
  try {
    value = JSON.parse(text);
  } catch (error) {
    throw new ProjectError(`${projectFile}: not valid JSON (${error.message})`);
  }
  return { file: projectFile, folder: path.dirname(projectFile), ...projectSettings(value, projectFile) };
}

// The nearest zorm.json from a source's folder up to the workspace folder.
function findProjectFile(sourceFile, workspaceFolder) {
  const root = path.resolve(workspaceFolder);
  let folder = path.dirname(path.resolve(sourceFile));
  for (;;) {
    const candidate = path.join(folder, PROJECT_FILE_NAME);
    if (fs.existsSync(candidate)) return candidate;
    const relative = path.relative(root, folder);
    if (relative === '' || relative.startsWith('..') || path.isAbsolute(relative)) return undefined;
    folder = path.dirname(folder);
  }
}

// The zorm arguments of a build, in the contract's order. mainFile is the
// source to assemble when the project names no main file.
function buildArguments(settings, mainFile) {
  const main = settings.main || mainFile;
  if (!main) throw new ProjectError('nothing to assemble: the project names no "main" file and no source is open');
  return [
    `-x${PROCESSOR_LEVELS[settings.processor]}`,
    ...settings.defines.map((d) => `-D${d}`),
    ...settings.includePaths.map((i) => `-I${i}`),
    ...settings.options,
    main,
  ];
}

// A project for a source that has no zorm.json: the Z80 level, nothing else.
function defaultSettings() {
  return projectSettings({}, PROJECT_FILE_NAME);
}

module.exports = {
  PROJECT_FILE_NAME,
  PROCESSOR_LEVELS,
  ProjectError,
  projectSettings,
  readProject,
  findProjectFile,
  buildArguments,
  defaultSettings,
};
