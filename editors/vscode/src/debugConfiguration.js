'use strict';
// Launch configurations of the debug type "zorm": what F5 starts without a
// launch.json, and the checks and defaults applied before zorm-dbg is asked.

const path = require('path');
const project = require('./project');

const DEBUG_TYPE = 'zorm';
const MACHINES = ['cpm', 'bare'];

// The processor, defines and include paths of a project, for a source that
// the debugger assembles; include paths become absolute, since the debugger
// does not run in the project's folder.
function assemblyAttributes(settings) {
  return {
    processor: settings.processor,
    defines: settings.defines,
    includePaths: settings.includePaths.map((p) => path.resolve(settings.folder, p)),
  };
}

// The configuration offered for a project whose zorm.json names its main file.
function projectLaunchConfiguration(settings) {
  return {
    type: DEBUG_TYPE,
    request: 'launch',
    name: `Assemble and debug ${settings.main}`,
    source: path.resolve(settings.folder, settings.main),
    ...assemblyAttributes(settings),
    stopOnEntry: true,
  };
}

// Fills in what F5 needs before variables such as ${file} are substituted:
// with no launch.json, the open source is assembled and debugged; a
// configuration with neither program nor source takes the open source too.
// Returns { configuration } or { error }.
function defaultLaunchConfiguration(configuration, activeFile) {
  let result = { ...configuration };
  if (!result.type && !result.request && !result.name) {
    if (!activeFile) return { error: 'Open a ZORM source to debug, or add a "zorm" launch configuration.' };
    result = { type: DEBUG_TYPE, request: 'launch', name: 'Assemble and debug the current file', stopOnEntry: true };
  }
  if (!result.program && !result.source) {
    if (!activeFile) return { error: 'A ZORM launch configuration needs "program" (an object file) or "source".' };
    result.source = activeFile;
  }
  return { configuration: result };
}

// Checks a configuration whose variables are substituted; the assembly
// settings it leaves out come from the zorm.json above its source.
// projectFor(file) returns those settings or undefined.
function checkLaunchConfiguration(configuration, projectFor) {
  const result = { ...configuration };
  if (result.request !== 'launch') return { error: 'A ZORM debug session is started with "request": "launch".' };
  if (result.program && result.source) return { error: 'Give either "program" or "source", not both.' };
  if (result.machine !== undefined && !MACHINES.includes(result.machine)) {
    return { error: `"machine" must be "cpm" or "bare", not "${result.machine}".` };
  }
  if (result.processor !== undefined && !Object.hasOwn(project.PROCESSOR_LEVELS, result.processor)) {
    return { error: `"processor" must be one of ${Object.keys(project.PROCESSOR_LEVELS).join(', ')}.` };
  }
  if (result.source) {
    const settings = projectFor(result.source);
    if (settings) {
      for (const [key, value] of Object.entries(assemblyAttributes(settings))) {
        if (result[key] === undefined) result[key] = value;
      }
    }
  }
  return { configuration: result };
}

module.exports = { DEBUG_TYPE, MACHINES, projectLaunchConfiguration, defaultLaunchConfiguration, checkLaunchConfiguration };
