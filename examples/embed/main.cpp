// Assembles a program held in a string, then prints its object bytes in hex
// and its diagnostics. No file is read or written.
#include <cstdio>

#include <zorm/zorm.h>

int main() {
  // The source lives in memory, under a name of its own.
  zorm::OverlayProvider sources;
  sources.set("/memory/hello.asm",
              "; Prints a greeting under CP/M.\n"
              "bdos\tequ 5\n"
              "\torg $100\n"
              "start:\tld de,message\n"
              "\tld c,9\n"
              "\tcall bdos\n"
              "\tld a,a\n"
              "\tret\n"
              "message:\tdb \"Hello$\"\n"
              "\tend start\n");

  zorm::AssemblyOptions options;
  options.main_file = "/memory/hello.asm";
  options.sources = &sources;
  options.processor = zorm::Processor::z80;
  const zorm::AssemblyResult result = zorm::assemble(options);

  std::printf("%zu bytes from $%04x:\n", result.object.size(), result.start_address.value_or(0));
  for (size_t i = 0; i < result.object.size(); ++i) {
    std::printf("%02x%s", result.object[i], i % 8 == 7 || i + 1 == result.object.size() ? "\n" : " ");
  }
  for (const zorm::Diagnostic& d : result.diagnostics) {
    const char* file = d.file >= 0 ? result.files[static_cast<size_t>(d.file)].c_str() : "zorm";
    std::printf("%s:%d: %s: %s\n", file, d.line, d.severity == zorm::Severity::error ? "error" : "warning",
                d.message.c_str());
  }
  return result.exit_status;
}
