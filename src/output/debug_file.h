#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "assembly/text_stream.h"
#include "output/line_map.h"
#include "output/output_file.h"
#include "zorm/temporary_files.h"

namespace zorm {

inline constexpr unsigned DEBUG_FORMAT_VERSION = 60;
inline constexpr unsigned DEBUG_MAX_VERSION = 999;
inline constexpr unsigned DEBUG_FLAGS = 0;  // bit 0 is always set in the file
inline constexpr const char* DEBUG_IDENTIFICATION_TEXT = "This is a Quenmarch source-level debug information file";
inline constexpr const char* DEBUG_NOTICE_TEXT = "Written by ZORM";
inline constexpr unsigned DEBUG_MAX_NAME_LENGTH = 255;  // longer paths and names are cut to this
inline constexpr int DEBUG_MAX_FILE_INDEX = 127;        // line records of later files are left out

// The header bytes of a debug file; empty when the version is above 999.
std::string debug_file_header(const char* identification, unsigned version, unsigned flags, const char* notice);
// The header checksum over bytes: rotate left by one bit, then add the byte.
uint16_t debug_header_checksum(const void* data, size_t size);

// The source-level debug information file, written in stages over the run.
// While it is written it is recorded in temporary_files; a file that cannot
// be written is said on standard output.
class DebugFile {
 public:
  DebugFile(TextStream& out, TemporaryFiles& temporary_files) : out_(out), temporary_files_(temporary_files) {}
  DebugFile(const DebugFile&) = delete;
  DebugFile& operator=(const DebugFile&) = delete;

  // Creates the file with this assembler's identification and notice.
  bool create_debug_file(const std::string& path);
  bool create_debug_file(const std::string& path, const char* identification, unsigned version, unsigned flags,
                         const char* notice);
  // Keeps a copy of everything written in bytes(); called before the file is made.
  void keep_bytes() { keep_ = true; }
  // Makes the debug file in memory only: bytes() holds it.
  void create_in_memory();
  const std::string& bytes() const { return bytes_; }
  std::string take_bytes() { return std::move(bytes_); }
  bool is_open() const { return open_; }
  void write_processor_record(uint32_t code);
  void write_file_record(const std::string& path);
  // One symbol record; sets bit 7 of attributes when the value needs 32 bits.
  void write_symbol_record(const std::string& name, uint8_t& attributes, int32_t value);
  void write_byte(uint8_t byte);
  void write_bytes(const void* data, size_t size);
  void write_number16(int32_t value);
  void write_number32(int32_t value);
  // The line records of line_map and the closing 0x00.
  void finish_debug_file();
  // Pushes what was written to the file; a write error ends the run with
  // "Can't create output file".
  void check_written();
  // Completes the file, which then takes the place of an earlier one; false
  // when it could not be written completely.
  bool close();

  // The code statements of pass 2, for the line records.
  LineMap line_map;

 private:
  FILE* file() const { return output_.file(); }

  TextStream& out_;
  TemporaryFiles& temporary_files_;
  OutputFile output_;  // the file on disk, when there is one
  bool open_ = false;
  bool keep_ = false;
  std::string path_;
  std::string bytes_;
};

}  // namespace zorm
