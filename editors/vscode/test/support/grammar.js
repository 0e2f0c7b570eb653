'use strict';
// Loads the extension's TextMate grammar with vscode-textmate and the
// Oniguruma engine, as VS Code does, and tokenizes text line by line.

const fs = require('fs');
const path = require('path');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const EXTENSION_DIR = path.join(__dirname, '..', '..');
const GRAMMAR_PATH = path.join(EXTENSION_DIR, 'syntaxes', 'zorm-asm.tmLanguage.json');
const SCOPE_NAME = 'source.zorm';

let grammarPromise;

function loadGrammar() {
  if (!grammarPromise) {
    const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
    const onigLib = oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength)).then(() => ({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }));
    const registry = new vsctm.Registry({
      onigLib,
      loadGrammar: async (scopeName) =>
        scopeName === SCOPE_NAME ? vsctm.parseRawGrammar(fs.readFileSync(GRAMMAR_PATH, 'utf8'), GRAMMAR_PATH) : null,
    });
    grammarPromise = registry.loadGrammar(SCOPE_NAME);
  }
  return grammarPromise;
}

// Returns one entry per line: { line, tokens: [{ text, scopes }] }, the root
// scope left out of each token's scopes.
async function tokenize(text) {
  const grammar = await loadGrammar();
  const lines = text.split('\n');
  if (lines.length > 0 && lines[lines.length - 1] === '') lines.pop();
  let ruleStack = vsctm.INITIAL;
  return lines.map((line) => {
    const result = grammar.tokenizeLine(line, ruleStack);
    ruleStack = result.ruleStack;
    return {
      line,
      tokens: result.tokens.map((t) => ({
        text: line.slice(t.startIndex, t.endIndex),
        scopes: t.scopes.filter((s) => s !== SCOPE_NAME),
      })),
    };
  });
}

module.exports = { tokenize, GRAMMAR_PATH, EXTENSION_DIR };
