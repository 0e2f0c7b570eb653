#pragma once
// The debugger on the terminal, in the manner of gdb: commands on standard
// input, answers on standard output, the program's console on the same two.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "dbg/command_line.h"
#include "dbg/debugger.h"
#include "dbg/expressions.h"
#include "dbg/host_console.h"

namespace zorm::dbg {

class TerminalSession {
 public:
  TerminalSession(Debugger& debugger, HostConsole& console, HostInput& input, FILE* out);
  // Reads and runs commands until quit or the end of the input; the exit status.
  int run();
  // Runs one command line; false when it asks to quit.
  bool execute(const std::string& line);

 private:
  enum class Repeat { none, same, more };
  struct Command {
    const char* names;  // the name, then its abbreviations, separated by spaces
    const char* usage;
    const char* help;
    void (TerminalSession::*handler)(const std::string& argument);  // nullptr: quit
    Repeat repeat;  // what an empty line after it does
  };
  static const std::vector<Command>& commands();
  static const Command* find_command(const std::string& word);

  void help(const std::string& argument);
  void run_command(const std::string& argument);
  void start_command(const std::string& argument);
  void continue_command(const std::string& argument);
  void step_command(const std::string& argument);
  void next_command(const std::string& argument);
  void stepi_command(const std::string& argument);
  void nexti_command(const std::string& argument);
  void finish_command(const std::string& argument);
  void break_command(const std::string& argument);
  void watch_command(const std::string& argument);
  void delete_command(const std::string& argument);
  void info_command(const std::string& argument);
  void print_command(const std::string& argument);
  void set_command(const std::string& argument);
  void examine(const std::string& argument);
  void list_command(const std::string& argument);
  void backtrace(const std::string& argument);
  void tstates(const std::string& argument);
  void kill_command(const std::string& argument);

  void start_program(bool stop_at_entry);
  void resume(Resume how, const std::string& argument);
  void show_report(const Report& report, const std::string& function_before, size_t depth_before);
  void show_position(bool with_function);
  void breakpoints_table();
  void registers(const std::string& argument);

  bool require_program();  // false (with a message) when the program is not started
  std::optional<int32_t> evaluate(const std::string& text);
  std::string describe_pc(uint16_t pc);
  void print_source_line(int file, int line, std::optional<uint16_t> address);
  void say(const char* format, ...) __attribute__((format(printf, 2, 3)));

  Debugger& debugger_;
  HostConsole& console_;
  HostInput& input_;
  FILE* out_;
  Expressions expressions_;
  std::string last_command_;
  std::string format_;  // of the command being run: "16i" in x/16i
  int list_file_ = 0;            // the file of the last stop or list
  int list_line_ = 0;            // the line of the last stop: a plain list centres on it
  int list_next_ = 0;            // the line after the last one listed
  bool list_continues_ = false;  // a plain list goes on after the last one
  uint16_t examine_next_ = 0;    // where a plain x goes on
};

// Debugs the program on the terminal (standard input and output), with the
// program's console input from the command line's input file or, shared with
// the commands, from standard input. The exit status.
int run_terminal(const CommandLine& line, Program program);

}  // namespace zorm::dbg
