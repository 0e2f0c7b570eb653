'use strict';
// Finds the program a setting names: a path, or a command on PATH.

const fs = require('fs');
const path = require('path');

function isExecutableFile(file, platform) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

// Returns the program's full path, or undefined when there is none.
function findExecutable(command, { env = process.env, platform = process.platform, cwd = process.cwd() } = {}) {
  if (!command) return undefined;
  const extensions = platform === 'win32'
    ? ['', ...(env.PATHEXT || '.EXE;.CMD;.BAT;.COM').split(';').filter(Boolean)]
    : [''];
  const candidates = (base) => extensions.map((ext) => base + ext);
  const separators = platform === 'win32' ? /[\\/]/ : /\//;
  if (separators.test(command)) {
    return candidates(path.resolve(cwd, command)).find((file) => isExecutableFile(file, platform));
  }
  const pathList = (env.PATH || env.Path || '').split(platform === 'win32' ? ';' : ':').filter(Boolean);
  for (const folder of pathList) {
    const found = candidates(path.join(folder, command)).find((file) => isExecutableFile(file, platform));
    if (found) return found;
  }
  return undefined;
}

module.exports = { findExecutable };
