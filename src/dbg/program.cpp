#include "dbg/program.h"

#include "dbg/paths.h"
#include "zorm/assembly.h"

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

std::optional<Processor> processor_by_name(const std::string& name) {
  static const std::pair<const char*, Processor> NAMES[] = {
      {"8080", Processor::i8080}, {"8085", Processor::i8085}, {"z80", Processor::z80},
      {"z80x", Processor::z80_index_halves}, {"z180", Processor::z180}, {"z280", Processor::z280}};
  for (const auto& [text, processor] : NAMES) {
    if (name == text) return processor;
  }
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

Program assemble_source(const LaunchOptions& options) {
  AssemblyOptions assembly;
  assembly.main_file = resolve(options.cwd, options.source);
  assembly.arguments = {"-q"};
  assembly.processor = options.processor.value_or(Processor::z80);
  assembly.defines = options.defines;
  for (const std::string& folder : options.include_paths) assembly.include_paths.push_back(resolve(options.cwd, folder));
  assembly.want_debug_file = true;
  const AssemblyResult result = assemble(assembly);
  if (result.exit_status != 0) {
    std::string diagnostics = result.standard_output + result.standard_error;
    while (!diagnostics.empty() && diagnostics.back() == '\n') diagnostics.pop_back();
    throw LoadError(options.source + " does not assemble (zorm exit status " + std::to_string(result.exit_status) +
                    ")" + (diagnostics.empty() ? "" : ":\n" + diagnostics));
  }
  Program program;
  program.name = options.source;
  for (size_t address = 0; address < result.memory.size() && address < result.used.size(); ++address) {
    if (result.used[address]) program.image.place(static_cast<uint16_t>(address), result.memory[address]);
  }
  if (result.start_address) program.image.start_address = static_cast<uint16_t>(*result.start_address);
  if (program.image.empty()) throw LoadError(options.source + ": the program has no bytes");
  program.debug = read_debug_info(options.source, std::string(result.debug_file.begin(), result.debug_file.end()));
  program.processor = result.processor;
  complete_program(program, options, {options.cwd.empty() ? "." : options.cwd, folder_of(assembly.main_file)});
  return program;
}

Program prepare_program(const LaunchOptions& options) {
  return options.source.empty() ? load_program(options) : assemble_source(options);
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
