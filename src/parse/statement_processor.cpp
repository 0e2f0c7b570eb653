#include "parse/statement_processor.h"

#include <cstring>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"
#include "codegen/mnemonic_table.h"
#include "source/macros.h"

namespace zorm {

void StatementProcessor::start_macro_call(const char* name_end) {
  Symbol* macro = as_.symbols.find(std::string_view(as_.lexer.token_text, static_cast<size_t>(as_.lexer.token_length)));
  std::string name(macro->name());
  std::string arguments = Macros::scan_arguments(name_end);
  const int column = static_cast<int>(as_.lexer.token_start - as_.sources.current_line);
  if (as_.record_references && as_.pass_number == 0) note_reference(macro->name(), column, false);
  // The rest of the call line is not read as tokens; the next line the lexer
  // reads is the first body line.
  as_.lexer.abandon_line();
  as_.sources.push_macro_expansion(name, as_.symbols.macro_body(*macro), std::move(arguments), column);
}

void StatementProcessor::note_reference(std::string_view name, int column, bool definition) {
  const SourcePlace where = as_.sources.innermost_place(column);
  SymbolReference& reference = as_.records.references.emplace_back();
  reference.name = name;
  reference.file = where.file;
  reference.line = where.line;
  reference.column = where.column;
  reference.definition = definition;
  reference.in_expansion = where.in_expansion;
}

void StatementProcessor::note_statement(bool from_expansion) {
  const MemoryImage& image = as_.image;
  LineRecord& record = as_.records.lines.emplace_back();
  record.file = place.file;
  record.line = place.line;
  record.address = image.location_counter;
  record.size = static_cast<uint32_t>(image.statement_length);
  record.cycles = as_.encoding.cycle_count;
  record.segment = image.segment;
  record.in_expansion = from_expansion;
  record.from_include = place.file != 0;
}

int StatementProcessor::define_statement_label(int32_t value, SymbolState kind, uint8_t attributes) {
  SymbolTable& symbols = as_.symbols;
  if (label_symbol != nullptr) return symbols.define(*label_symbol, value, kind, attributes);
  return symbols.symbol_define(label(), value, kind, attributes);
}

void StatementProcessor::count_and_check() { as_.check_stop(++statement_count); }

void StatementProcessor::run_handler(const MnemonicEntry& row) {
  MemoryImage& image = as_.image;
  const int error = row.handler(as_, row.value);
  if (error != 0) {
    if (image.statement_length == 0) as_.encoding.cycle_count = 0;
    if (error != image.statement_memory_error) as_.diagnostics.report_error(error);
  }
  if (image.statement_memory_error != 0) as_.diagnostics.report_error(image.statement_memory_error);
}

bool StatementProcessor::look_up_line() {
  StatementCache& cache = as_.statement_cache;
  if (!cache.enabled || !as_.conditionals.active()) return false;
  const StatementCache::Entry* entry = cache.find(as_.sources.current_line);
  if (entry == nullptr) {
    cache.begin();
    return false;
  }
  if (!replayable(*entry)) return false;
  kept_ = entry;
  return true;
}

// A kept line takes the ordinary path where that reports an error the line
// did not have when it was kept: a name that pass 2 finds a macro's or
// undefined, an instruction in bss.
bool StatementProcessor::replayable(const StatementCache::Entry& entry) const {
  if (as_.pass_number != 0 && !as_.statement_cache.symbols_resolved(entry)) return false;
  return !(entry.is_instruction() && as_.image.segment == SEGMENT_BSS);
}

// The statement of a kept line: what the ordinary path does once it has
// read the label and the row, with the operands replayed instead of parsed.
void StatementProcessor::replay_statement(const StatementCache::Entry& entry) {
  Lexer& lexer = as_.lexer;
  statement_label_length = static_cast<uint8_t>(entry.label_length());
  // A label is at most 31 characters; the line buffer is padded past them.
  std::memcpy(statement_label, as_.sources.current_line, sizeof statement_label);
  statement_label[statement_label_length] = '\0';
  label_symbol = nullptr;
  if (statement_label_length != 0) {
    const uint32_t label_index = entry.label_symbol();
    if (label_index != StatementCache::NO_LABEL_SYMBOL) label_symbol = &as_.symbols.at(label_index);
  }
  lexer.finish_line(entry.end_line_state());
  if (!entry.has_row()) return;
  const MnemonicEntry& row = entry.row();
  if (row.z80_cycles != 0) label_attributes = static_cast<uint8_t>(label_attributes + 5);
  as_.encoding.cycle_count = as_.processor_level <= 1 ? row.i8080_cycles : row.z80_cycles;
  if (as_.statement_cache.replay(entry) != 0) return;
  run_handler(row);
}

void StatementProcessor::assemble_pass() {
  Assembler& as = as_;
  Lexer& lexer = as.lexer;
  MemoryImage& image = as.image;
  Listing& listing = as.listing;
  const KeywordCompare compare = as.options.keyword_compare;
  lexer.line_end_state = 0;
  lexer.pushed_token = 0;
  statement_count = 0;
  stop_checks = as.statement_limit != 0 || as.cancel != nullptr;
  // Statements are recorded in pass 2, the final one.
  const bool record_statements = as.keep_records && as.pass_number == 1;
  StatementCache& cache = as.statement_cache;
  // The places of use of names are noted while lines are lexed.
  cache.enabled = cache.allowed && !as.record_references;
  cache.start_pass(as.pass_number);

  for (;;) {
    count_statement();
    // Start of a statement.
    statement_label[0] = '\0';
    statement_label_length = 0;
    label_attributes = static_cast<uint8_t>(image.segment * 16);
    conditional_statement = false;
    image.begin_statement();
    as.values.clear();
    lexer.pushed_token = 0;
    as.encoding.cycle_count = 0;
    listing.list_this_line = false;

    // A fresh line outside a false block that was met before is replayed
    // (kept_); one that was not is recorded while it is read.
    kept_ = nullptr;
    int token = first_token();
    listing.line_from_expansion = as.sources.top() >= 0 && as.sources.top_entry().is_expansion();
    // The statement's place, before an include or a macro call changes the
    // innermost file.
    if (as.keep_records) place = as.sources.innermost_place(0);
    bool is_statement = false;  // not an empty line, nor one skipped by a false condition
    bool define_label = true;  // false: go straight to the wrap-up

    if (token == TOKEN_END_OF_INPUT) {
      if (as.conditionals.conditional_depth != 0) as.diagnostics.report_error(ERROR_IF_WITHOUT_ENDIF);
      return;
    }

    if (kept_ != nullptr) {
      is_statement = true;
      replay_statement(*kept_);
    } else do {
      if (token == TOKEN_NEWLINE) break;  // an empty or comment line

      const MnemonicEntry* row = token == TOKEN_IDENTIFIER ? find_mnemonic(lexer.token_text, static_cast<size_t>(lexer.token_length), compare) : nullptr;
      const bool skipping = !as.conditionals.active();
      if (token == TOKEN_IDENTIFIER && lexer.at_line_start && row != nullptr && !skipping) {
        is_statement = true;
        as.diagnostics.report_error(ERROR_OPCODE_AS_LABEL);
        define_label = false;
        break;
      }
      if (skipping && !(row != nullptr && row->conditional && !lexer.at_line_start)) {
        // A line of a false conditional block is ignored whatever it holds:
        // the rest of it is not read as tokens, so nothing on it is stacked
        // or reported, and the next line is read afresh.
        lexer.abandon_line();
        break;
      }
      is_statement = true;
      if (token != TOKEN_IDENTIFIER) {
        if (token != TOKEN_ABANDONED) as.diagnostics.report_error(ERROR_EXPECTING_LABEL_OR_OPCODE);
        define_label = false;
        break;
      }

      if (lexer.at_line_start) {
        // A label in column 0, with or without ':'.
        std::memcpy(statement_label, lexer.token_text, static_cast<size_t>(lexer.token_length) + 1);
        label_symbol = nullptr;
        statement_label_length = static_cast<uint8_t>(lexer.token_length);
        if (as.record_references && as.pass_number == 0) note_reference(label(), 0, true);
        token = lexer.next_token(1);
        if (token == TOKEN_COLON) token = lexer.next_token(1);
        if (token == TOKEN_END_OF_INPUT) {
          if (as.conditionals.conditional_depth != 0) as.diagnostics.report_error(ERROR_IF_WITHOUT_ENDIF);
          return;
        }
        if (token == TOKEN_NEWLINE) {
          cache.finish(statement_label_length, nullptr);
          break;
        }
        if (token < 1) {
          if (token != TOKEN_ABANDONED) as.diagnostics.report_error(ERROR_INVALID_FORMAT);
          break;
        }
        if (token == TOKEN_EQUAL) {
          row = &assignment_row();
        } else if (token == TOKEN_IDENTIFIER) {
          row = find_mnemonic(lexer.token_text, static_cast<size_t>(lexer.token_length), compare);
        } else {
          row = nullptr;
        }
        if (row == nullptr) {
          as.diagnostics.report_error(ERROR_INVALID_MNEMONIC);
          break;
        }
      } else if (row == nullptr) {
        const Symbol* symbol =
            as.symbols.find(std::string_view(lexer.token_text, static_cast<size_t>(lexer.token_length)));
        if (symbol != nullptr && symbol->kind == SYM_MACRO) {
          start_macro_call(lexer.cursor());
        } else {
          as.diagnostics.report_error(ERROR_INVALID_MNEMONIC);
        }
        break;
      }

      // Label rule of the row.
      if (row->label_rule == LABEL_NONE && statement_label[0] != '\0') {
        as.diagnostics.report_error(ERROR_NO_LABEL_ALLOWED);
        define_label = false;
        break;
      }
      if (row->label_rule == LABEL_REQUIRED && statement_label[0] == '\0') {
        as.diagnostics.report_error(ERROR_LABEL_REQUIRED);
        define_label = false;
        break;
      }

      // Directives that read further lines, structures and conditional
      // directives (which see names never met as 0) are read afresh.
      if (row->operand_class == 0 || row->operand_class == TOKEN_CLASS_STRUCT || row->conditional) cache.drop();
      lexer.pushed_token = row->operand_class;
      if (row->operand_class == TOKEN_CLASS_STRUCT) lexer.struct_mode = 1;
      conditional_statement = row->conditional != 0;
      if (row->z80_cycles != 0) {
        label_attributes = static_cast<uint8_t>(label_attributes + 5);
        if (image.segment == SEGMENT_BSS) {
          lexer.pushed_token = 0;
          lexer.struct_mode = 0;
          as.diagnostics.report_error(ERROR_BSS_DATA_ONLY);
          break;
        }
      }
      as.encoding.cycle_count = as.processor_level <= 1 ? row->i8080_cycles : row->z80_cycles;

      if (row->operand_class != 0 && as.parser.parse_operands() != 0) {
        // A structure whose body failed to parse is over: later lines are
        // read as ordinary statements again.
        lexer.struct_mode = 0;
        break;
      }
      cache.finish(statement_label_length, row);
      run_handler(*row);
    } while (false);
    cache.drop();

    if (define_label && statement_label[0] != '\0' && !image.line_shows_value) {
      const int result =
          define_statement_label(static_cast<int32_t>(image.location_counter & 0xFFFF), SYM_LABEL, label_attributes);
      if (result == DEFINE_REDEFINED) as.diagnostics.report_error(ERROR_REDEFINITION);
      if (result == DEFINE_PHASE_ERROR) as.diagnostics.report_error(ERROR_PHASE);
    }

    cache.settle(as.symbols.last_defined);

    // Wrap-up.
    if (as.pass_number == 1 && as.debug.is_open() && image.statement_length > 0 && image.segment == SEGMENT_CODE) {
      as.debug.line_map.add(image.location_counter, as.sources.innermost_file_line(), as.sources.innermost_file_index());
    }
    if (record_statements && is_statement) note_statement(listing.line_from_expansion);
    if (listing.list_this_line) listing.list_statement();
    image.end_statement();
    if (lexer.line_end_state == 1) {
      // The line ended at statement level (an empty or comment line, a label
      // alone): the lexer would hand out its line end once more, as an empty
      // statement that does nothing. It counts towards the limit all the same.
      lexer.line_end_state = 0;
      count_statement();
    }
  }
}

}  // namespace zorm
