'use strict';
// Builds the TextMate grammar syntaxes/zorm-asm.tmLanguage.json from the
// assembler's word lists. The grammar follows the assembler's own reading of a
// line: a label in column 0 (with or without a colon), an operation word, its
// operands up to a semicolon. Inside a macro definition every rule also knows
// the \1..\9, \0 and \? forms, so the body rules exist twice: plain and with the
// suffix "-macro".
//
//   node grammar/build.js           writes the grammar
//   node grammar/build.js --check   exits 1 when the written grammar is stale

const fs = require('fs');
const path = require('path');
const words = require('./words');

const OUTPUT = path.join(__dirname, '..', 'syntaxes', 'zorm-asm.tmLanguage.json');

const NAME_CHAR = '[A-Za-z0-9_.?]';
const NAME_START = '[A-Za-z_.?]';
const WORD_BEGIN = `(?<!${NAME_CHAR})`;
const WORD_END = `(?!${NAME_CHAR})`;
// A number ends where no further name, digit or number-prefix character
// follows; otherwise the characters after it start a token of their own, which
// is never valid right after a number.
const NUMBER_END = '(?![A-Za-z0-9_.?#@$])';
// Identifiers are read up to 31 characters; the rest starts the next token.
const IDENTIFIER = `(${NAME_START}${NAME_CHAR}{0,30})(${NAME_CHAR}*)`;
const PLACEHOLDER = '\\\\[0-9?]';

const escapeRegex = (text) => text.replace(/[\\^$.*+?()[\]{}|]/g, '\\$&');
const oneOf = (list) =>
  `(?:${[...list].sort((a, b) => b.length - a.length || (a < b ? -1 : 1)).map(escapeRegex).join('|')})`;
const word = (list) => `${WORD_BEGIN}${oneOf(list)}${WORD_END}`;

// Keywords that the lexer returns as their own tokens (the others are words).
const keywordTokens = words.keywords.filter((k) => !words.wordKeywords.includes(k));
// Words that cannot stand in column 0: a mnemonic there is refused as a label,
// a keyword token is no label at all. "label" is a plain word there.
const notLabels = [...new Set([...keywordTokens, ...words.mnemonics])];

// A keyword whose letters the macro definer skips one by one: it copies the
// first letter of a keyword token and reads on from the next one, so "hl" and
// "bc" hide nothing, while "ix" leaves the identifier "x".
const isTransparent = (w) => keywordTokens.includes(w) && (w.length === 1 || isTransparent(w.slice(1)));
const transparentKeywords = keywordTokens.filter(isTransparent);
// What may precede the first identifier of a macro body line: no letters
// except transparent keywords, and double-quoted text.
const BEFORE_FIRST_IDENTIFIER = `(?:[^A-Za-z"]|"[^"]*"?|${oneOf(transparentKeywords)}${WORD_END})*`;

// After these tokens "%" is the modulo operator and "*" multiplies; after any
// other token they are the binary prefix and the location counter. Keyword
// tokens end with letters too, so they are told apart by a look-behind.
const keywordBehind = [...keywordTokens, "af'"].flatMap((k) => [
  `[^A-Za-z0-9_.?]${escapeRegex(k)}`,
  `^${escapeRegex(k)}`,
]);
const NOT_AFTER_KEYWORD = `(?<!${keywordBehind.join('|')})`;
const AFTER_OPERAND = "(?<=[A-Za-z0-9_.?)'\"$])";
const AFTER_OPERAND_OR_STAR = "(?<=[A-Za-z0-9_.?)'\"$*])";

const radixNumber = () => {
  const digits = [];
  for (let radix = 2; radix <= 36; ++radix) {
    let set;
    if (radix <= 10) set = `[0-${radix - 1}]`;
    else {
      const upper = String.fromCharCode(64 + radix - 10);
      const lower = upper.toLowerCase();
      set = radix === 11 ? '[0-9Aa]' : `[0-9A-${upper}a-${lower}]`;
    }
    digits.push(`${radix}#${set}*`);
  }
  return `0*(?:${digits.reverse().join('|')})`;
};

const scope = (name) => `${name}.zorm`;

function placeholders() {
  return [
    { match: '\\\\[1-9]', name: scope('variable.language.macro-argument') },
    { match: '\\\\0', name: scope('variable.language.argument-count') },
    { match: '\\\\\\?', name: scope('variable.language.local-serial') },
  ];
}

function comment() {
  return { match: '(;).*$', name: scope('comment.line.semicolon'), captures: { 1: { name: scope('punctuation.definition.comment') } } };
}

