// run_command_line(): the zorm command line, as main hands it over.
#include "assembly/assembler.h"
#include "zorm/assembly.h"

namespace zorm {

int run_command_line(int argc, const char* const* argv, FILE* standard_output, FILE* standard_error) {
  TemporaryFiles temporary_files;
  return run_command_line(argc, argv, standard_output, standard_error, temporary_files);
}

int run_command_line(int argc, const char* const* argv, FILE* standard_output, FILE* standard_error,
                     TemporaryFiles& temporary_files) {
  TextStream out(standard_output);
  TextStream err(standard_error);
  Assembler assembler(out, err, temporary_files);
  return assembler.run(argc, argv);
}

}  // namespace zorm
