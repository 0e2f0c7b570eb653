// zorm-lsp: the ZORM language server, speaking the Language Server Protocol
// over standard input and output.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lsp/server.h"
#include "protocol/stream_transport.h"
#include "zorm/language.h"

namespace {

const char* const USAGE =
    "usage: zorm-lsp [--stdio] [--log] [--statement-budget=N]\n"
    "The ZORM language server: the Language Server Protocol on standard input and output.\n"
    "  --stdio                 talk over standard input and output (the default and only way)\n"
    "  --log                   log to standard error\n"
    "  --statement-budget=N    stop an assembly after N statements in one pass (default 2000000)\n"
    "  --version               print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  zorm::lsp::ServerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--stdio") continue;
    if (argument == "--log") {
      options.log = stderr;
    } else if (argument.rfind("--statement-budget=", 0) == 0) {
      char* end = nullptr;
      const std::string number = argument.substr(std::strlen("--statement-budget="));
      options.statement_budget = std::strtoull(number.c_str(), &end, 10);
      if (number.empty() || *end != '\0') {
        std::fputs(USAGE, stderr);
        return 2;
      }
    } else if (argument == "--version") {
      std::printf("zorm-lsp %s\n", zorm::version());
      return 0;
    } else if (argument == "--help" || argument == "-h") {
      std::fputs(USAGE, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "zorm-lsp: unknown argument %s\n", argument.c_str());
      std::fputs(USAGE, stderr);
      return 2;
    }
  }
  // A client that goes away must not kill the server in the middle of a write.
  signal(SIGPIPE, SIG_IGN);
  zorm::protocol::StreamTransport transport(STDIN_FILENO, STDOUT_FILENO);
  zorm::lsp::Server server(transport, options);
  return server.run();
}
