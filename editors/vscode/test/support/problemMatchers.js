'use strict';
// Applies the problem matchers of package.json to output text the way VS
// Code does: each matcher's patterns against consecutive lines, the groups
// giving the file, line, code and message, the matcher its severity.

const path = require('path');
const manifest = require('../../package.json');

const MATCHERS = manifest.contributes.problemMatchers;

function matchProblems(text, workspaceFolder) {
  const lines = text.replace(/\r\n/g, '\n').split('\n');
  const problems = [];
  for (const matcher of MATCHERS) {
    const patterns = Array.isArray(matcher.pattern) ? matcher.pattern : [matcher.pattern];
    for (let i = 0; i + patterns.length <= lines.length; ++i) {
      const found = {};
      const ok = patterns.every((pattern, k) => {
        const match = new RegExp(pattern.regexp).exec(lines[i + k]);
        if (!match) return false;
        for (const key of ['file', 'line', 'code', 'message']) {
          if (pattern[key] !== undefined && match[pattern[key]] !== undefined) found[key] = match[pattern[key]];
        }
        return true;
      });
      if (!ok) continue;
      const file = path.isAbsolute(found.file) ? found.file : path.join(workspaceFolder, found.file);
      problems.push({
        matcher: matcher.name,
        severity: matcher.severity,
        file,
        line: found.line === undefined ? undefined : Number(found.line),
        code: found.code,
        message: found.message,
      });
    }
  }
  return problems.sort((a, b) => (a.line || 0) - (b.line || 0) || a.matcher.localeCompare(b.matcher));
}

module.exports = { matchProblems };
