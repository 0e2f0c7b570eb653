#include "assembly/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"
#include "symbols/symbol_table.h"

namespace zorm {

const char* const PROGRAM_NAME = "ZORM";
const char* const PROGRAM_TITLE = "ZORM Assembler for i8080 [1.42].";
const char* const NOTICE_TEXT = "(c) The ZORM developers";
const char* const SOURCE_EXTENSIONS[4] = {"a80", "z80", "asm", "s"};
const char* const OBJECT_EXTENSIONS[3] = {".bin", ".s19", ".hex"};
const char* const FORMAT_NAMES[3] = {"binary", "s-records", "intel-hex"};

namespace {

constexpr int MAX_HELP_LINES = 30;

const char* const GENERAL_HELP[] = {
    "-c       : Show number of cycles per instruction in listing",
    "-D<name> : Define label, if no name given define DEBUG",
    "-g       : Generate source-level debug information",
    "-h<num>  : Specify height of page for listing",
    "-i       : Ignore case in opcodes",
    "-I<path> : Specify include file path string",
    "-l       : Generate pass 2 listing",
    "-l<name> : Listing file name",
    "-m       : Show macro expansions in listing",
    "-n       : Disable optimizations",
    "-o<name> : Binary/hex output file name",
    "-p       : Generate pass 1 listing",
    "-q       : Quiet mode",
    "-t       : Generate symbol table",
    "-u       : List memory usage map",
    "-v       : Verbose mode",
    "-w<wid>  : Specify listing width, 131 if no number given",
    "-z       : Fill unused memory with zeros",
};

const char* const PROCESSOR_HELP[] = {
    "+q       : Suppress warning messages",
    "-x1      : Use 8085 extensions",
    "-x2 -x   : Use Z80 extensions",
    "-x3      : Use Z80 and index byte register extensions",
    "-x4      : Use Z180/64180 extensions",
};

const char* const FORMAT_HELP[] = {
    "-s1 -s   : Write s-records instead of binary file",
    "-s2      : Write intel-hex file instead of binary file",
};

// Help lines sort by their option letter (upper case first); for the same
// letter a '-' line comes before a '+' line; otherwise byte order.
bool help_line_before(const char* a, const char* b) {
  unsigned char la = static_cast<unsigned char>(a[1]);
  unsigned char lb = static_cast<unsigned char>(b[1]);
  if (la != lb) return la < lb;
  unsigned char fa = static_cast<unsigned char>(a[0]);
  unsigned char fb = static_cast<unsigned char>(b[0]);
  if (fa != fb) return fa > fb;
  return std::strcmp(a, b) < 0;
}

int keyword_strcoll(const char* a, const char* b) { return std::strcoll(a, b); }

void print_title(Assembler& as) { as.out.printf("%s  %s\n\n", PROGRAM_TITLE, NOTICE_TEXT); }

[[noreturn]] void print_usage(Assembler& as, bool with_option_list) {
  as.out.printf("Usage: %s [%s] file\n", PROGRAM_NAME, usage_letters().c_str());
  if (with_option_list) {
    as.out.puts("\nOptions:");
    for (const char* line : sorted_help_table()) as.out.printf("\t%s.\n", line);
  }
  throw FatalExit{EXIT_USAGE};
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads decimal digits at text[i]; saturates instead of overflowing.
long read_decimal(const char* text, size_t& i) {
  long value = 0;
  while (is_digit(text[i])) {
    if (value < 100000000L) value = value * 10 + (text[i] - '0');
    ++i;
  }
  return value;
}

// -D, -Dname, -Dname=value.
void define_from_option(Assembler& as, const char* rest) {
  std::string name;
  int32_t value = 1;
  if (*rest == '\0') {
    name = "DEBUG";
  } else {
    const char* equals = std::strchr(rest, '=');
    if (equals == nullptr) {
      name = rest;
    } else {
      name.assign(rest, static_cast<size_t>(equals - rest));
      // Read as "%li" would: optional sign, 0x for hexadecimal, 0 for octal.
      const char* number = equals + 1;
      char* end = nullptr;
      errno = 0;
      long parsed = std::strtol(number, &end, 0);
      if (end == number) return;  // not a number: nothing is defined
      value = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(parsed)));
    }
  }
  as.symbols.symbol_define(name, value, SYM_LABEL, 0x50);
}

// Derives a name from a base by replacing its extension; a name that would not
// fit the name buffer is refused rather than silently cut.
std::string derive_name(Assembler& as, const std::string& base, const char* extension) {
  std::string name = base;
  strip_extension(name);
  name += extension;
  if (name.size() > NAME_BUFFER_SIZE - 1) {
    as.out.printf("Can't create output file %s.\n", name.c_str());
    throw FatalExit{EXIT_FILE};
  }
  return name;
}

}  // namespace

