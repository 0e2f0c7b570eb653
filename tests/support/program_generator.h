#pragma once
// Random valid programs: instruction statements of one processor level
// (statement_generator.h) between labels, equ definitions, org blocks and
// data directives, with forward and backward references to labels and names.
// Each program comes in this assembler's spelling and in the plain spelling
// that GNU as and pasmo read, for the same bytes.

#include <string>
#include <vector>

#include "support/statement_generator.h"

namespace zorm::test {

struct ProgramShape {
  int level = 2;        // processor level, 0 to 5
  int statements = 60;  // instruction and data statements
  // Org blocks at rising addresses without overlaps, as GNU as needs them;
  // otherwise a block may also lie below an earlier one.
  bool ascending = true;
  // Only what pasmo knows as well (no Z180 additions, no in f,(c)).
  bool pasmo = false;
  // "end" names the first label as the start address.
  bool start_address = false;
};

struct Program {
  std::vector<std::string> lines;  // this assembler's source, without line ends
  std::string peer;                // the same program for GNU as (and pasmo when asked for)
  std::string text() const;        // the lines, each with a line end
};

Program random_program(Random& r, const ProgramShape& shape);

// The -march option of GNU as for a processor level.
std::string gas_march(int level);

}  // namespace zorm::test
