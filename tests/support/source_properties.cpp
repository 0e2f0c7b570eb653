#include "support/source_properties.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "support/assemble.h"
#include "support/fragment_generator.h"
#include "support/peer_tools.h"
#include "support/program_generator.h"

namespace zorm::test {

namespace {

// One run of this assembler on a source in a scratch folder.
struct Run {
  int status = 0;
  std::string out;     // standard output: the diagnostics and summaries (-q)
  std::string object;  // the object file, "" when none was written
  uint32_t first = 0;  // the lowest address the program placed a byte at
};

Run assemble_in(const TempDir& dir, const std::string& source, std::vector<std::string> options, const char* object) {
  dir.write("t.asm", source);
  std::remove(dir.file(object).c_str());
  options.push_back("-q");
  options.push_back("-o" + dir.file(object));
  options.push_back(dir.file("t.asm"));
  const RunResult run = run_assembler(options);
  return {run.status, run.out, dir.read(object), run.assembler->image.next_used(0, IMAGE_SIZE)};
}

std::string level_option(int level) { return "-x" + std::to_string(level); }

std::string join(const std::vector<std::string>& lines, size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to && i < lines.size(); ++i) text += lines[i] + "\n";
  return text;
}

// Where two images first differ, with a few bytes of each from there.
std::string difference(const std::string& ours, const std::string& theirs, uint32_t base, const char* who) {
  size_t at = 0;
  while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at]) ++at;
  auto bytes = [at](const std::string& image) {
    std::string text;
    char buffer[4];
    for (size_t i = at; i < at + 6 && i < image.size(); ++i) {
      std::snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned char>(image[i]));
      text += buffer;
    }
    return text.empty() ? std::string("(nothing)") : text;
  };
  char where[96];
  std::snprintf(where, sizeof where, "first difference at address 0x%04zx (ZORM %zu bytes, %s %zu bytes): ",
                base + at, ours.size(), who, theirs.size());
  return std::string(where) + "ZORM " + bytes(ours) + "| " + who + " " + bytes(theirs) + "\n";
}

std::string numbered(const std::string& text) {
  std::string shown;
  int line = 1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    char number[16];
    std::snprintf(number, sizeof number, "%4d| ", line++);
    shown += number + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return shown;
}

// ---- skipped lines -----------------------------------------------------------

// Lines with errors that the skipped-lines property puts around its block, so
// that diagnostics are compared too; none of them opens a definition that
// could take the block in.
const std::vector<std::string> ERROR_LINES = {
    "\tld a,",       "\tfrobnicate 1,2", "\tdb 300",   "\tjr 70000",      "\tld (ix+200),a",
    "\tendm",        "\texitm",          "\tlocal x",  "lab0:\tnop",      "\tdw \"abc",
    "\tinclude \"no_such_file.asm\"",    "\tld a,(hl", "\tpush bc,,de",   "1abc\tnop"};

// Renumbers the diagnostics of the source without the block as the source
// with it reports them: lines after `after` move down by `inserted`, and the
// count of lines read grows by as much.
std::string renumbered(const std::string& out, int after, int inserted) {
  // A prefix, the number, the rest; whether the number is a source line.
  static const std::pair<std::regex, bool> forms[] = {
      {std::regex(R"(^()(\d+)(:.*\n?)$)"), true},                      // 12:<the line>
      {std::regex(R"(^(".*",)(\d+)(( : | \().*\n?)$)"), true},         // "file",12 : message
      {std::regex(R"(^(File .*, Line )(\d+)( : .*\n?)$)"), true},      // File f, Line 12 : Undefined label
      {std::regex(R"(^()(\d+)( lines read.*\n?)$)"), false},           // 80 lines read, ...
  };
  std::string result;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    end = end == std::string::npos ? out.size() : end + 1;
    std::string line = out.substr(start, end - start);
    start = end;
    for (const auto& [form, source_line] : forms) {
      std::smatch match;
      if (!std::regex_match(line, match, form)) continue;
      int n = std::stoi(match[2]);
      if (!source_line || n > after) n += inserted;
      line = match[1].str() + std::to_string(n) + match[3].str();
      break;
    }
    result += line;
  }
  return result;
}

