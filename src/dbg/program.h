#pragma once
// A program ready to run: its image, where it starts, on which machine, and
// what the debug file says about it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dbg/bare_system.h"
#include "dbg/debug_info.h"
#include "dbg/object_file.h"
#include "dbg/source_files.h"
#include "dbg/source_map.h"
#include "dbg/symbols.h"

namespace zorm::dbg {

enum class MachineKind { cpm, bare };

// How to find and run a program: the launch attributes of a debug session,
// and the command line's options.
struct LaunchOptions {
  std::string program;     // the object file
  std::string debug_file;  // empty: the object's name with ".dbg"
  std::string source;      // a source to assemble first, in-process, instead of program
  std::optional<Processor> processor;  // for source (default: the Z80)
  std::vector<std::string> defines;        // for source: -D entries
  std::vector<std::string> include_paths;  // for source: -I entries
  std::optional<MachineKind> machine;      // default: cpm when the image starts at 0x100
  std::optional<uint16_t> load_address;    // a binary's (default: from the debug file, else 0x100)
  ConsolePorts ports;                      // the bare machine's console
  uint64_t instruction_budget = 0;         // 0: none
  std::string cwd;                         // relative paths are taken from here; empty: the current folder
  bool stop_on_entry = false;
};

struct Program {
  std::string name;        // the object or source file, as given
  std::string debug_path;  // the debug file read, or "" when there was none
  ProgramImage image;
  DebugInfo debug;
  Processor processor = Processor::z80;
  MachineKind machine = MachineKind::cpm;
  uint16_t entry = 0;
  SourceMap source_map;
  SourceFiles sources;
  Symbols symbols;
  std::vector<std::string> notes;  // what the user should know (a missing debug file, ...)
};

// Reads the object file and its debug file; throws LoadError. A missing
// debug file is no error (the program runs without source information) when
// its name was derived, and an error when it was given.
Program load_program(const LaunchOptions& options);

// Assembles the launch's source in-process (with its processor, defines and
// include folders) and takes the program from the result; throws LoadError
// with the assembler's diagnostics when the source does not assemble.
Program assemble_source(const LaunchOptions& options);

// The program a launch names: its source assembled, or its object file read.
Program prepare_program(const LaunchOptions& options);

// Fills in what follows from the image and the debug information: the
// machine, the entry point, the source map, the sources and the symbols.
void complete_program(Program& program, const LaunchOptions& options, const std::vector<std::string>& folders);

const char* machine_name(MachineKind kind);
// The processor names of the project file and the launch attributes: 8080,
// 8085, z80, z80x, z180, z280.
std::optional<Processor> processor_by_name(const std::string& name);
std::optional<MachineKind> machine_by_name(const std::string& name);

}  // namespace zorm::dbg