function asteriskComment() {
  return { match: '^(\\*).*$', name: scope('comment.line.asterisk'), captures: { 1: { name: scope('punctuation.definition.comment') } } };
}

// A string; db, defm and strings used as numbers decode escapes, include,
// title and the list of cmap take the text as it stands.
function quoted(quote, kind, { escapes, macro }) {
  const patterns = macro ? placeholders() : [];
  if (escapes) {
    patterns.push(
      { match: '\\\\[0-9]{1,3}', name: scope('constant.character.escape') },
      { match: '\\\\x[0-9A-Fa-f]{0,2}', name: scope('constant.character.escape') },
      { match: '\\\\[abefnrtv]', name: scope('constant.character.escape') },
      { match: `\\\\[^${quote}]`, name: scope('constant.character.escape') },
      { match: `\\\\(?=${quote})`, name: scope('constant.character.escape') },
    );
  }
  return {
    begin: `${quote}(?=[^${quote}]*${quote})`,
    end: quote,
    name: scope(`string.quoted.${kind}`),
    beginCaptures: { 0: { name: scope('punctuation.definition.string.begin') } },
    endCaptures: { 0: { name: scope('punctuation.definition.string.end') } },
    patterns,
  };
}

function strings(options) {
  return [
    quoted("'", 'single', options),
    quoted('"', 'double', options),
    // No closing quote on the line: the string and the rest of the line are lost.
    { match: '[\'"].*$', name: scope('invalid.illegal.string') },
  ];
}

function numbers() {
  return [
    { match: `${WORD_BEGIN}${radixNumber()}${NUMBER_END}`, name: scope('constant.numeric.radix') },
    { match: `${WORD_BEGIN}0+x[0-9A-Fa-f]*${NUMBER_END}`, name: scope('constant.numeric.hex') },
    { match: `${WORD_BEGIN}0+b[01]*${NUMBER_END}`, name: scope('constant.numeric.binary') },
    { match: `${WORD_BEGIN}[0-9]+${NUMBER_END}`, name: scope('constant.numeric.decimal') },
    { match: `#[0-9A-Fa-f]*${NUMBER_END}`, name: scope('constant.numeric.hex') },
    { match: `\\$[0-9A-Fa-f]+${NUMBER_END}`, name: scope('constant.numeric.hex') },
    { match: `@[0-7]*${NUMBER_END}`, name: scope('constant.numeric.octal') },
    { match: `%[01]*${NUMBER_END}`, name: scope('constant.numeric.binary') },
    { match: '\\$(?![A-Za-z0-9_.?#@$])', name: scope('variable.language.location') },
    // A malformed number (1x, 37#1, 0FFh, $g): the assembler refuses it.
    { match: '(?:[0-9]|[#@%]|\\$)[A-Za-z0-9_.?#@$]*', name: scope('invalid.illegal.numeric') },
  ];
}

// "%" and "*" after an operand are operators; the first operand of a statement
// comes right after the operation word, which is no operand.
function operatorsAfterOperands() {
  return [
    { match: `\\G(%[01]*)${NUMBER_END}`, captures: { 1: { name: scope('constant.numeric.binary') } } },
    { match: '\\G\\*', name: scope('variable.language.location') },
    {
      match: `${AFTER_OPERAND}${NOT_AFTER_KEYWORD}[ \\t]*(%)`,
      captures: { 1: { name: scope('keyword.operator.arithmetic') } },
    },
    {
      match: `${AFTER_OPERAND_OR_STAR}${NOT_AFTER_KEYWORD}[ \\t]*(\\*)(?:[ \\t]*(\\*))?`,
      captures: { 1: { name: scope('keyword.operator.arithmetic') }, 2: { name: scope('variable.language.location') } },
    },
    { match: '\\*', name: scope('variable.language.location') },
  ];
}

function operators() {
  return [
    { match: '&&|\\|\\||!(?!=)', name: scope('keyword.operator.logical') },
    { match: '<<|>>|[&|^~]', name: scope('keyword.operator.bitwise') },
    { match: '!=|<=|>=|[<>=]', name: scope('keyword.operator.comparison') },
    { match: '[-+/]', name: scope('keyword.operator.arithmetic') },
    { match: ',', name: scope('punctuation.separator.comma') },
    { match: '\\(', name: scope('punctuation.section.parens.begin') },
    { match: '\\)', name: scope('punctuation.section.parens.end') },
    { match: '\\[', name: scope('punctuation.section.brackets.begin') },
    { match: '\\]', name: scope('punctuation.section.brackets.end') },
    { match: '(?:[\\x00-\\x08\\x0B-\\x1F\\\\`{}\\x7F]|[^\\x00-\\x7F])+', name: scope('invalid.illegal.character') },
  ];
}