int keyword_strcmp(const char* a, const char* b) { return std::strcmp(a, b); }

Options::Options() : keyword_compare(keyword_strcmp) {}

std::vector<const char*> sorted_help_table() {
  std::vector<const char*> table;
  for (const char* line : GENERAL_HELP) table.push_back(line);
  for (const char* line : PROCESSOR_HELP) table.push_back(line);
  for (const char* line : FORMAT_HELP) table.push_back(line);
  if (table.size() > MAX_HELP_LINES) table.resize(MAX_HELP_LINES);
  std::sort(table.begin(), table.end(), help_line_before);
  return table;
}

std::string usage_letters() {
  std::string letters = "-";
  char last = 0;
  std::vector<const char*> table = sorted_help_table();
  for (const char* line : table) {
    if (line[0] != '-' || line[1] == last) continue;
    last = line[1];
    letters += last;
  }
  std::string plus;
  last = 0;
  for (const char* line : table) {
    if (line[0] != '+' || line[1] == last) continue;
    last = line[1];
    plus += last;
  }
  if (!plus.empty()) letters += " +" + plus;
  return letters;
}

void bounded_copy(std::string& destination, const std::string& source, size_t size) {
  destination = source.substr(0, size > 0 ? size - 1 : 0);
}

void bounded_append(std::string& destination, const std::string& source, size_t size) {
  if (size == 0 || destination.size() >= size - 1) return;
  destination += source.substr(0, size - 1 - destination.size());
}

void strip_extension(std::string& name) {
  for (size_t i = name.size(); i-- > 1;) {
    if (name[i] == '/') return;
    if (name[i] == '.') {
      name.resize(i);
      return;
    }
  }
}

