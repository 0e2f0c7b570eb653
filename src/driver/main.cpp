#include "driver/assembler.h"

int main(int argc, char** argv) {
  zorm::TextStream out(stdout);
  zorm::TextStream err(stderr);
  zorm::Assembler assembler(out, err);
  return assembler.run(argc, argv);
}
