#include "dbg/command_line.h"

#include <cstdlib>

namespace zorm::dbg {

namespace {

constexpr const char* USAGE =
    "Usage: zorm-dbg [OPTIONS] PROGRAM        debug PROGRAM on the terminal\n"
    "       zorm-dbg run [OPTIONS] PROGRAM    run PROGRAM to its end\n"
    "       zorm-dbg --dap                    serve the Debug Adapter Protocol on standard input and output\n"
    "\n"
    "PROGRAM is an object file that zorm wrote (binary, S-records .s19 or Intel hex .hex),\n"
    "read with its debug information file (zorm -g), or a source (.asm, .z80, .s80, .mac),\n"
    "which is assembled first.\n"
    "\n"
    "Options:\n"
    "  -m, --machine cpm|bare    the machine (default: cpm when the program starts at 0x100)\n"
    "  -g, --debug-file FILE     the debug information file (default: PROGRAM with .dbg)\n"
    "  --load ADDRESS            where a binary object file is placed (default: where the\n"
    "                            debug file's first line is, else 0x100)\n"
    "  --budget N                stop after N instructions\n"
    "  --tstates                 (run) print the instructions and T-states run, on standard error\n"
    "  --input FILE              the program's console input (default: standard input)\n"
    "  --raw                     pass the program's output byte for byte (no line-end translation)\n"
    "  --output-port N           the bare machine's console output port (default 1)\n"
    "  --input-port N            the bare machine's console input port (default 1)\n"
    "  --status-port N           the bare machine's console status port (default 0)\n"
    "  -p, --processor NAME      for a source: 8080, 8085, z80, z80x, z180 or z280 (default z80)\n"
    "  -D NAME[=VALUE]           for a source: define a symbol\n"
    "  -I FOLDER                 for a source: an include folder\n"
    "  --log FILE                (--dap) log to FILE instead of standard error\n"
    "  -h, --help                this text\n"
    "  --version                 the version\n"
    "\n"
    "Exit status: 0 when the program ended as programs of its machine end, 1 for a wrong\n"
    "command line, 2 when the program cannot be read or assembled, 3 when it stopped otherwise.\n";

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A number as 256 or 0x100.
bool parse_number(const std::string& text, unsigned long limit, unsigned long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  value = std::strtoul(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
  return *end == '\0' && text[0] != '-' && value <= limit;
}

}  // namespace

void print_usage(FILE* out) { std::fputs(USAGE, out); }

bool is_source_name(const std::string& name) {
  for (const char* extension : {".asm", ".z80", ".s80", ".mac"}) {
    if (ends_with(name, extension)) return true;
  }
  return false;
}

CommandLine parse_command_line(const std::vector<std::string>& arguments) {
  CommandLine line;
  size_t i = 0;
  if (!arguments.empty() && arguments[0] == "run") {
    line.mode = CommandLine::Mode::run;
    ++i;
  }
  std::vector<std::string> programs;
  auto fail = [&line](const std::string& why) {
    if (line.error.empty()) line.error = why;
  };
  for (; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // Options with a value take it as the next argument, or attached (-DX, --machine=cpm).
    auto value = [&](const std::string& name, std::string& out) {
      if (argument == name) {
        if (i + 1 >= arguments.size()) {
          fail("option " + name + " needs a value");
          return true;
        }
        out = arguments[++i];
        return true;
      }
      const std::string joined = name.size() == 2 ? name : name + "=";
      if (argument.size() > joined.size() && argument.compare(0, joined.size(), joined) == 0) {
        out = argument.substr(joined.size());
        return true;
      }
      return false;
    };
    auto port = [&](const std::string& text, uint8_t& out) {
      unsigned long number = 0;
      if (!parse_number(text, 0xFF, number)) fail("a port is a number from 0 to 255: " + text);
      out = static_cast<uint8_t>(number);
    };
    std::string text;
    unsigned long number = 0;
    if (argument == "-h" || argument == "--help") {
      line.mode = CommandLine::Mode::help;
    } else if (argument == "--version") {
      line.mode = CommandLine::Mode::version;
    } else if (argument == "--dap") {
      line.mode = CommandLine::Mode::dap;
    } else if (argument == "--tstates") {
      line.show_tstates = true;
    } else if (argument == "--raw") {
      line.raw_output = true;
    } else if (value("-m", text) || value("--machine", text)) {
      line.launch.machine = machine_by_name(text);
      if (!line.launch.machine) fail("the machine is cpm or bare, not " + text);
    } else if (value("-g", text) || value("--debug-file", text)) {
      line.launch.debug_file = text;
    } else if (value("--load", text)) {
      if (!parse_number(text, 0xFFFF, number)) fail("an address is a number from 0 to 0xffff: " + text);
      line.launch.load_address = static_cast<uint16_t>(number);
    } else if (value("--budget", text)) {
      if (!parse_number(text, ~0ul, number)) fail("the budget is a number of instructions: " + text);
      line.launch.instruction_budget = number;
    } else if (value("--log", text)) {
      line.log_file = text;
    } else if (value("--input", text)) {
      line.input_file = text;
    } else if (value("--output-port", text)) {
      port(text, line.launch.ports.output);
    } else if (value("--input-port", text)) {
      port(text, line.launch.ports.input);
    } else if (value("--status-port", text)) {
      port(text, line.launch.ports.status);
    } else if (value("-p", text) || value("--processor", text)) {
      line.launch.processor = processor_by_name(text);
      if (!line.launch.processor) fail("the processor is 8080, 8085, z80, z80x, z180 or z280, not " + text);
    } else if (value("-D", text)) {
      line.launch.defines.push_back(text);
    } else if (value("-I", text)) {
      line.launch.include_paths.push_back(text);
    } else if (argument.size() > 1 && argument[0] == '-') {
      fail("unknown option " + argument);
    } else {
      programs.push_back(argument);
    }
  }
  if (line.mode != CommandLine::Mode::debug && line.mode != CommandLine::Mode::run) return line;
  if (programs.size() != 1) {
    fail(programs.empty() ? "no program given" : "more than one program given");
    return line;
  }
  if (is_source_name(programs[0])) {
    line.launch.source = programs[0];
  } else {
    line.launch.program = programs[0];
  }
  return line;
}

}  // namespace zorm::dbg
