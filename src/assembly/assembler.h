#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "assembly/options.h"
#include "assembly/run_records.h"
#include "assembly/text_stream.h"
#include "codegen/data_directives.h"
#include "codegen/encoders.h"
#include "codegen/encoding_state.h"
#include "codegen/memory_image.h"
#include "listing/diagnostics.h"
#include "listing/listing.h"
#include "output/debug_file.h"
#include "output/object_writer.h"
#include "zorm/temporary_files.h"
#include "parse/conditional.h"
#include "parse/lexer.h"
#include "parse/operand_parser.h"
#include "parse/statement_cache.h"
#include "parse/statement_processor.h"
#include "parse/value_stack.h"
#include "source/macros.h"
#include "source/source_stack.h"
#include "symbols/structures.h"
#include "symbols/symbol_listing.h"
#include "symbols/symbol_table.h"
#include "zorm/assembly.h"
#include "zorm/source_provider.h"

namespace zorm {

// One assembly run. It owns every subsystem; the subsystems reach each other
// through it. A test can run it in-process and inspect the image, the symbol
// table and everything it printed.
class Assembler {
 public:
  // out and err receive standard output and standard error.
  Assembler(TextStream& out, TextStream& err);
  // The output files being written are recorded in temporary_files, which
  // outlives the run, instead of in the run's own record.
  Assembler(TextStream& out, TextStream& err, TemporaryFiles& temporary_files);
  ~Assembler();
  Assembler(const Assembler&) = delete;
  Assembler& operator=(const Assembler&) = delete;

  // Runs the assembler on a command line (argv[0] is the program name) and
  // returns the exit status.
  int run(int argc, const char* const* argv);
  int run(const std::vector<std::string>& args);

  // The listing stream: the listing file, or standard output with -l-.
  TextStream& listing_out() { return listing.out(); }
  bool listing_is_file() const { return !options.listing_to_stdout; }

  // What writing the object needs of this run.
  ObjectRequest object_request(const std::string& name, int format, uint32_t limit);
  // What the end of pass 1 needs of this run.
  Pass1Symbols pass1_symbols();

  // Stops the run (exit status 3) once the cancel flag is set or the
  // statement limit is passed; called between statements.
  void check_stop(uint64_t statements);

  TextStream& out;
  TextStream& err;

 private:
  TemporaryFiles own_temporary_files_;

 public:
  // The output files being written, for a front-end that removes them when
  // the process is ended by a signal.
  TemporaryFiles& temporary_files;
  TextStream listing_file;

  Options options;
  int pass_number = 0;
  int processor_level = 0;
  uint32_t processor_code = 0;
  uint8_t char_map[256] = {};

  // What an embedding program may ask of a run beyond the command line. The
  // command line leaves all of it as it is.
  //
  // Where files are read from.
  SourceProvider* source_provider = &file_system_;
  // false: the object, the listing and the debug file are not written to disk.
  bool write_files = true;
  // The object's bytes end up in object_bytes, the listing's text in
  // listing_file, the debug file's bytes in debug.
  bool keep_object = false;
  bool keep_listing = false;
  bool keep_debug_file = false;
  // records: file numbers, diagnostics, definition places, statements and
  // include directives; references only with record_references.
  bool keep_records = false;
  bool record_references = false;
  // The INCLUDE environment variable adds include folders.
  bool use_include_environment = true;
  // Statements one pass may assemble, 0 for no limit (the fuzz target keeps
  // exponentially recursive macros from running for minutes with it), and a
  // flag that stops the run once it reads true.
  uint64_t statement_limit = 0;
  const std::atomic<bool>* cancel = nullptr;
  StopReason stop_reason = StopReason::none;

  RunRecords records;
  std::string object_bytes;

  Diagnostics diagnostics;
  SourceStack sources;
  Macros macros;
  Lexer lexer;
  ValueStack values;
  OperandParser parser;
  StatementCache statement_cache;
  StatementProcessor statements;
  Conditionals conditionals;
  SymbolTable symbols;
  Structures structures;
  MemoryImage image;
  EncodingState encoding;
  Listing listing;  // after what it reads
  DebugFile debug;
  // What the instruction encoders and the data directives see of the run.
  EncoderContext encoders;
  DataContext data;

 private:
  int run_passes();
  // What both passes start from, then the pass itself.
  void run_pass();

  FileSystemProvider file_system_;
};

}  // namespace zorm