function names() {
  return [
    { match: `${WORD_BEGIN}af'`, name: scope('variable.language.register') },
    { match: word(words.wordOperators), name: scope('keyword.operator.word') },
    { match: word(words.registers), name: scope('variable.language.register') },
    { match: word(words.conditions), name: scope('support.constant.condition') },
    // Outside a struct body these words reach the operands as plain words,
    // where no rule accepts them.
    { match: word(words.wordKeywords), name: scope('invalid.illegal.keyword') },
    { match: word(words.processorSymbols), name: scope('support.constant.processor') },
    {
      match: `${WORD_BEGIN}${IDENTIFIER}`,
      captures: { 1: { name: scope('variable.other') }, 2: { name: scope('invalid.illegal.identifier') } },
    },
  ];
}

// The grammar's repository, for one context: ctx.macro is true inside a macro
// definition. Every key gets ctx.suffix.
function repository(ctx) {
  const s = ctx.suffix;
  const ref = (key) => ({ include: `#${key}${s}` });
  const withPlaceholders = (patterns) => (ctx.macro ? [...placeholders(), ...patterns] : patterns);
  const label = ctx.macro
    ? `((?!${oneOf(notLabels)}${WORD_END})(?:${NAME_START}|${PLACEHOLDER})(?:${NAME_CHAR}|${PLACEHOLDER})*)()${WORD_END}`
    : `((?!${oneOf(notLabels)}${WORD_END})${IDENTIFIER.slice(1)}${WORD_END}`;
  const afterLabel = '[ \\t]*(?:(:)[ \\t]*)?';
  const statementStart = `^(?:${label}${afterLabel}|[ \\t]+)`;
  const labelledStart = `^${label}${afterLabel}`;
  const labelCaptures = (labelScope) => ({
    1: { name: scope(labelScope), patterns: ctx.macro ? placeholders() : [] },
    2: { name: scope('invalid.illegal.identifier') },
    3: { name: scope('punctuation.separator.label') },
  });

  // One rule per operation group: the label's meaning, the word's scope and
  // the operands that follow.
  const statement = (start, ops, labelScope, opScope, operands, extra = '') => ({
    begin: `${start}(${oneOf(ops)})${WORD_END}${extra}[ \\t]*`,
    end: '$',
    beginCaptures: { ...labelCaptures(labelScope), 4: { name: scope(opScope) } },
    patterns: operands,
  });
  const labelScopeOf = (op) => {
    if (words.labelRefused.includes(op)) return 'invalid.illegal.label';
    if (op === 'equ') return 'entity.name.constant';
    if (op === 'macro') return 'entity.name.function.macro';
    return 'entity.name.function.label';
  };
  const groups = new Map();
  const addToGroup = (op, opScope, operandsKey) => {
    const key = [labelScopeOf(op), opScope, operandsKey].join(' ');
    if (!groups.has(key)) groups.set(key, []);
    groups.get(key).push(op);
  };
  for (const op of words.mnemonics) {
    if (op === 'struct') continue;
    let opScope = 'keyword.other.directive';
    // endm, exitm and local belong inside a macro definition.
    if (!ctx.macro && words.macroBodyDirectives.includes(op)) opScope = 'invalid.illegal.directive';
    else if (words.conditionals.includes(op)) opScope = 'keyword.control.conditional';
    else if (words.instructions.includes(op) || op === 'set') opScope = 'keyword.other.mnemonic';
    let operandsKey = 'operands';
    if (op === 'include' || op === 'title') operandsKey = 'operands-raw';
    else if (op === 'cmap') operandsKey = 'cmap-operands';
    else if (words.branches.includes(op)) operandsKey = 'branch-operands';
    addToGroup(op, opScope, operandsKey);
  }
  const statements = [...groups].map(([key, ops]) => {
    const [labelScope, opScope, operandsKey] = key.split(' ');
    return statement(statementStart, ops, labelScope, opScope, [ref(operandsKey)]);
  });
  // "set" without a comma in its operand gives its label a value.
  const setDirective = statement(
    labelledStart, ['set'], 'entity.name.variable', 'keyword.other.directive', [ref('operands')],
    `(?=(?:[^,;'"]|'[^']*'|"[^"]*")*(?:;.*)?$)`,
  );

  const operandPieces = (stringOptions) => withPlaceholders([
    comment(),
    ...strings(stringOptions),
    ...operatorsAfterOperands(),
    ...numbers(),
    ...names(),
    ...operators(),
  ]);

  const repo = {};
  repo[`statement${s}`] = {
    patterns: [
      asteriskComment(),
      ...(ctx.macro ? [ref('local-line')] : [ref('macro-definition')]),
      ref('struct-definition'),
      setDirective,
      ...statements,
      {
        begin: `${labelledStart}(=)[ \\t]*`,
        end: '$',
        beginCaptures: { ...labelCaptures('entity.name.variable'), 4: { name: scope('keyword.operator.assignment') } },
        patterns: [ref('operands')],
      },
      {
        // After a label only a mnemonic or directive may follow.
        begin: `${labelledStart}(?<=[ \\t:])(${NAME_START}${NAME_CHAR}*)[ \\t]*`,
        end: '$',
        beginCaptures: { ...labelCaptures('entity.name.function.label'), 4: { name: scope('invalid.illegal.mnemonic') } },
        patterns: [ref('operands')],
      },
      { match: `^${label}(?:[ \\t]*(:))?`, captures: labelCaptures('entity.name.function.label') },
      { match: `^${oneOf(notLabels)}${WORD_END}`, name: scope('invalid.illegal.label') },
      {
        // Any other word in the operation position calls a macro; the rest of
        // the line up to a semicolon, quotes or not, is its arguments.
        begin: `^[ \\t]+((?!${oneOf([...words.mnemonics, ...keywordTokens])}${WORD_END})${NAME_START}${NAME_CHAR}{0,30})(${NAME_CHAR}*)[ \\t]*`,
        end: '$',
        name: scope('meta.macro.call'),
        beginCaptures: { 1: { name: scope('entity.name.function.macro.call') }, 2: { name: scope('invalid.illegal.identifier') } },
        patterns: [ref('macro-arguments')],
      },
      { match: `^[ \\t]+(${oneOf(keywordTokens)})${WORD_END}`, captures: { 1: { name: scope('invalid.illegal.keyword') } } },
      comment(),
      ...withPlaceholders([]),
    ],
  };
  repo[`operands${s}`] = { patterns: operandPieces({ escapes: true, macro: ctx.macro }) };
  repo[`operands-raw${s}`] = { patterns: operandPieces({ escapes: false, macro: ctx.macro }) };
  repo[`branch-operands${s}`] = {
    patterns: [
      { match: `\\G(${oneOf(words.branchConditions)})${WORD_END}`, captures: { 1: { name: scope('support.constant.condition') } } },
      ref('operands'),
    ],
  };
  // cmap start, list: the start is an expression, the list's strings are raw.
  repo[`cmap-operands${s}`] = {
    patterns: [
      {
        begin: ',',
        end: '(?=$)',
        beginCaptures: { 0: { name: scope('punctuation.separator.comma') } },
        patterns: [ref('operands-raw')],
      },
      ref('operands'),
    ],
  };
  repo[`macro-arguments${s}`] = {
    patterns: withPlaceholders([
      comment(),
      // A semicolon ends the arguments even between quotes.
      { match: "'[^';]*'", name: scope('string.quoted.single') },
      { match: '"[^";]*"', name: scope('string.quoted.double') },
      ...operatorsAfterOperands(),
      ...numbers(),
      ...names(),
      ...operators(),
    ]),
  };

  const memberName = `((?!${oneOf(words.keywords)}${WORD_END})${NAME_START}${NAME_CHAR}{0,30})(${NAME_CHAR}*)${WORD_END}`;
  const structExpression = withPlaceholders([
    comment(),
    ...strings({ escapes: true, macro: ctx.macro }),
    ...operatorsAfterOperands(),
    ...numbers(),
    // In a struct body names are member names, never values.
    { match: `${WORD_BEGIN}${NAME_START}${NAME_CHAR}*`, name: scope('invalid.illegal.identifier') },
    ...operators(),
  ]);
  repo[`struct-definition${s}`] = {
    begin: `^([ \\t]+)(struct)${WORD_END}`,
    end: `^[ \\t]*(end)[ \\t]+(struct)${WORD_END}`,
    name: scope('meta.struct'),
    beginCaptures: { 2: { name: scope('keyword.other.directive') } },
    endCaptures: { 1: { name: scope('keyword.other.directive') }, 2: { name: scope('keyword.other.directive') } },
    patterns: [
      {
        begin: '\\G(?=.)',
        end: '$',
        patterns: [
          {
            match: `\\G[ \\t]+${memberName}`,
            captures: { 1: { name: scope('entity.name.type.struct') }, 2: { name: scope('invalid.illegal.identifier') } },
          },
          ...structExpression,
        ],
      },
      asteriskComment(),
      {
        match: `^[ \\t]*(db|dw|dd|label)[ \\t]+${memberName}`,
        captures: {
          1: { name: scope('keyword.other.directive') },
          2: { name: scope('variable.other.member') },
          3: { name: scope('invalid.illegal.identifier') },
        },
      },
      {
        match: `^[ \\t]*(ds)[ \\t]+${memberName}(?=[ \\t]*,)`,
        captures: {
          1: { name: scope('keyword.other.directive') },
          2: { name: scope('variable.other.member') },
          3: { name: scope('invalid.illegal.identifier') },
        },
      },
      { match: `^[ \\t]*(ds|align)${WORD_END}`, captures: { 1: { name: scope('keyword.other.directive') } } },
      { match: `^[ \\t]*(${NAME_START}${NAME_CHAR}*)`, captures: { 1: { name: scope('invalid.illegal.struct-member') } } },
      ...structExpression,
    ],
  };
  return repo;
}

