#pragma once

#include <cstdint>
#include <string_view>

#include "assembly/run_records.h"
#include "parse/statement_cache.h"
#include "symbols/symbol_table.h"

namespace zorm {

class Assembler;
struct MnemonicEntry;

// Reads the source one statement at a time and dispatches it.
class StatementProcessor {
 public:
  explicit StatementProcessor(Assembler& as) : as_(as) {}

  void assemble_pass();

  char statement_label[32] = {0};
  uint8_t statement_label_length = 0;
  std::string_view label() const { return std::string_view(statement_label, statement_label_length); }
  // The label's symbol when a kept line names it, else nullptr (the label is
  // then looked up by its name).
  Symbol* label_symbol = nullptr;
  // Defines the label as the given kind with the given value.
  int define_statement_label(int32_t value, SymbolState kind, uint8_t attributes);
  uint8_t label_attributes = 0;
  bool conditional_statement = false;
  // Where the statement began (kept only when the run keeps records).
  SourcePlace place;

  // Records a name written at column of the current line (pass 1, with
  // record_references).
  void note_reference(std::string_view name, int column, bool definition);

 private:
  // The statement's first token; lines that hold no statement are passed over
  // without the lexer where that is quick.
  int first_token();
  // A pass stops when it is cancelled or has run too many statements.
  void count_statement() {
    if (stop_checks) count_and_check();
  }
  void count_and_check();
  void start_macro_call(const char* name_end);
  void note_statement(bool from_expansion);
  void run_handler(const MnemonicEntry& row);
  // For a fresh line outside a false block, just read: true when it was met
  // before and is replayed (kept_); otherwise it is recorded while read.
  bool look_up_line();
  bool replayable(const StatementCache::Entry& entry) const;
  void replay_statement(const StatementCache::Entry& entry);
  Assembler& as_;
  uint64_t statement_count = 0;  // in this pass
  bool stop_checks = false;
  const StatementCache::Entry* kept_ = nullptr;
};

}  // namespace zorm
