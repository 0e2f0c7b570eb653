#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorm {

class Assembler;

inline constexpr int32_t LISTING_OFF = -12345;
inline constexpr size_t NAME_BUFFER_SIZE = 260;       // 259 characters and a terminator
inline constexpr size_t INCLUDE_PATH_LIST_SIZE = 256;

using KeywordCompare = int (*)(const char*, const char*);

// The default name comparison of keyword lookups: byte order.
int keyword_strcmp(const char* a, const char* b);

// The settings of one run, read from the command line.
struct Options {
  std::string source_name;
  std::string object_name;
  std::string listing_name;
  std::string debug_name;
  std::string title_name;
  std::string include_path_list = ";";
  int list_pass1 = 0;
  int list_pass2 = 0;
  int32_t listing_level = LISTING_OFF;
  int32_t pass1_listing_level = LISTING_OFF;
  int32_t pass2_listing_level = LISTING_OFF;
  bool show_cycles = false;
  int listing_text_column = 25;
  bool show_macro_expansions = false;
  int page_height = 65;
  int page_width = 79;
  bool symbol_table = false;
  bool memory_map = false;
  bool debug_info = false;
  int output_format = 0;
  int processor_level = -2;
  uint8_t fill_byte = 0xFF;
  int optimisation_state = 0;
  KeywordCompare keyword_compare = nullptr;  // set to strcmp by the constructor
  bool quiet = false;
  bool verbose = false;
  bool suppress_warnings = false;
  bool help_requested = false;
  bool listing_to_stdout = false;

  Options();
};

extern const char* const PROGRAM_NAME;
extern const char* const PROGRAM_TITLE;
extern const char* const NOTICE_TEXT;
extern const char* const SOURCE_EXTENSIONS[4];
extern const char* const OBJECT_EXTENSIONS[3];
extern const char* const FORMAT_NAMES[3];

// The option help lines, sorted as they are printed.
std::vector<const char*> sorted_help_table();
// The option letters of the usage line, "-DIc... +q".
std::string usage_letters();

// Copies at most size - 1 characters of source.
void bounded_copy(std::string& destination, const std::string& source, size_t size);
// Appends so that the whole, terminator included, fits in size bytes.
void bounded_append(std::string& destination, const std::string& source, size_t size);
// Cuts a name at its extension; a '/' met first leaves it unchanged.
void strip_extension(std::string& name);

// Reads the command line into the options and prepares the run: the source
// file, the derived names, the listing and debug files. Prints help and usage
// texts itself and throws FatalExit where the run ends.
void parse_command_line(Assembler& as, int argc, const char* const* argv);

}  // namespace zorm