void parse_command_line(Assembler& as, int argc, const char* const* argv) {
  Options& o = as.options;
  std::vector<std::string> include_options;

  if (argc < 2) {
    print_title(as);
    print_usage(as, false);
  }
  if (std::strcmp(argv[1], "?") == 0 || std::strcmp(argv[1], "--help") == 0) {
    o.help_requested = true;
    print_title(as);
    print_usage(as, true);
  }

  for (int a = 1; a < argc; ++a) {
    const char* arg = argv[a];
    if (arg[0] == '-') {
      size_t i = 1;
      while (arg[i] != '\0') {
        char letter = arg[i++];
        switch (letter) {
          case '?':
            o.help_requested = true;
            print_title(as);
            print_usage(as, true);
          case 'c':
            o.show_cycles = true;
            o.listing_text_column += 5;
            break;
          case 'D':
          case 'd':
            define_from_option(as, arg + i);
            i = std::strlen(arg);
            break;
          case 'g':
            o.debug_info = true;
            break;
          case 'h':
            if (!is_digit(arg[i])) {
              as.out.puts("Page length missing after -h.");
              break;
            }
            {
              long height = read_decimal(arg, i);
              if (height >= 1 && height <= 19) height = 20;
              o.page_height = static_cast<int>(height);
            }
            break;
          case 'i':
            o.keyword_compare = keyword_strcoll;
            break;
          case 'I':
            include_options.emplace_back(arg + i);
            i = std::strlen(arg);
            break;
          case 'l':
            if (arg[i] == '\0') {
              ++o.list_pass2;
            } else {
              bounded_copy(o.listing_name, arg + i, NAME_BUFFER_SIZE);
              i = std::strlen(arg);
            }
            break;
          case 'm':
            o.show_macro_expansions = true;
            break;
          case 'n':
            o.optimisation_state = 1;
            break;
          case 'o':
            bounded_copy(o.object_name, arg + i, NAME_BUFFER_SIZE);
            i = std::strlen(arg);
            break;
          case 'p':
            ++o.list_pass1;
            break;
          case 'q':
            o.quiet = true;
            break;
          case 's':
            if (is_digit(arg[i])) {
              int d = arg[i++] - '0';
              o.output_format = d <= 2 ? d : 0;
            } else {
              o.output_format = 1;
            }
            break;
          case 't':
            o.symbol_table = true;
            break;
          case 'u':
            o.memory_map = true;
            break;
          case 'v':
            o.verbose = true;
            break;
          case 'w':
            if (is_digit(arg[i])) {
              long width = read_decimal(arg, i);
              o.page_width = static_cast<int>(std::clamp(width, 60L, 200L));
            } else {
              o.page_width = 131;
            }
            break;
          case 'x':
            if (is_digit(arg[i])) {
              int d = arg[i++] - '0';
              o.processor_level = d <= 5 ? d : 0;
            } else {
              o.processor_level = -1;
            }
            break;
          case 'z':
            o.fill_byte = 0x00;
            break;
          default:
            print_title(as);
            as.out.printf("Unknown option -%c.\n", letter);
            print_usage(as, false);
        }
      }
    } else if (arg[0] == '+') {
      for (size_t i = 1; arg[i] != '\0'; ++i) {
        if (arg[i] == 'q') {
          o.suppress_warnings = true;
        } else if (arg[i] == '?') {
          o.help_requested = true;
          print_title(as);
          print_usage(as, true);
        } else {
          print_title(as);
          as.out.printf("Unknown option +%c.\n", arg[i]);
          print_usage(as, false);
        }
      }
    } else {
      if (!o.source_name.empty()) {
        as.out.puts("Only one input file can be specified.");
        throw FatalExit{EXIT_USAGE};
      }
      bounded_copy(o.source_name, arg, NAME_BUFFER_SIZE);
    }
  }

  if (o.source_name.empty()) print_usage(as, false);

  // Include path list: ";" then the -I paths, then INCLUDE.
  if (as.use_include_environment) {
    if (const char* env = std::getenv("INCLUDE")) include_options.emplace_back(env);
  }
  for (const std::string& path : include_options) {
    if (o.include_path_list.size() > 1) bounded_append(o.include_path_list, ";", INCLUDE_PATH_LIST_SIZE);
    bounded_append(o.include_path_list, path, INCLUDE_PATH_LIST_SIZE);
  }

  // Naming a listing file asks for a pass-2 listing unless -p, -l or -t chose.
  if (!o.listing_name.empty() && o.list_pass1 == 0 && o.list_pass2 == 0 && !o.symbol_table) o.list_pass2 = 1;
  o.pass1_listing_level = o.list_pass1 != 0 ? o.list_pass1 : LISTING_OFF;
  o.pass2_listing_level = o.list_pass2 != 0 ? o.list_pass2 : LISTING_OFF;
  o.listing_level = o.pass1_listing_level;

  if (!as.image.image_create(o.fill_byte)) as.diagnostics.report_error(ERROR_NO_MEMORY);

  // The source file, as given or with the first default extension that exists.
  if (!as.sources.is_source_file(o.source_name)) {
    std::string base = o.source_name;
    if (base.empty() || base.back() != '.') bounded_append(base, ".", NAME_BUFFER_SIZE);
    std::string tried;
    bool found = false;
    for (const char* extension : SOURCE_EXTENSIONS) {
      tried = base;
      bounded_append(tried, extension, NAME_BUFFER_SIZE);
      if (as.sources.is_source_file(tried)) {
        found = true;
        break;
      }
    }
    if (!found) {
      as.out.printf("Can't open source file %s.\n", tried.c_str());
      as.diagnostics.note_message("Can't open source file " + tried);
      throw FatalExit{EXIT_FILE};
    }
    o.source_name = tried;
  }

  size_t slash = o.source_name.rfind('/');
  bounded_copy(o.title_name, slash == std::string::npos ? o.source_name : o.source_name.substr(slash + 1),
               static_cast<size_t>(o.page_width - 5));

  if (o.object_name.empty()) o.object_name = derive_name(as, o.source_name, OBJECT_EXTENSIONS[o.output_format]);

  if (o.debug_info) {
    o.debug_name = derive_name(as, o.object_name, ".dbg");
    if (as.keep_debug_file) as.debug.keep_bytes();
    if (!as.write_files) {
      if (as.keep_debug_file) as.debug.create_in_memory();
    } else if (!as.debug.create_debug_file(o.debug_name)) {
      as.out.printf("Can't create output file %s.\n", o.debug_name.c_str());
      throw FatalExit{EXIT_FILE};
    }
  }

  if (o.listing_name.empty()) o.listing_name = derive_name(as, o.source_name, ".lst");
  if (o.listing_name == "-") {
    o.listing_to_stdout = true;
  } else if (!as.write_files) {
    as.listing_file.open_in_memory(as.keep_listing);
  } else {
    if (!as.listing_file.open_file(as.temporary_files, o.listing_name, as.keep_listing)) {
      as.out.printf("Can't create output file %s.\n", o.listing_name.c_str());
      throw FatalExit{EXIT_FILE};
    }
    if (!as.listing_file.set_buffer(8192) && !as.listing_file.set_buffer(512)) {
      as.out.puts("No memory for disk buffer");
      throw FatalExit{EXIT_NO_MEMORY};
    }
  }
}

}  // namespace zorm