// A line the block may hold: no conditional directive in operation position,
// and no Ctrl-Z, which ends the file rather than belonging to a line.
std::string hideable_line(Random& r) {
  for (;;) {
    const std::string line = random_line(r);
    if (!has_conditional_operation(line) && line.find('\x1a') == std::string::npos) return line;
  }
}

// ---- moved lines -------------------------------------------------------------

std::string moved_failure(const char* how, const Run& base, const Run& moved, const std::string& source,
                          const std::string& variant, const std::string& part) {
  std::string text = std::string("moving lines ") + how + " changed the result (status " +
                     std::to_string(base.status) + " -> " + std::to_string(moved.status) + ")\n";
  if (base.object != moved.object) text += difference(base.object, moved.object, base.first, "moved");
  text += "--- source\n" + numbered(source) + "--- with the lines moved\n" + numbered(variant);
  if (!part.empty()) text += "--- included file\n" + numbered(part);
  text += "--- output\n" + base.out + "--- output with the lines moved\n" + moved.out;
  return text;
}

// A program at any processor level, its blocks in any order.
ProgramShape any_shape(Random& r, int statements) {
  ProgramShape shape;
  shape.level = r.range(0, 5);
  shape.statements = statements;
  shape.ascending = r.one_in(2);
  return shape;
}

}  // namespace

std::string check_skipped_lines(Random& r, int statements) {
  const ProgramShape shape = any_shape(r, statements);
  const int level = shape.level;
  std::vector<std::string> lines = random_program(r, shape).lines;
  if (r.one_in(2)) {
    for (int i = r.range(1, 3); i > 0; --i) {
      lines.insert(lines.begin() + r.below(static_cast<int>(lines.size()) + 1), r.pick(ERROR_LINES));
    }
  }
  const int at = r.below(static_cast<int>(lines.size()) + 1);
  static const std::vector<std::string> openings = {"\tif 0", " if 1-1", "\tif 0\t; off", "\tif never_defined",
                                                    "\tif 2 < 1"};
  std::vector<std::string> block = {r.pick(openings)};
  for (int i = r.range(1, 8); i > 0; --i) block.push_back(hideable_line(r));
  block.push_back(r.one_in(3) ? " endif ; on" : "\tendif");

  std::vector<std::string> with_block = lines;
  with_block.insert(with_block.begin() + at, block.begin(), block.end());
  const std::string source = join(lines, 0, lines.size());
  const std::string variant = join(with_block, 0, with_block.size());

  TempDir dir(TempDir::Place::memory);
  const std::vector<std::string> options = {level_option(level)};
  const Run plain = assemble_in(dir, source, options, "t.bin");
  const Run hidden = assemble_in(dir, variant, options, "t.bin");
  const std::string expected_out = renumbered(plain.out, at, static_cast<int>(block.size()));
  if (plain.status == hidden.status && plain.object == hidden.object && expected_out == hidden.out) return "";

  std::string text = "lines in a false block changed the result (status " + std::to_string(plain.status) + " -> " +
                     std::to_string(hidden.status) + ")\n";
  if (plain.object != hidden.object) text += difference(plain.object, hidden.object, plain.first, "with block");
  text += "--- source with the block after line " + std::to_string(at) + "\n" + numbered(variant);
  text += "--- output expected (renumbered from the source without the block)\n" + expected_out;
  text += "--- output\n" + hidden.out;
  return text;
}

