#pragma once
// The object files ZORM writes, read back into a 64 KiB image: a raw binary
// (which carries no load address), Motorola S-records or Intel hex.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace zorm::dbg {

// A file that cannot be read or makes no sense: the message says which and why.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class ObjectFormat { binary, s_records, intel_hex };

struct ProgramImage {
  std::array<uint8_t, 65536> bytes{};
  std::bitset<65536> used;               // addresses the object file gives a byte for
  std::optional<uint16_t> start_address; // from the S9 record or the Intel end-of-file record

  bool empty() const { return used.none(); }
  uint16_t lowest_address() const;   // of the used bytes; 0 when there is none
  uint16_t highest_address() const;  // of the used bytes; 0 when there is none
  void place(uint16_t address, uint8_t byte) {
    bytes[address] = byte;
    used.set(address);
  }
};

// The format by the file name's extension as zorm writes them (".s19",
// ".hex"); any other name by its first character (':' or 'S' followed by a
// digit for the record formats), else binary.
ObjectFormat guess_object_format(const std::string& path, const std::string& content);

// Reads an object file's content. A binary is placed at load_address; the
// record formats place their bytes at their own addresses and ignore it.
// Throws LoadError naming the file and line of a malformed record.
ProgramImage read_object(const std::string& name, const std::string& content, ObjectFormat format,
                         uint16_t load_address);

// The whole content of a file, byte for byte; throws LoadError.
std::string read_whole_file(const std::string& path);

}  // namespace zorm::dbg
