'use strict';
// zorm names files as it opened them, relative to the folder it ran in. The
// build task shows its output with those names made absolute, so that the
// problem matchers find the files whatever the project's folder.

const path = require('path');

// "FILE",LINE : MESSAGE.   and   "FILE",LINE (MACRO) : MESSAGE.
const LOCATION_LINE = /^"(.+)",(\d+( \([^)]*\))? : .*)$/;
// File FILE, Line LINE : Undefined label NAME
const UNDEFINED_LABEL_LINE = /^File (.+), Line (\d+ : Undefined label .*)$/;

function absoluteLocations(line, folder) {
  let match = LOCATION_LINE.exec(line);
  if (match) return `"${path.resolve(folder, match[1])}",${match[2]}`;
  match = UNDEFINED_LABEL_LINE.exec(line);
  if (match) return `File ${path.resolve(folder, match[1])}, Line ${match[2]}`;
  return line;
}

// Turns the program's output, in chunks as they come, into terminal text:
// whole lines with absolute file names and CR LF line ends.
class BuildOutputTranslator {
  constructor(folder) {
    this.folder = folder;
    this.pending = '';
  }

  // Returns the text of the lines completed by this chunk.
  push(chunk) {
    this.pending += chunk;
    const lines = this.pending.split('\n');
    this.pending = lines.pop();
    return lines.map((line) => `${absoluteLocations(line.replace(/\r$/, ''), this.folder)}\r\n`).join('');
  }

  // Returns what is left once the output has ended.
  finish() {
    const rest = this.pending;
    this.pending = '';
    return rest === '' ? '' : `${absoluteLocations(rest, this.folder)}\r\n`;
  }
}

module.exports = { absoluteLocations, BuildOutputTranslator };