// A list of names separated by single commas, as the macro definer reads
// parameters and local names: a keyword or anything else ends the definition.
function nameList(nameScope, refusedScope) {
  return [
    comment(),
    { match: word(keywordTokens), name: scope(refusedScope) },
    { match: `${WORD_BEGIN}${NAME_START}${NAME_CHAR}*`, name: scope(nameScope) },
    { match: ',', name: scope('punctuation.separator.comma') },
    { match: '[^ \\t]', name: scope(refusedScope) },
  ];
}

function macroDefinition() {
  const body = { macro: true, suffix: '-macro' };
  const label = `((?!${oneOf(notLabels)}${WORD_END})${IDENTIFIER.slice(1)}${WORD_END}`;
  return {
    begin: `^${label}[ \\t]*(?:(:)[ \\t]*)?(macro)${WORD_END}`,
    // The first identifier of a body line that is "endm" ends the definition,
    // wherever it stands (also inside a comment).
    end: `^(${BEFORE_FIRST_IDENTIFIER})(endm)${WORD_END}`,
    name: scope('meta.macro'),
    beginCaptures: {
      1: { name: scope('entity.name.function.macro') },
      2: { name: scope('invalid.illegal.identifier') },
      3: { name: scope('punctuation.separator.label') },
      4: { name: scope('keyword.other.directive') },
    },
    endCaptures: { 1: { patterns: [comment()] }, 2: { name: scope('keyword.other.directive') } },
    patterns: [
      {
        // Parameters: identifiers separated by single commas.
        begin: '\\G(?=.)',
        end: '$',
        patterns: nameList('variable.parameter', 'invalid.illegal.parameter'),
      },
      { include: `#statement${body.suffix}` },
    ],
  };
}

