'use strict';
// The built zorm for tests that compare with the assembler: $ZORM, else the
// build folder's zorm at the repository's top. Undefined when there is none.

const fs = require('fs');
const path = require('path');
const childProcess = require('child_process');
const { workspace } = require('./workspace');

const REPOSITORY = path.join(__dirname, '..', '..', '..', '..');

function findZorm() {
  const candidates = [process.env.ZORM, path.join(REPOSITORY, 'build', 'zorm')].filter(Boolean);
  return candidates.find((file) => fs.existsSync(file));
}

// Runs zorm in a scratch folder holding the given files; returns its status
// and standard output.
function runZorm(zorm, args, files) {
  const folder = workspace(files, 'zorm-run-');
  try {
    const result = childProcess.spawnSync(zorm, args, { cwd: folder, encoding: 'utf8' });
    return { status: result.status, stdout: result.stdout, folder };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// The line numbers zorm reports diagnostics on, from both location forms.
function diagnosticLines(stdout) {
  const lines = new Set();
  for (const line of stdout.split('\n')) {
    const match = /^"[^"]+",(\d+)(?: \([^)]*\))? : /.exec(line) || /^File .+, Line (\d+) : /.exec(line);
    if (match) lines.add(Number(match[1]));
  }
  return lines;
}

module.exports = { REPOSITORY, findZorm, runZorm, diagnosticLines };
