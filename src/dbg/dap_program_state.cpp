// The Debug Adapter Protocol's breakpoints, and what a stopped program shows:
// its call stack, registers, flags, symbols, expressions and memory.

#include <cstdio>

#include "dbg/dap_server.h"
#include "dbg/paths.h"
#include "dbg/registers.h"
#include "dbg/symbols.h"

namespace zorm::dbg {

namespace {

std::string base64(const std::vector<uint8_t>& bytes) {
  static constexpr char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t group = static_cast<uint32_t>(bytes[i]) << 16 |
                           (i + 1 < bytes.size() ? static_cast<uint32_t>(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    text += DIGITS[group >> 18 & 63];
    text += DIGITS[group >> 12 & 63];
    text += i + 1 < bytes.size() ? DIGITS[group >> 6 & 63] : '=';
    text += i + 2 < bytes.size() ? DIGITS[group & 63] : '=';
  }
  return text;
}

// "0x12" for 8 bits, "0x1234" for 16, the number itself for the rest.
std::string register_text(uint16_t value, int bits) {
  char text[16];
  if (bits == 16) {
    std::snprintf(text, sizeof text, "0x%04x", value);
  } else if (bits == 8) {
    std::snprintf(text, sizeof text, "0x%02x", value);
  } else {
    std::snprintf(text, sizeof text, "%u", value);
  }
  return text;
}

// A value as the debugger shows it: decimal, with its bits in hexadecimal.
std::string value_text(int32_t value) {
  char text[40];
  const uint32_t bits = static_cast<uint32_t>(value);
  std::snprintf(text, sizeof text, bits > 0xFFFF ? "%d (0x%08x)" : "%d (0x%04x)", value, bits);
  return text;
}

std::string file_name_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<int32_t> DapServer::value_of(const std::string& text, std::string& error) {
  const Evaluation result = expressions_->evaluate(text, debugger_->machine());
  if (!result.ok) {
    error = text + ": " + result.error;
    return std::nullopt;
  }
  return result.value;
}

DapServer::Json DapServer::source_of(int file) {
  const SourceFiles& sources = debugger_->program().sources;
  return Json{{"name", file_name_of(sources.recorded(file))}, {"path", sources.path(file)}};
}

DapServer::Json DapServer::breakpoint_result(int id, int line, int file, const std::string& problem) {
  Json result{{"verified", problem.empty()}};
  if (id != 0) result["id"] = id;
  if (line != 0) result["line"] = positions_.line_to_client(line);
  if (file >= 0) result["source"] = source_of(file);
  if (!problem.empty()) result["message"] = problem;
  return result;
}

DapServer::Json DapServer::set_breakpoints(const Json& arguments) {
  debugger();
  const std::string path = arguments.at("source").value("path", "");
  std::vector<int> lines;
  if (arguments.contains("breakpoints")) {
    for (const Json& wanted : arguments["breakpoints"]) lines.push_back(positions_.line_from_client(wanted.at("line")));
  } else if (arguments.contains("lines")) {
    for (const Json& line : arguments["lines"]) lines.push_back(positions_.line_from_client(line));
  }
  return on_machine([&]() -> Json {
    Breakpoints& breakpoints = debugger_->breakpoints();
    std::vector<int>& ids = source_breakpoints_[canonical(path)];
    for (int id : ids) breakpoints.remove(id);
    ids.clear();
    const std::vector<int> files = path.empty() ? std::vector<int>{} : debugger_->program().sources.find(path);
    Json results = Json::array();
    for (int line : lines) {
      if (files.empty()) {
        results.push_back(breakpoint_result(0, line, -1, "not a source file of this program"));
        continue;
      }
      const auto [found_line, addresses] = debugger_->program().source_map.line_addresses(files, line);
      if (addresses.empty()) {
        results.push_back(breakpoint_result(0, line, -1, "no code at or after this line"));
        continue;
      }
      const int file = debugger_->statement_at(addresses.front())->file;
      const int id = breakpoints.add(Breakpoint::Kind::code,
                                     debugger_->program().sources.recorded(file) + ":" + std::to_string(found_line),
                                     addresses);
      ids.push_back(id);
      results.push_back(breakpoint_result(id, found_line, file, ""));
    }
    return Json{{"breakpoints", results}};
  });
}

DapServer::Json DapServer::set_function_breakpoints(const Json& arguments) {
  debugger();
  std::vector<std::string> names;
  for (const Json& wanted : arguments.at("breakpoints")) names.push_back(wanted.at("name"));
  return on_machine([&]() -> Json {
    Breakpoints& breakpoints = debugger_->breakpoints();
    for (int id : function_breakpoints_) breakpoints.remove(id);
    function_breakpoints_.clear();
    Json results = Json::array();
    for (const std::string& name : names) {
      std::string error;
      const std::optional<int32_t> value = value_of(name, error);
      if (!value) {
        results.push_back(breakpoint_result(0, 0, -1, error));
        continue;
      }
      const uint16_t address = static_cast<uint16_t>(*value);
      const int id = breakpoints.add(Breakpoint::Kind::code, name, {address});
      function_breakpoints_.insert(id);
      const std::optional<Statement> statement = debugger_->statement_at(address);
      Json result = breakpoint_result(id, statement ? statement->line : 0, statement ? statement->file : -1, "");
      result["instructionReference"] = hex_address(address);
      results.push_back(std::move(result));
    }
    return Json{{"breakpoints", results}};
  });
}

DapServer::Json DapServer::set_exception_breakpoints(const Json&) { return Json{{"breakpoints", Json::array()}}; }

DapServer::Json DapServer::stack_trace(const Json& arguments) {
  require_stopped();
  const std::vector<StackEntry> entries = debugger_->stack();
  const size_t start = arguments.value("startFrame", size_t{0});
  const size_t levels = arguments.value("levels", size_t{0});
  Json frames = Json::array();
  for (size_t i = start; i < entries.size() && (levels == 0 || i < start + levels); ++i) {
    const StackEntry& entry = entries[i];
    const int64_t id = new_handle();
    frame_handles_.insert(id);
    Json frame{{"id", id}, {"name", entry.function}, {"instructionPointerReference", hex_address(entry.pc)}};
    if (entry.statement) {
      frame["source"] = source_of(entry.statement->file);
      frame["line"] = positions_.line_to_client(entry.statement->line);
      frame["column"] = positions_.column_to_client(1);
    } else {
      frame["line"] = 0;
      frame["column"] = 0;
      frame["presentationHint"] = "subtle";
    }
    frames.push_back(std::move(frame));
  }
  return Json{{"stackFrames", frames}, {"totalFrames", entries.size()}};
}

DapServer::Json DapServer::scopes(const Json& arguments) {
  require_stopped();
  if (frame_handles_.count(arguments.at("frameId").get<int64_t>()) == 0) {
    throw Refusal("no such frame (frames last until the program runs again)");
  }
  Json result = Json::array();
  for (const auto& [name, scope] : {std::pair{"Registers", Scope::registers}, std::pair{"Flags", Scope::flags},
                                    std::pair{"Symbols", Scope::symbols}}) {
    const int64_t handle = new_handle();
    scope_handles_[handle] = scope;
    Json entry{{"name", name}, {"variablesReference", handle}, {"expensive", false}};
    if (scope == Scope::registers) entry["presentationHint"] = "registers";
    result.push_back(std::move(entry));
  }
  return Json{{"scopes", result}};
}

DapServer::Json DapServer::variables(const Json& arguments) {
  require_stopped();
  auto found = scope_handles_.find(arguments.at("variablesReference").get<int64_t>());
  if (found == scope_handles_.end()) throw Refusal("no such variables (they last until the program runs again)");
  const Machine& machine = debugger_->machine();
  Json result = Json::array();
  switch (found->second) {
    case Scope::registers:
      for (const RegisterName& reg : register_names()) {
        const uint16_t value = machine.reg(reg.reg);
        Json variable{{"name", reg.name}, {"value", register_text(value, reg.bits)}, {"variablesReference", 0},
                      {"evaluateName", reg.name}};
        if (reg.bits == 16) variable["memoryReference"] = hex_address(value);
        result.push_back(std::move(variable));
      }
      break;
    case Scope::flags: {
      const uint16_t f = machine.reg(Register::f);
      for (const FlagName& flag : flag_names()) {
        result.push_back(Json{{"name", flag.name}, {"value", std::to_string((f >> flag.bit) & 1)}, {"variablesReference", 0}});
      }
      break;
    }
    case Scope::symbols:
      for (const DebugSymbol& symbol : debugger_->program().symbols.all()) {
        Json variable{{"name", symbol.name}, {"variablesReference", 0}, {"evaluateName", symbol.name}};
        if (symbol.is_label() && symbol.value >= 0 && symbol.value <= 0xFFFF) {
          variable["value"] = hex_address(static_cast<uint16_t>(symbol.value));
          variable["memoryReference"] = hex_address(static_cast<uint16_t>(symbol.value));
        } else {
          variable["value"] = value_text(symbol.value);
        }
        result.push_back(std::move(variable));
      }
      break;
  }
  return Json{{"variables", result}};
}

DapServer::Json DapServer::set_variable(const Json& arguments) {
  require_stopped();
  auto found = scope_handles_.find(arguments.at("variablesReference").get<int64_t>());
  if (found == scope_handles_.end()) throw Refusal("no such variables (they last until the program runs again)");
  const std::string name = arguments.at("name");
  std::string error;
  const std::optional<int32_t> value = value_of(arguments.at("value"), error);
  if (!value) throw Refusal(error);
  Machine& machine = debugger_->machine();
  if (found->second == Scope::registers) {
    const std::optional<RegisterName> reg = find_register(name);
    if (!reg) throw Refusal("no register " + name);
    machine.set_reg(reg->reg, static_cast<uint16_t>(*value));
    return Json{{"value", register_text(machine.reg(reg->reg), reg->bits)}};
  }
  if (found->second == Scope::flags) {
    for (const FlagName& flag : flag_names()) {
      if (flag.name != name) continue;
      if (*value != 0 && *value != 1) throw Refusal("a flag is 0 or 1");
      const uint16_t f = machine.reg(Register::f);
      machine.set_reg(Register::f, static_cast<uint16_t>((f & ~(1u << flag.bit)) | (*value << flag.bit)));
      return Json{{"value", std::to_string(*value)}};
    }
    throw Refusal("no flag " + name);
  }
  throw Refusal("symbols are fixed when the program is assembled");
}

DapServer::Json DapServer::evaluate(const Json& arguments) {
  debugger();
  const std::string expression = arguments.at("expression");
  // In the debug console, "> text" is typed into the program's console.
  if (arguments.value("context", "") == "repl" && !expression.empty() && expression[0] == '>') {
    console_->type(expression.substr(expression.size() > 1 && expression[1] == ' ' ? 2 : 1));
    return Json{{"result", ""}, {"variablesReference", 0}};
  }
  require_stopped();
  std::string error;
  const std::optional<int32_t> value = value_of(expression, error);
  if (!value) throw Refusal(error);
  Json result{{"result", value_text(*value)}, {"variablesReference", 0}};
  if (*value >= 0 && *value <= 0xFFFF) result["memoryReference"] = hex_address(static_cast<uint16_t>(*value));
  return result;
}

DapServer::Json DapServer::read_memory(const Json& arguments) {
  require_stopped();
  std::string error;
  const std::optional<int32_t> reference = value_of(arguments.at("memoryReference"), error);
  if (!reference) throw Refusal(error);
  const int64_t start = int64_t{*reference} + arguments.value("offset", int64_t{0});
  const int64_t count = arguments.at("count").get<int64_t>();
  if (count < 0) throw Refusal("count must not be negative");
  // Only the 64 KiB of the address space can be read.
  const int64_t first = std::clamp<int64_t>(start, 0, 0x10000);
  const int64_t last = std::clamp<int64_t>(start + count, 0, 0x10000);
  std::vector<uint8_t> bytes;
  for (int64_t address = first; address < last; ++address) bytes.push_back(debugger_->machine().read(static_cast<uint16_t>(address)));
  Json result{{"address", hex_address(static_cast<uint16_t>(std::min<int64_t>(first, 0xFFFF)))}};
  if (!bytes.empty()) result["data"] = base64(bytes);
  if (static_cast<int64_t>(bytes.size()) < count) result["unreadableBytes"] = count - static_cast<int64_t>(bytes.size());
  return result;
}

}  // namespace zorm::dbg