function localLine() {
  return {
    begin: `^(${BEFORE_FIRST_IDENTIFIER})(local)${WORD_END}`,
    end: '$',
    beginCaptures: { 1: { patterns: [comment()] }, 2: { name: scope('keyword.other.directive') } },
    patterns: nameList('variable.other.local', 'invalid.illegal.local'),
  };
}

function grammar() {
  return {
    name: 'ZORM Assembly',
    scopeName: 'source.zorm',
    comment: 'Generated by grammar/build.js from grammar/words.js; do not edit.',
    patterns: [{ include: '#statement' }],
    repository: {
      ...repository({ macro: false, suffix: '' }),
      ...repository({ macro: true, suffix: '-macro' }),
      'macro-definition': macroDefinition(),
      'local-line-macro': localLine(),
    },
  };
}

function main() {
  const text = `${JSON.stringify(grammar(), null, 2)}\n`;
  if (process.argv.includes('--check')) {
    const current = fs.existsSync(OUTPUT) ? fs.readFileSync(OUTPUT, 'utf8') : '';
    if (current !== text) {
      console.error(`${path.relative(process.cwd(), OUTPUT)} is stale: run "npm run build-grammar"`);
      process.exit(1);
    }
    return;
  }
  fs.writeFileSync(OUTPUT, text);
}

if (require.main === module) main();
module.exports = { grammar };
