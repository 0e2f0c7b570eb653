#include "dbg/program.h"

#include "dbg/paths.h"

namespace zorm::dbg {

namespace {

constexpr uint16_t CPM_PROGRAM_START = 0x0100;

// A binary carries no load address: the debug file's first line record
// tells where its code starts, else it is a CP/M program.
uint16_t binary_load_address(const LaunchOptions& options, const DebugInfo* debug) {
  if (options.load_address) return *options.load_address;
  if (debug != nullptr && !debug->lines.empty()) return debug->lines.front().address;
  return CPM_PROGRAM_START;
}

}  // namespace

const char* machine_name(MachineKind kind) { return kind == MachineKind::cpm ? "cpm" : "bare"; }

std::optional<MachineKind> machine_by_name(const std::string& name) {
  if (name == "cpm") return MachineKind::cpm;
  if (name == "bare") return MachineKind::bare;
  return std::nullopt;
}

Program load_program(const LaunchOptions& options) {
  Program program;
  program.name = options.program;
  const std::string object_path = resolve(options.cwd, options.program);
  const std::string content = read_whole_file(object_path);

  const bool debug_given = !options.debug_file.empty();
  const std::string debug_path =
      resolve(options.cwd, debug_given ? options.debug_file : debug_file_name_for(options.program));
  bool have_debug = false;
  if (debug_given || file_exists(debug_path)) {
    program.debug = read_debug_info(debug_path, read_whole_file(debug_path));
    program.debug_path = debug_path;
    have_debug = true;
  } else {
    program.notes.push_back("no debug information file " + debug_path + ": running without source lines");
  }

  const ObjectFormat format = guess_object_format(object_path, content);
  program.image = read_object(object_path, content, format,
                              binary_load_address(options, have_debug ? &program.debug : nullptr));
  if (program.image.empty()) throw LoadError(object_path + ": the object file holds no bytes");
  if (have_debug) program.processor = program.debug.processor();

  std::vector<std::string> folders{options.cwd.empty() ? "." : options.cwd};
  if (have_debug) folders.push_back(folder_of(debug_path));
  folders.push_back(folder_of(object_path));
  complete_program(program, options, folders);
  return program;
}

void complete_program(Program& program, const LaunchOptions& options, const std::vector<std::string>& folders) {
  const uint16_t lowest = program.image.lowest_address();
  program.machine = options.machine.value_or(lowest == CPM_PROGRAM_START ? MachineKind::cpm : MachineKind::bare);
  if (program.machine == MachineKind::cpm) {
    program.entry = CPM_PROGRAM_START;
  } else {
    program.entry = program.image.start_address.value_or(lowest);
  }
  program.source_map = SourceMap(program.debug.lines, program.image);
  program.sources = SourceFiles(program.debug.files, folders);
  program.symbols = Symbols(program.debug.symbols);
}

}  // namespace zorm::dbg
