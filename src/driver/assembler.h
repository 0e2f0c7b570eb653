#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codegen/encoding_state.h"
#include "codegen/memory_image.h"
#include "driver/options.h"
#include "driver/text_stream.h"
#include "listing/diagnostics.h"
#include "listing/listing.h"
#include "output/debug_file.h"
#include "output/temporary_files.h"
#include "parse/conditional.h"
#include "parse/lexer.h"
#include "parse/operand_parser.h"
#include "parse/statement_processor.h"
#include "parse/value_stack.h"
#include "source/macros.h"
#include "source/source_stack.h"
#include "symbols/structures.h"
#include "symbols/symbol_table.h"

namespace zorm {

// One assembly run. It owns every subsystem; the subsystems reach each other
// through it. A test can run it in-process and inspect the image, the symbol
// table and everything it printed.
class Assembler {
 public:
  // out and err receive standard output and standard error.
  Assembler(TextStream& out, TextStream& err);
  ~Assembler();
  Assembler(const Assembler&) = delete;
  Assembler& operator=(const Assembler&) = delete;

  // Runs the assembler on a command line (argv[0] is the program name) and
  // returns the exit status.
  int run(int argc, const char* const* argv);
  int run(const std::vector<std::string>& args);

  // The listing stream: the listing file, or standard output with -l-.
  TextStream& listing_out() { return options.listing_to_stdout ? out : listing_file; }
  bool listing_is_file() const { return !options.listing_to_stdout; }

  TextStream& out;
  TextStream& err;
  // The output files being written, for a front-end that removes them when
  // the process is ended by a signal; it outlives the files it records.
  TemporaryFiles temporary_files;
  TextStream listing_file;

  Options options;
  int pass_number = 0;
  int processor_level = 0;
  uint32_t processor_code = 0;
  uint8_t char_map[256] = {};
  // Statements one pass may assemble, 0 for no limit. Only an embedding
  // program sets it (the fuzz target, to keep exponentially recursive macros
  // from running for minutes); the command line never does.
  uint64_t statement_limit = 0;

  Diagnostics diagnostics;
  Listing listing;
  SourceStack sources;
  Macros macros;
  Lexer lexer;
  ValueStack values;
  OperandParser parser;
  StatementProcessor statements;
  Conditionals conditionals;
  SymbolTable symbols;
  LineMap line_map;
  Structures structures;
  MemoryImage image;
  EncodingState encoding;
  DebugFile debug;

 private:
  int run_passes();
  void write_progress_stderr();
};

}  // namespace zorm
