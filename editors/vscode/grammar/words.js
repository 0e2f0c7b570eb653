'use strict';
// The words the assembler knows, as its lexer and mnemonic table hold them.
// Keywords and mnemonics are matched in lower case only. The grammar test
// compares these lists with the assembler's own tables.

// The lexer's keyword table: registers, conditions and word operators.
const registers = [
  'a', 'af', 'b', 'bc', 'c', 'd', 'de', 'e', 'h', 'hl', 'i', 'ix', 'ixh', 'ixl',
  'iy', 'iyh', 'iyl', 'l', 'r', 'sp', 'xh', 'xl', 'yh', 'yl',
];
const conditions = ['m', 'nc', 'ns', 'nv', 'nz', 'p', 'pe', 'po', 's', 'v', 'z'];
// "c" is a condition only as the first operand of a branch.
const branchConditions = ['c', ...conditions];
const wordOperators = ['hi', 'lo'];
// Keywords that the lexer hands on as plain words outside a struct body.
const wordKeywords = ['align', 'db', 'dd', 'ds', 'dw', 'end', 'label', 'struct'];
const keywords = [...registers, ...conditions, ...wordOperators, ...wordKeywords].sort();

// The mnemonic table: every instruction and directive, with its label rule.
const instructions = [
  'adc', 'add', 'and', 'bit', 'call', 'ccf', 'cp', 'cpd', 'cpdr', 'cpi', 'cpir', 'cpl',
  'daa', 'dec', 'di', 'disable', 'djnz', 'ei', 'enable', 'ex', 'exx', 'halt', 'im', 'in',
  'in0', 'inc', 'ind', 'indr', 'ini', 'inir', 'jp', 'jr', 'ld', 'ldd', 'lddr', 'ldi',
  'ldir', 'mlt', 'neg', 'nop', 'or', 'otdm', 'otdmr', 'otdr', 'otim', 'otimr', 'otir',
  'out', 'out0', 'outd', 'outi', 'pop', 'push', 'res', 'ret', 'reti', 'retn', 'rim', 'rl',
  'rla', 'rlc', 'rlca', 'rld', 'rr', 'rra', 'rrc', 'rrca', 'rrd', 'rst', 'sbc', 'scf',
  'shl', 'shr', 'sim', 'sl', 'sla', 'slp', 'sr', 'sra', 'srl', 'stc', 'sub', 'tst', 'tsti',
  'tstio', 'xor',
];
// "set" is both the bit instruction and the directive that assigns a value.
const directives = [
  'align', 'bss', 'cmap', 'code', 'data', 'db', 'dd', 'defb', 'defm', 'defs', 'defw', 'ds',
  'dw', 'else', 'end', 'endif', 'endm', 'equ', 'exitm', 'if', 'include', 'list', 'local',
  'macro', 'memsize', 'nolist', 'noopt', 'opt', 'org', 'page', 'set', 'struct', 'title',
];
const mnemonics = [...new Set([...instructions, ...directives])].sort();
// Rows that refuse a label ("No label allowed") and rows that need one.
const labelRefused = [
  'align', 'bss', 'cmap', 'code', 'data', 'else', 'end', 'endif', 'endm', 'exitm', 'if',
  'include', 'list', 'local', 'memsize', 'nolist', 'noopt', 'opt', 'page', 'struct', 'title',
];
const labelRequired = ['equ', 'macro'];

const conditionals = ['if', 'else', 'endif'];
// Directives that are refused outside a macro definition.
const macroBodyDirectives = ['endm', 'exitm', 'local'];
const branches = ['call', 'djnz', 'jp', 'jr', 'ret'];

// Symbols defined for the selected processor.
const processorSymbols = ['__8080__', '__8085__', '__Z80__', '__Z80X__', '__Z180__', '__Z280__'];

module.exports = {
  registers, conditions, branchConditions, wordOperators, wordKeywords, keywords,
  instructions, directives, mnemonics, labelRefused, labelRequired, conditionals, macroBodyDirectives, branches,
  processorSymbols,
};
