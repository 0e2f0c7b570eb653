#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assembly/assembler.h"
#include "support/temp_dir.h"
#include "support/zorm_run.h"

namespace zorm::test {

// The names in a folder, sorted (temporary files included).
std::vector<std::string> folder_entries(const std::string& folder);

// One in-process run of the assembler.
struct RunResult {
  int status = 0;
  std::string out;  // standard output
  std::string err;  // standard error
  std::unique_ptr<TextStream> out_stream;
  std::unique_ptr<TextStream> err_stream;
  std::unique_ptr<Assembler> assembler;

  // The bytes the image holds at [address, address + count).
  std::vector<uint8_t> bytes(uint32_t address, uint32_t count) const;
};

// Runs the assembler with these arguments (argv[0] is added).
RunResult run_assembler(const std::vector<std::string>& args);

// Assembles a source text given as the file "t.asm" in a fresh folder, with
// the extra options; the listing goes to "t.lst" and the object to "t.bin"
// in that folder unless the options say otherwise.
struct Assembled {
  TempDir dir;
  RunResult run;
  std::string listing() const { return dir.read("t.lst"); }
  std::vector<uint8_t> bytes(uint32_t address, uint32_t count) const { return run.bytes(address, count); }
};
std::unique_ptr<Assembled> assemble(const std::string& source, const std::vector<std::string>& options = {});

// The bytes an instruction source assembles to from address 0, as a string of
// upper-case hex pairs separated by spaces ("DD 7E 05"), or "error: <first
// diagnostic message line>" when the run did not succeed.
std::string encode(const std::string& source, const std::vector<std::string>& options = {});

}  // namespace zorm::test
