// run_command_line(): the zorm command line, as main hands it over.
#include "assembly/assembler.h"
#include "zorm/assembly.h"

namespace zorm {

int run_command_line(int argc, const char* const* argv, FILE* standard_output, FILE* standard_error) {
  TextStream out(standard_output);
  TextStream err(standard_error);
  Assembler assembler(out, err);
  return assembler.run(argc, argv);
}

}  // namespace zorm
