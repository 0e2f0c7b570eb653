#include "dbg/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cstdarg>
#include <cstring>

#include "dbg/disassembler.h"
#include "dbg/object_file.h"
#include "dbg/registers.h"

namespace zorm::dbg {

namespace {

constexpr const char* PROMPT = "(zorm-dbg) ";
constexpr int LIST_LINES = 10;        // lines a list shows
constexpr int DUMP_BYTES = 16;        // bytes an x shows without a count, and per line
constexpr int DUMP_INSTRUCTIONS = 1;  // instructions an x/i shows without a count

std::string trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

// A count argument: absent gives 1; anything else must be a positive number.
std::optional<int> count_of(const std::string& argument) {
  if (argument.empty()) return 1;
  char* end = nullptr;
  const long value = std::strtol(argument.c_str(), &end, 10);
  if (*end != '\0' || value < 1) return std::nullopt;
  return static_cast<int>(value);
}

bool all_digits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string hex_value(int32_t value) {
  char text[16];
  const uint32_t bits = static_cast<uint32_t>(value);
  std::snprintf(text, sizeof text, bits > 0xFFFF ? "0x%08x" : "0x%04x", bits);
  return text;
}

// Ctrl-C while the program runs stops it, as in gdb. A signal handler can
// reach nothing but a static: the one machine of the one terminal session.
class InterruptHandler {
 public:
  explicit InterruptHandler(Machine& machine) {
    target_ = &machine;
    struct sigaction action {};
    action.sa_handler = &InterruptHandler::interrupted;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptHandler() {
    sigaction(SIGINT, &previous_, nullptr);
    target_ = nullptr;
  }
  InterruptHandler(const InterruptHandler&) = delete;
  InterruptHandler& operator=(const InterruptHandler&) = delete;

 private:
  static void interrupted(int) {
    if (target_ != nullptr) target_->request_pause();
  }
  static inline Machine* target_ = nullptr;
  struct sigaction previous_ {};
};

}  // namespace

int run_terminal(const CommandLine& line, Program program) {
  HostInput commands(STDIN_FILENO);
  const int input_fd = line.input_file.empty() ? STDIN_FILENO : open(line.input_file.c_str(), O_RDONLY);
  if (input_fd < 0) {
    std::fprintf(stderr, "zorm-dbg: cannot open %s\n", line.input_file.c_str());
    return EXIT_LOAD;
  }
  HostInput separate_input(input_fd);
  HostConsole console(input_fd == STDIN_FILENO ? commands : separate_input, stdout, !line.raw_output);
  Debugger debugger(std::move(program), console, line.launch);
  InterruptHandler interrupts(debugger.machine());
  TerminalSession session(debugger, console, commands, stdout);
  const int status = session.run();
  if (input_fd != STDIN_FILENO) close(input_fd);
  return status;
}

TerminalSession::TerminalSession(Debugger& debugger, HostConsole& console, HostInput& input, FILE* out)
    : debugger_(debugger),
      console_(console),
      input_(input),
      out_(out),
      expressions_(debugger.program().symbols, debugger.program().processor) {}

void TerminalSession::say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(out_, format, arguments);
  va_end(arguments);
}

int TerminalSession::run() {
  for (const std::string& note : debugger_.program().notes) say("Note: %s.\n", note.c_str());
  for (;;) {
    // A terminal shows what is typed; from a script the command is shown
    // after the prompt, so that the transcript reads like a session.
    say("%s", PROMPT);
    std::fflush(out_);
    const std::optional<std::string> line = input_.read_line();
    if (!line) {
      say("\n");
      return 0;
    }
    if (!input_.is_terminal()) say("%s\n", line->c_str());
    if (!execute(*line)) return 0;
    std::fflush(out_);
  }
}

bool TerminalSession::execute(const std::string& raw_line) {
  std::string line = trim(raw_line);
  if (line.empty()) {
    if (last_command_.empty()) return true;
    line = last_command_;
  }
  size_t word_end = 0;
  while (word_end < line.size() && !std::isspace(static_cast<unsigned char>(line[word_end])) && line[word_end] != '/') {
    ++word_end;
  }
  const std::string word = line.substr(0, word_end);
  std::string format;
  size_t rest = word_end;
  if (rest < line.size() && line[rest] == '/') {
    while (rest < line.size() && !std::isspace(static_cast<unsigned char>(line[rest]))) ++rest;
    format = line.substr(word_end + 1, rest - word_end - 1);
  }
  const std::string argument = trim(line.substr(rest));
  const Command* command = find_command(word);
  last_command_.clear();
  if (command == nullptr) {
    say("Unknown command \"%s\". Try \"help\".\n", word.c_str());
    return true;
  }
  if (command->handler == nullptr) return false;  // quit
  format_ = format;
  (this->*command->handler)(argument);
  // Commands that go on where they stopped repeat on an empty line; those
  // that show something show what follows.
  if (command->repeat == Repeat::same) last_command_ = line;
  if (command->repeat == Repeat::more) last_command_ = word + (format.empty() ? "" : "/" + format);
  return true;
}

const std::vector<TerminalSession::Command>& TerminalSession::commands() {
  using S = TerminalSession;
  static const std::vector<Command> table{
      {"run r", "run", "start the program from its beginning and run it", &S::run_command, Repeat::none},
      {"start", "start", "start the program and stop before its first instruction", &S::start_command, Repeat::none},
      {"continue c", "continue", "run until a breakpoint, a watchpoint or the end", &S::continue_command,
       Repeat::same},
      {"step s", "step [N]", "run to the next source line, into calls", &S::step_command, Repeat::same},
      {"next n", "next [N]", "run to the next source line, over calls", &S::next_command, Repeat::same},
      {"stepi si", "stepi [N]", "run one instruction", &S::stepi_command, Repeat::same},
      {"nexti ni", "nexti [N]", "run one instruction, over a call", &S::nexti_command, Repeat::same},
      {"finish fin", "finish", "run until the current routine returns", &S::finish_command, Repeat::same},
      {"break b", "break LOCATION", "stop at FILE:LINE, LINE, a symbol, or *ADDRESS", &S::break_command,
       Repeat::none},
      {"watch", "watch ADDRESS[,LENGTH]", "stop after the program writes to these bytes", &S::watch_command,
       Repeat::none},
      {"delete d", "delete [N...]", "delete breakpoints and watchpoints (all without N)", &S::delete_command,
       Repeat::none},
      {"info i", "info breakpoints|registers [NAME]|tstates", "list breakpoints, show registers and flags",
       &S::info_command, Repeat::none},
      {"print p", "print EXPRESSION", "the value of an expression over the symbols and registers",
       &S::print_command, Repeat::none},
      {"set", "set REGISTER = EXPRESSION", "change a register", &S::set_command, Repeat::none},
      {"x", "x/N[i] ADDRESS", "show N bytes, or N instructions, of memory", &S::examine, Repeat::more},
      {"list l", "list [LOCATION]", "show the source around a line", &S::list_command, Repeat::more},
      {"backtrace bt where", "backtrace", "the call stack", &S::backtrace, Repeat::none},
      {"tstates", "tstates", "T-states and instructions since the last stop and in all", &S::tstates,
       Repeat::none},
      {"kill", "kill", "end the program", &S::kill_command, Repeat::none},
      {"help h", "help", "this list", &S::help, Repeat::none},
      {"quit q", "quit", "leave the debugger", nullptr, Repeat::none},
  };
  return table;
}

const TerminalSession::Command* TerminalSession::find_command(const std::string& word) {
  if (word.empty()) return nullptr;
  for (const Command& command : commands()) {
    const std::string names = std::string(" ") + command.names + " ";
    if (names.find(" " + word + " ") != std::string::npos) return &command;
  }
  return nullptr;
}

void TerminalSession::run_command(const std::string&) { start_program(false); }
void TerminalSession::start_command(const std::string&) { start_program(true); }
void TerminalSession::continue_command(const std::string& argument) { resume(Resume::go, argument); }
void TerminalSession::step_command(const std::string& argument) { resume(Resume::step, argument); }
void TerminalSession::next_command(const std::string& argument) { resume(Resume::next, argument); }
void TerminalSession::stepi_command(const std::string& argument) { resume(Resume::step_instruction, argument); }
void TerminalSession::nexti_command(const std::string& argument) { resume(Resume::next_instruction, argument); }
void TerminalSession::finish_command(const std::string& argument) { resume(Resume::finish, argument); }

void TerminalSession::kill_command(const std::string&) {
  if (!require_program()) return;
  debugger_.end();
  say("The program is ended.\n");
}

void TerminalSession::help(const std::string&) {
  for (const Command& command : commands()) say("  %-42s %s\n", command.usage, command.help);
  say("An empty line repeats a command that runs or shows more. Numbers and expressions are\n"
      "written as in the assembler (0x100, $100, 256); register names and \"$\" (the pc) may\n"
      "be used in them.\n");
}

bool TerminalSession::require_program() {
  if (debugger_.state() == Debugger::State::stopped) return true;
  say("The program is not being run.\n");
  return false;
}

void TerminalSession::start_program(bool stop_at_entry) {
  debugger_.start();
  if (stop_at_entry) {
    say("Program started on the %s machine at %s.\n", machine_name(debugger_.program().machine),
        hex_address(debugger_.program().entry).c_str());
    show_position(true);
    return;
  }
  resume(Resume::go, "");
}

void TerminalSession::resume(Resume how, const std::string& argument) {
  if (!require_program()) return;
  debugger_.machine().attend();  // a Ctrl-C typed at the prompt stops nothing later
  const std::optional<int> count = how == Resume::go || how == Resume::finish ? 1 : count_of(argument);
  if (!count) {
    say("The count must be a positive number.\n");
    return;
  }
  if (how == Resume::finish) {
    if (debugger_.machine().frames().empty()) {
      say("\"finish\" is not meaningful in the outermost frame.\n");
      return;
    }
    say("Run till exit from %s\n", debugger_.stack().front().function.c_str());
  }
  for (int i = 0; i < *count; ++i) {
    const std::string function_before = debugger_.stack().front().function;
    const size_t depth_before = debugger_.machine().frames().size();
    const Report report = debugger_.resume(how);
    console_.end_line();
    show_report(report, function_before, depth_before);
    if (report.kind != Report::Kind::stopped || report.stop.reason != StopReason::step) break;
  }
}

void TerminalSession::show_report(const Report& report, const std::string& function_before, size_t depth_before) {
  if (report.kind == Report::Kind::exited) {
    if (report.exit_status == 0) {
      say("[The program ended: %s.]\n", report.message.c_str());
    } else {
      say("[The program ended abnormally: %s.]\n", report.message.c_str());
    }
    return;
  }
  const Stop& stop = report.stop;
  switch (stop.reason) {
    case StopReason::breakpoint:
      say("Breakpoint %d, ", report.breakpoint_id);
      show_position(true);
      return;
    case StopReason::watchpoint: {
      say("Watchpoint %d: %s written\nOld value = %u (0x%02x)\nNew value = %u (0x%02x)\n", report.breakpoint_id,
          debugger_.program().symbols.describe(stop.watch_address).c_str(), stop.old_value, stop.old_value,
          stop.new_value, stop.new_value);
      show_position(true);
      return;
    }
    case StopReason::paused:
      say("Program interrupted.\n");
      show_position(true);
      return;
    case StopReason::fault:
    case StopReason::budget:
      say("Program stopped: %s.\n", report.message.c_str());
      show_position(true);
      return;
    default:
      break;
  }
  const bool moved = debugger_.stack().front().function != function_before ||
                     debugger_.machine().frames().size() != depth_before;
  show_position(moved);
}

std::string TerminalSession::describe_pc(uint16_t pc) {
  return hex_address(pc) + " in " + debugger_.stack().front().function;
}

void TerminalSession::show_position(bool with_function) {
  const uint16_t pc = debugger_.machine().reg(Register::pc);
  const std::optional<Statement> statement = debugger_.statement_at(pc);
  if (!statement) {
    say("%s: %s\n", describe_pc(pc).c_str(), disassemble(debugger_.machine(), pc).text.c_str());
    return;
  }
  if (with_function) {
    say("%s at %s:%d\n", debugger_.stack().front().function.c_str(),
        debugger_.program().sources.recorded(statement->file).c_str(), statement->line);
  }
  print_source_line(statement->file, statement->line, pc == statement->start ? std::nullopt : std::optional(pc));
  list_file_ = statement->file;
  list_line_ = statement->line;
  list_continues_ = false;
}

void TerminalSession::print_source_line(int file, int line, std::optional<uint16_t> address) {
  const std::optional<std::string_view> text = debugger_.program().sources.line(file, line);
  if (address) say("%s\t", hex_address(*address).c_str());
  if (text) {
    say("%d\t%.*s\n", line, static_cast<int>(text->size()), text->data());
  } else {
    say("%d\tin %s\n", line, debugger_.program().sources.recorded(file).c_str());
  }
}

std::optional<int32_t> TerminalSession::evaluate(const std::string& text) {
  if (text.empty()) {
    say("An expression is needed.\n");
    return std::nullopt;
  }
  const Evaluation result = expressions_.evaluate(text, debugger_.machine());
  if (!result.ok) {
    say("%s: %s.\n", text.c_str(), result.error.c_str());
    return std::nullopt;
  }
  return result.value;
}

void TerminalSession::break_command(const std::string& argument) {
  std::vector<uint16_t> addresses;
  std::string description = argument;
  const size_t colon = argument.rfind(':');
  if (argument.empty()) {
    say("A location is needed: FILE:LINE, LINE, a symbol or *ADDRESS.\n");
    return;
  }
  if (argument[0] != '*' && (all_digits(argument) || (colon != std::string::npos &&
                                                      all_digits(argument.substr(colon + 1))))) {
    const bool plain_line = colon == std::string::npos;
    const std::string file =
        plain_line ? debugger_.program().sources.size() == 0 ? "" : debugger_.program().sources.recorded(list_file_)
                   : argument.substr(0, colon);
    const int line = std::atoi(argument.c_str() + (plain_line ? 0 : colon + 1));
    if (file.empty()) {
      say("The program has no source lines.\n");
      return;
    }
    try {
      auto [found_line, found] = debugger_.line_addresses(file, line);
      if (found.empty()) {
        say("No code at or after line %d of %s.\n", line, file.c_str());
        return;
      }
      addresses = found;
      description = file + ":" + std::to_string(found_line);
    } catch (const LoadError& error) {
      say("%s.\n", error.what());
      return;
    }
  } else {
    const std::optional<int32_t> value = evaluate(argument[0] == '*' ? argument.substr(1) : argument);
    if (!value) return;
    addresses.push_back(static_cast<uint16_t>(*value));
    const std::string where = debugger_.source_position(addresses.front());
    description = where.empty() ? argument : where;
  }
  const int id = debugger_.breakpoints().add(Breakpoint::Kind::code, description, addresses);
  if (addresses.size() == 1) {
    say("Breakpoint %d at %s: %s\n", id, hex_address(addresses.front()).c_str(), description.c_str());
  } else {
    say("Breakpoint %d at %s (%zu places)\n", id, description.c_str(), addresses.size());
  }
}

void TerminalSession::watch_command(const std::string& argument) {
  const size_t comma = argument.rfind(',');
  const std::string address_text = trim(argument.substr(0, comma));
  const std::optional<int32_t> address = evaluate(address_text);
  if (!address) return;
  int32_t length = 1;
  if (comma != std::string::npos) {
    const std::optional<int32_t> given = evaluate(trim(argument.substr(comma + 1)));
    if (!given) return;
    if (*given < 1 || *given > 0x10000) {
      say("The length must be 1 to 65536.\n");
      return;
    }
    length = *given;
  }
  std::vector<uint16_t> addresses;
  for (int32_t i = 0; i < length; ++i) addresses.push_back(static_cast<uint16_t>(*address + i));
  const int id = debugger_.breakpoints().add(Breakpoint::Kind::watch, address_text, addresses);
  say("Watchpoint %d: %s (%s, %d byte%s)\n", id, address_text.c_str(), hex_address(addresses.front()).c_str(),
      length, length == 1 ? "" : "s");
}

void TerminalSession::delete_command(const std::string& argument) {
  if (argument.empty()) {
    debugger_.breakpoints().remove_all();
    say("All breakpoints and watchpoints deleted.\n");
    return;
  }
  size_t start = 0;
  while (start < argument.size()) {
    size_t end = argument.find(' ', start);
    if (end == std::string::npos) end = argument.size();
    const std::string number = argument.substr(start, end - start);
    start = end + 1;
    if (number.empty()) continue;
    if (!all_digits(number) || !debugger_.breakpoints().remove(std::atoi(number.c_str()))) {
      say("No breakpoint number %s.\n", number.c_str());
    }
  }
}

void TerminalSession::info_command(const std::string& argument) {
  const size_t space = argument.find(' ');
  const std::string what = argument.substr(0, space);
  const std::string rest = space == std::string::npos ? "" : trim(argument.substr(space));
  if (what == "breakpoints" || what == "break" || what == "b" || what == "watchpoints") {
    breakpoints_table();
  } else if (what == "registers" || what == "reg" || what == "r") {
    registers(rest);
  } else if (what == "tstates") {
    tstates("");
  } else {
    say("\"info\" shows breakpoints, registers or tstates.\n");
  }
}

void TerminalSession::breakpoints_table() {
  const auto& all = debugger_.breakpoints().all();
  if (all.empty()) {
    say("No breakpoints or watchpoints.\n");
    return;
  }
  say("Num  Type        Address  What\n");
  for (const auto& [id, breakpoint] : all) {
    const bool code = breakpoint.kind == Breakpoint::Kind::code;
    std::string what = breakpoint.description;
    if (!code) what += " (" + std::to_string(breakpoint.addresses.size()) + " bytes)";
    if (breakpoint.hits > 0) what += ", hit " + std::to_string(breakpoint.hits) + (breakpoint.hits == 1 ? " time" : " times");
    say("%-4d %-11s %-8s %s\n", id, code ? "breakpoint" : "watchpoint", hex_address(breakpoint.addresses.front()).c_str(),
        what.c_str());
  }
}

void TerminalSession::registers(const std::string& argument) {
  if (!require_program()) return;
  const Machine& machine = debugger_.machine();
  if (!argument.empty()) {
    const std::optional<RegisterName> reg = find_register(argument);
    if (!reg) {
      say("No register named \"%s\".\n", argument.c_str());
      return;
    }
    const uint16_t value = machine.reg(reg->reg);
    say(reg->bits == 16 ? "%-4s 0x%04x %u\n" : "%-4s 0x%02x %u\n", std::string(reg->name).c_str(), value, value);
    return;
  }
  int column = 0;
  for (const RegisterName& reg : register_names()) {
    if (reg.bits != 16) continue;
    say("%-3s %s%s", std::string(reg.name).c_str(), hex_address(machine.reg(reg.reg)).c_str(), ++column % 4 == 0 ? "\n" : "   ");
  }
  say("i   0x%02x     r   0x%02x     im  %u        iff1 %u  iff2 %u\n", machine.reg(Register::i), machine.reg(Register::r),
      machine.reg(Register::im), machine.reg(Register::iff1), machine.reg(Register::iff2));
  say("flags");
  const uint16_t f = machine.reg(Register::f);
  for (const FlagName& flag : flag_names()) say(" %s=%d", std::string(flag.name).c_str(), (f >> flag.bit) & 1);
  say("\n");
}

void TerminalSession::print_command(const std::string& argument) {
  const std::optional<int32_t> value = evaluate(argument);
  if (value) say("%s = %d (%s)\n", argument.c_str(), *value, hex_value(*value).c_str());
}

void TerminalSession::set_command(const std::string& argument) {
  if (!require_program()) return;
  std::string text = argument;
  if (text.rfind("var ", 0) == 0) text = trim(text.substr(4));
  const size_t equals = text.find('=');
  if (equals == std::string::npos) {
    say("Write: set REGISTER = EXPRESSION\n");
    return;
  }
  const std::string name = trim(text.substr(0, equals));
  const std::optional<RegisterName> reg = find_register(name);
  if (!reg) {
    say("No register named \"%s\".\n", name.c_str());
    return;
  }
  const std::optional<int32_t> value = evaluate(trim(text.substr(equals + 1)));
  if (!value) return;
  debugger_.machine().set_reg(reg->reg, static_cast<uint16_t>(*value));
  const uint16_t now = debugger_.machine().reg(reg->reg);
  say("%s = %u (%s)\n", std::string(reg->name).c_str(), now, hex_value(now).c_str());
}

void TerminalSession::examine(const std::string& argument) {
  const std::string& format = format_;
  if (!require_program()) return;
  const bool instructions = !format.empty() && format.back() == 'i';
  const std::string count_text = instructions ? format.substr(0, format.size() - 1) : format;
  const std::optional<int> count =
      count_text.empty() ? std::optional<int>(instructions ? DUMP_INSTRUCTIONS : DUMP_BYTES) : count_of(count_text);
  if (!count) {
    say("Write: x/N ADDRESS or x/Ni ADDRESS\n");
    return;
  }
  uint16_t address;
  if (argument.empty()) {
    address = examine_next_;
  } else {
    const std::optional<int32_t> value = evaluate(argument);
    if (!value) return;
    address = static_cast<uint16_t>(*value);
  }
  const Machine& machine = debugger_.machine();
  if (instructions) {
    for (int i = 0; i < *count; ++i) {
      const Disassembly instruction = disassemble(machine, address);
      const std::string where = debugger_.source_position(address);
      say("%s: %-20s%s%s\n", hex_address(address).c_str(), instruction.text.c_str(), where.empty() ? "" : "; ",
          where.c_str());
      address = static_cast<uint16_t>(address + instruction.length);
    }
  } else {
    for (int done = 0; done < *count;) {
      const int row = std::min(DUMP_BYTES, *count - done);
      std::string bytes;
      std::string characters;
      for (int i = 0; i < row; ++i) {
        const uint8_t byte = machine.read(static_cast<uint16_t>(address + i));
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        bytes += hex;
        characters += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
      }
      say("%s:%-*s  %s\n", hex_address(address).c_str(), 3 * DUMP_BYTES, bytes.c_str(), characters.c_str());
      address = static_cast<uint16_t>(address + row);
      done += row;
    }
  }
  examine_next_ = address;
}

void TerminalSession::list_command(const std::string& argument) {
  Program& program = debugger_.program();
  if (program.sources.size() == 0) {
    say("The program has no source files.\n");
    return;
  }
  int file = list_file_;
  int center = list_line_;
  if (!argument.empty()) {
    const size_t colon = argument.rfind(':');
    if (all_digits(argument)) {
      center = std::atoi(argument.c_str());
    } else if (colon != std::string::npos && all_digits(argument.substr(colon + 1))) {
      const std::vector<int> files = program.sources.find(argument.substr(0, colon));
      if (files.empty()) {
        say("No source file \"%s\" in the program's debug information.\n", argument.substr(0, colon).c_str());
        return;
      }
      file = files.front();
      center = std::atoi(argument.c_str() + colon + 1);
    } else {
      const std::optional<int32_t> value = evaluate(argument[0] == '*' ? argument.substr(1) : argument);
      if (!value) return;
      const std::optional<Statement> statement = debugger_.statement_at(static_cast<uint16_t>(*value));
      if (!statement) {
        say("No source line for %s.\n", hex_address(static_cast<uint16_t>(*value)).c_str());
        return;
      }
      file = statement->file;
      center = statement->line;
    }
  } else if (list_continues_) {
    center = list_next_ + LIST_LINES / 2;
  }
  if (!program.sources.found(file)) {
    say("The source file %s was not found.\n", program.sources.recorded(file).c_str());
    return;
  }
  const int first = std::max(1, center - LIST_LINES / 2);
  const int last = std::min(program.sources.line_count(file), first + LIST_LINES - 1);
  if (first > last) {
    say("Line %d is past the end of %s.\n", first, program.sources.recorded(file).c_str());
    return;
  }
  for (int line = first; line <= last; ++line) print_source_line(file, line, std::nullopt);
  list_file_ = file;
  list_next_ = last + 1;
  list_continues_ = true;
}

void TerminalSession::backtrace(const std::string&) {
  if (!require_program()) return;
  const std::vector<StackEntry> entries = debugger_.stack();
  for (size_t i = 0; i < entries.size(); ++i) {
    const StackEntry& entry = entries[i];
    std::string where;
    if (entry.statement) {
      where = " at " + debugger_.program().sources.recorded(entry.statement->file) + ":" +
              std::to_string(entry.statement->line);
    }
    if (i == 0) {
      say("#%-2zu %s%s\n", i, entry.function.c_str(), where.empty() ? (" (" + hex_address(entry.pc) + ")").c_str() : where.c_str());
    } else {
      say("#%-2zu %s in %s%s\n", i, hex_address(entry.pc).c_str(), entry.function.c_str(), where.c_str());
    }
  }
}

void TerminalSession::tstates(const std::string&) {
  if (debugger_.state() == Debugger::State::not_started) {
    say("The program is not being run.\n");
    return;
  }
  const Machine& machine = debugger_.machine();
  say("%llu T-states (%llu instructions) since the last stop; %llu T-states (%llu instructions) in all\n",
      static_cast<unsigned long long>(debugger_.tstates_since_stop()),
      static_cast<unsigned long long>(debugger_.instructions_since_stop()),
      static_cast<unsigned long long>(machine.tstates()), static_cast<unsigned long long>(machine.instructions()));
}

}  // namespace zorm::dbg
