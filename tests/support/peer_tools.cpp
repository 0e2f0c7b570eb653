#include "support/peer_tools.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/assemble.h"

namespace zorm::test {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Runs a shell command whose messages (on either stream) go to dir/err; ok
// when it succeeded and wrote dir/<output>.
PeerOutput run(const TempDir& dir, const std::string& command, const std::string& output) {
  PeerOutput result;
  const std::string full = "(" + command + ") >" + quoted(dir.file("err")) + " 2>&1";
  result.ok = std::system(full.c_str()) == 0 && dir.exists(output);
  if (result.ok) {
    result.bytes = dir.read(output);
  } else {
    result.messages = dir.read("err");
  }
  return result;
}

}  // namespace

std::string find_tool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (std::filesystem::exists(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

bool gas_available() { return !find_tool("z80-unknown-coff-as").empty() && !find_tool("z80-unknown-coff-objcopy").empty(); }

PeerOutput gas_binary(const std::string& source, const std::string& march) {
  TempDir dir(TempDir::Place::memory);
  dir.write("gas.s", source);
  const std::string command = quoted(find_tool("z80-unknown-coff-as")) + " -march=" + march + " -o " +
                              quoted(dir.file("gas.o")) + " " + quoted(dir.file("gas.s")) + " && " +
                              quoted(find_tool("z80-unknown-coff-objcopy")) + " -O binary " +
                              quoted(dir.file("gas.o")) + " " + quoted(dir.file("gas.bin"));
  return run(dir, command, "gas.bin");
}

bool pasmo_available() { return !find_tool("pasmo").empty(); }

PeerOutput pasmo_binary(const std::string& source) {
  TempDir dir(TempDir::Place::memory);
  dir.write("pasmo.asm", source);
  const std::string command =
      quoted(find_tool("pasmo")) + " " + quoted(dir.file("pasmo.asm")) + " " + quoted(dir.file("pasmo.bin"));
  return run(dir, command, "pasmo.bin");
}

std::string record_objcopy() {
  for (const char* name : {"z80-unknown-coff-objcopy", "objcopy"}) {
    const std::string path = find_tool(name);
    if (!path.empty()) return path;
  }
  return "";
}

PeerOutput decode_records(const std::string& records, const char* format, unsigned gap_fill) {
  TempDir dir(TempDir::Place::memory);
  dir.write("in.rec", records);
  char fill[8];
  std::snprintf(fill, sizeof fill, "0x%02x", gap_fill & 0xFF);
  const std::string command = quoted(record_objcopy()) + " -I " + format + " -O binary --gap-fill " + fill + " " +
                              quoted(dir.file("in.rec")) + " " + quoted(dir.file("out.bin"));
  return run(dir, command, "out.bin");
}

}  // namespace zorm::test
