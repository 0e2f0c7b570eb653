// The zorm command line: everything it does, the library does.
#include <cstdio>

#include "zorm/assembly.h"

int main(int argc, char** argv) { return zorm::run_command_line(argc, argv, stdout, stderr); }