std::string check_peer_bytes(Random& r, int level, int statements) {
  ProgramShape shape;
  shape.level = level;
  shape.statements = statements;
  shape.pasmo = pasmo_available() && level != 4;  // pasmo knows no Z180 additions
  const Program program = random_program(r, shape);
  const std::string source = program.text();

  TempDir dir(TempDir::Place::memory);
  const Run ours = assemble_in(dir, source, {level_option(level), "-n", "-z"}, "t.bin");
  const std::string sources = "--- ZORM's source\n" + numbered(source) + "--- the peers' source\n" + numbered(program.peer);
  if (ours.status != 0) return "ZORM refused the program:\n" + ours.out + sources;

  const PeerOutput gas = gas_binary(program.peer, gas_march(level));
  if (!gas.ok) return "GNU as refused the program:\n" + gas.messages + sources;
  // GNU as's image starts at address 0.
  const std::string theirs = gas.bytes.size() >= ours.first ? gas.bytes.substr(ours.first) : std::string();
  if (theirs != ours.object) return "GNU as placed other bytes: " + difference(ours.object, theirs, ours.first, "GNU as") + sources;

  if (shape.pasmo) {
    const PeerOutput pasmo = pasmo_binary(program.peer);
    if (!pasmo.ok) return "pasmo refused the program:\n" + pasmo.messages + sources;
    if (pasmo.bytes != ours.object) return "pasmo placed other bytes: " + difference(ours.object, pasmo.bytes, ours.first, "pasmo") + sources;
  }
  return "";
}

std::string check_moved_lines(Random& r, int statements) {
  const ProgramShape shape = any_shape(r, statements);
  const int level = shape.level;
  const std::vector<std::string> lines = random_program(r, shape).lines;
  const size_t from = static_cast<size_t>(r.below(static_cast<int>(lines.size())));
  const size_t to = from + static_cast<size_t>(r.range(1, std::min(20, static_cast<int>(lines.size() - from))));
  const std::string source = join(lines, 0, lines.size());
  const std::string run_of_lines = join(lines, from, to);

  TempDir dir(TempDir::Place::memory);
  const std::vector<std::string> options = {level_option(level)};
  const Run base = assemble_in(dir, source, options, "t.bin");

  // Into an included file, named by its full path.
  dir.write("part.asm", run_of_lines);
  const std::string included =
      join(lines, 0, from) + "\tinclude \"" + dir.file("part.asm") + "\"\n" + join(lines, to, lines.size());
  const Run through_include = assemble_in(dir, included, options, "t.bin");
  if (through_include.status != base.status || through_include.object != base.object) {
    return moved_failure("into an included file", base, through_include, source, included, run_of_lines);
  }

  // Into a macro defined at the top and called where the lines were.
  const std::string expanded = "moved\tmacro\n" + run_of_lines + "\tendm\n" + join(lines, 0, from) + "\tmoved\n" +
                               join(lines, to, lines.size());
  const Run through_macro = assemble_in(dir, expanded, options, "t.bin");
  if (through_macro.status != base.status || through_macro.object != base.object) {
    return moved_failure("into a macro", base, through_macro, source, expanded, "");
  }
  return "";
}

std::string check_object_formats(Random& r, int statements) {
  ProgramShape shape = any_shape(r, statements);
  const int level = shape.level;
  const bool zero_fill = r.one_in(2);
  shape.start_address = r.one_in(2);
  const std::string source = random_program(r, shape).text();

  TempDir dir(TempDir::Place::memory);
  std::vector<std::string> options = {level_option(level)};
  if (zero_fill) options.push_back("-z");
  const Run binary = assemble_in(dir, source, options, "t.bin");
  options.push_back("-s1");
  const Run s_records = assemble_in(dir, source, options, "t.s19");
  options.back() = "-s2";
  const Run intel_hex = assemble_in(dir, source, options, "t.hex");
  if (binary.status != 0 || s_records.status != 0 || intel_hex.status != 0) {
    return "the program did not assemble in every format:\n" + binary.out + s_records.out + intel_hex.out + "--- source\n" +
           numbered(source);
  }
  const unsigned fill = zero_fill ? 0x00 : 0xFF;
  for (const auto& [run, format] : {std::pair{&s_records, "srec"}, std::pair{&intel_hex, "ihex"}}) {
    const PeerOutput decoded = decode_records(run->object, format, fill);
    if (!decoded.ok) return std::string("objcopy could not read the ") + format + " file:\n" + decoded.messages + run->object;
    if (decoded.bytes != binary.object) {
      return std::string("the ") + format + " file decodes to other bytes than the binary: " +
             difference(binary.object, decoded.bytes, binary.first, format) + "--- records\n" + run->object +
             "--- source\n" + numbered(source);
    }
  }
  return "";
}

}  // namespace zorm::test
