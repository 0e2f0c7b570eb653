#pragma once

#include <string>

namespace zorm {

class Assembler;

inline constexpr int INCLUDE_BYTE_LIMIT = 16384;
inline constexpr int RECORD_LINE_SIZE = 128;
inline constexpr int MAX_RECORD_DATA = 56;

// Places a ".bin" file's bytes at the location counter.
int include_binary(Assembler& as, const std::string& path);
// Places the data of an S-record or Intel hex file at the location counter.
int include_records(Assembler& as, const std::string& path);

}  // namespace zorm
