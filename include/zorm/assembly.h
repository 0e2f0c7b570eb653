#pragma once
// Assembling one program in-process: the options going in, the results coming
// out as data.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "zorm/source_provider.h"

namespace zorm {

class TemporaryFiles;  // zorm/temporary_files.h

// The processor levels, as -x0 .. -x5 select them.
enum class Processor : int {
  i8080 = 0,
  i8085 = 1,
  z80 = 2,
  z80_index_halves = 3,  // the Z80 with ixh, ixl, iyh, iyl
  z180 = 4,
  z280 = 5,
};

// The object formats, as -s0, -s1 and -s2 select them.
enum class ObjectFormat : int { binary = 0, s_records = 1, intel_hex = 2 };

struct AssemblyOptions {
  // The main source, searched for as the command line searches for it.
  std::string main_file;
  // Option strings exactly as the zorm command line takes them ("-x3",
  // "-Dname", "-s2", "-l", "-t"), in order. The typed settings below are
  // read after them, as if given as the same options at the end of the
  // command line; main_file comes last.
  std::vector<std::string> arguments;
  std::optional<Processor> processor;        // -x<level>
  std::vector<std::string> defines;          // -D<text>, one entry each
  std::vector<std::string> include_paths;    // -I<path>, one entry each
  std::optional<ObjectFormat> object_format; // -s<n>
  // Whether the INCLUDE environment variable adds include folders, as it does
  // on the command line.
  bool use_include_environment = false;

  // With write_files the object, listing and debug files are created where
  // the command line would create them. Without it nothing is written to
  // disk: the object, and the listing and debug file when asked for below,
  // end up in the result only.
  bool write_files = false;
  bool want_listing = false;     // AssemblyResult::listing
  bool want_debug_file = false;  // AssemblyResult::debug_file (as -g writes it)
  bool want_references = false; // AssemblyResult::references

  // Standard output and standard error of the run (banner, diagnostics,
  // summaries, progress lines). nullptr: collected in the result instead.
  FILE* standard_output = nullptr;
  FILE* standard_error = nullptr;

  // Where files are read from; nullptr: the file system. Not owned; used
  // only during assemble().
  SourceProvider* sources = nullptr;
  // Checked between statements: once it reads true, the assembly stops.
  const std::atomic<bool>* cancel = nullptr;
  // Statements one pass may assemble (macro expansion lines included);
  // 0 for no limit. Past it the assembly stops.
  uint64_t statement_budget = 0;
  // With write_files: where the files being written are recorded, for a
  // signal handler that removes them; nullptr: the run keeps its own record.
  TemporaryFiles* temporary_files = nullptr;
};

enum class Severity { error, warning };

// One diagnostic, as the command line prints it in its two-line form.
struct Diagnostic {
  int file = -1;        // index into AssemblyResult::files; -1 for a message of no source line
  int line = 0;         // 1-based line in that file (the line of the macro call inside an expansion)
  // The 0-based byte offset in the printed line where "<<" stands, right after
  // the offending token; -1 for the plain form. Inside an expansion the
  // printed line is the expanded body line (expansion_line).
  int column = -1;
  // Bytes of the offending token, which ends at column: it spans
  // [column - length, column). At least 1 with a column, 0 without.
  int length = 0;
  std::string message;  // the message text without its full stop: "Syntax error"
  Severity severity = Severity::error;
  int pass = 1;         // 1 or 2
  std::string macro;    // the macro being expanded when it was found, empty outside expansions
  int expansion_line = 0;  // inside an expansion: the line number within it
};

enum class SymbolKind { label, equ, set, macro, structure, member };

struct SymbolInfo {
  std::string name;
  int32_t value = 0;
  SymbolKind kind = SymbolKind::label;
  int file = -1;   // where it is defined; -1 for -D names and the processor symbols
  int line = 0;
  int column = 0;  // 0-based byte offset of the name on its line (inside an expansion: of the macro call)
};

// One place where a name is written (wanted with want_references).
struct SymbolReference {
  std::string name;
  int symbol = -1;          // index into AssemblyResult::symbols; -1 when undefined
  int file = -1;
  int line = 0;
  int column = 0;           // 0-based byte offset of the name
  bool definition = false;  // the name is defined here
  bool in_expansion = false;  // met while expanding a macro: file, line and column are the macro call's
};

// One assembled statement (pass 2).
struct LineRecord {
  int file = -1;    // the innermost file: the macro call's file and line inside an expansion
  int line = 0;
  uint32_t address = 0;  // the location counter at the statement
  uint32_t size = 0;     // bytes placed (or reserved, in bss)
  int cycles = 0;        // the cycle count the listing's -c column shows; 0 for none
  int segment = 0;       // 0 code, 1 data, 2 bss
  bool in_expansion = false;
  bool from_include = false;  // the file is not the main file
};

// One include directive.
struct IncludeRecord {
  int file = -1;       // where the directive stands
  int line = 0;
  int column = 0;      // 0-based byte offset of the name's opening quote
  int length = 0;      // bytes of the quoted name, quotes included
  std::string name;    // as written
  std::string path;    // the path found by the include search; empty when none was found
  int target = -1;     // index into files for a source include; -1 for binary and record includes
};

enum class StopReason { none, cancelled, budget };

struct AssemblyResult {
  int exit_status = 0;  // what the command line would return
  StopReason stopped = StopReason::none;  // the run was stopped early (exit_status is then 3)
  Processor processor = Processor::i8080;

  std::vector<std::string> files;  // source files by index, as opened (0 is the main file)
  std::vector<Diagnostic> diagnostics;
  std::vector<SymbolInfo> symbols;  // in the symbol table's name order
  std::vector<SymbolReference> references;
  std::vector<LineRecord> lines;    // in source order
  std::vector<IncludeRecord> includes;

  std::vector<uint8_t> memory;  // the 65536-byte image after the run
  std::vector<bool> used;       // one mark per byte: stored by the program
  std::vector<uint8_t> object;  // the object file's bytes; empty when none was written
  std::optional<uint32_t> start_address;  // from end's operand

  std::string listing;              // with want_listing
  std::vector<uint8_t> debug_file;  // with want_debug_file
  std::string standard_output;      // when AssemblyOptions::standard_output was nullptr
  std::string standard_error;
};

// Assembles one program. Thread-safe: assemblies in parallel threads do not
// share state (a SourceProvider shared between them must be thread-safe).
AssemblyResult assemble(const AssemblyOptions& options);

// The zorm command line: argv as main received it. Writes the files and the
// texts the command line writes and returns its exit status.
int run_command_line(int argc, const char* const* argv, FILE* standard_output, FILE* standard_error);
// The same, recording the output files being written in temporary_files
// (which outlives the call), for a signal handler that removes them.
int run_command_line(int argc, const char* const* argv, FILE* standard_output, FILE* standard_error,
                     TemporaryFiles& temporary_files);

}  // namespace zorm
