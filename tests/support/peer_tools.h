#pragma once
// Independent tools that tests compare this assembler with: GNU as for the
// Z80 with its objcopy, pasmo, and an objcopy that decodes S-records and
// Intel hex. Each is found on PATH; a test skips visibly when one is missing.

#include <string>

namespace zorm::test {

// The full path of a program on PATH, "" when there is none.
std::string find_tool(const std::string& name);

// What a peer made of a source: the binary, or its messages when it refused.
struct PeerOutput {
  bool ok = false;
  std::string bytes;     // the object as a binary image
  std::string messages;  // standard error of the failed step
};

bool gas_available();  // z80-unknown-coff-as and z80-unknown-coff-objcopy
// GNU as with -march=<march>, then objcopy -O binary: the image from address
// 0, since an org pads the section from its start.
PeerOutput gas_binary(const std::string& source, const std::string& march);

bool pasmo_available();
// pasmo's binary: the image from the lowest address the program uses.
PeerOutput pasmo_binary(const std::string& source);

// The objcopy that reads records: z80-unknown-coff-objcopy or the host's
// objcopy, "" when neither is installed.
std::string record_objcopy();
// Decodes an S-record ("srec") or Intel hex ("ihex") text into a binary
// image from the lowest address it holds; gaps get gap_fill.
PeerOutput decode_records(const std::string& records, const char* format, unsigned gap_fill);

}  // namespace zorm::test
