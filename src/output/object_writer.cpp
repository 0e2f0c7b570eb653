#include "output/object_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/assembler.h"
#include "driver/fatal_exit.h"

namespace zorm {

namespace {

constexpr uint32_t RECORD_BYTES = 32;  // most data bytes in one record; records never cross a 32-byte boundary

[[noreturn]] void cannot_create(Assembler& as, const std::string& name) {
  as.out.printf("Can't create output file %s.\n", name.c_str());
  throw FatalExit{EXIT_FILE};
}

// Where a symbolic link leads, followed even when its target does not exist
// yet; the name itself when it is no link.
std::string link_target(const std::string& name) {
#ifndef _WIN32
  std::string path = name;
  for (int depth = 0; depth < 16; ++depth) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0) return path;
    const std::string next(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = next[0] == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
  }
  return path;
#else
  return name;
#endif
}

// The object file being written. A regular file (or a name that does not exist
// yet) is written as a temporary file in the same folder and renamed into place
// once it is complete, so a failed or interrupted run never leaves a truncated
// object behind; where no temporary file can be made, or the existing object
// may not be written, the run fails without touching it. A name that is some
// other kind of file (a device, a pipe) cannot be replaced by a rename and is
// written directly, never removed.
class ObjectOutput {
 public:
  ObjectOutput(Assembler& as, const std::string& name, bool text) : as_(as), name_(name) {
    const char* mode = text ? "w" : "wb";
    // A symbolic link keeps pointing at the file it names.
    const std::string target = link_target(name);
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) cannot_create(as, name);
      if (!S_ISREG(st.st_mode)) {
        file_ = std::fopen(name.c_str(), mode);
        if (file_ == nullptr) cannot_create(as, name);
        return;
      }
      if (::access(target.c_str(), W_OK) != 0) cannot_create(as, name);
    }
    // The temporary file is created by fopen, in the object's own mode, so
    // it gets the usual permissions and, for the record formats, the
    // platform's text line ends.
    FILE* temporary_file = nullptr;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && temporary_file == nullptr; ++attempt) {
      temporary = target + ".zorm-" + std::to_string(static_cast<long>(::getpid())) + "-" + std::to_string(attempt);
      struct stat existing;
      if (::stat(temporary.c_str(), &existing) == 0) continue;
      temporary_file = std::fopen(temporary.c_str(), mode);
      if (temporary_file == nullptr) break;
    }
    if (temporary_file == nullptr) cannot_create(as, name);
    remove_on_failure_ = temporary;
    rename_to_ = target;
    file_ = temporary_file;
  }

  ~ObjectOutput() {
    // Only reached without commit() when the run is ending on an exception.
    if (file_ != nullptr) std::fclose(file_);
    if (!remove_on_failure_.empty()) std::remove(remove_on_failure_.c_str());
  }

  ObjectOutput(const ObjectOutput&) = delete;
  ObjectOutput& operator=(const ObjectOutput&) = delete;

  FILE* file() const { return file_; }
  void note_failure() { failed_ = true; }

  // Completes the file; any failure so far removes it and ends the run.
  void commit() {
    if (std::ferror(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (failed_) fail();
#ifdef _WIN32
    // rename() does not replace an existing file here.
    if (!rename_to_.empty()) std::remove(rename_to_.c_str());
#endif
    if (!rename_to_.empty() && ::rename(remove_on_failure_.c_str(), rename_to_.c_str()) != 0) fail();
    remove_on_failure_.clear();
  }

 private:
  [[noreturn]] void fail() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!remove_on_failure_.empty()) std::remove(remove_on_failure_.c_str());
    remove_on_failure_.clear();
    cannot_create(as_, name_);
  }

  Assembler& as_;
  std::string name_;
  std::string remove_on_failure_;  // the temporary file
  std::string rename_to_;          // where the temporary file goes when complete
  FILE* file_ = nullptr;
  bool failed_ = false;
};

// One run of used addresses that goes into a single data record.
struct DataRecord {
  uint32_t address;
  uint32_t length;
};

// Finds the next record at or after address; length 0 when none is left.
DataRecord next_record(const MemoryImage& image, uint32_t address, uint32_t limit) {
  address = image.next_used(address, limit);
  if (address >= limit) return {limit, 0};
  uint32_t end = address + 1;
  while (end < limit && end % RECORD_BYTES != 0 && image.used(end) && end - address < RECORD_BYTES) ++end;
  return {address, end - address};
}

void print_start_address(TextStream& stream, int32_t start) {
  const unsigned address = static_cast<unsigned>(start) & 0xFFFF;
  stream.printf("Program start address is at $%04x (%u).\n", address, address);
}

void write_binary(Assembler& as, const std::string& name, uint32_t limit) {
  const bool verbose = as.options.verbose;
  const int32_t start = as.conditionals.start_address;
  if (verbose) {
    as.out.puts("Checking binary file boundaries.");
    as.out.flush();
  }
  const uint32_t first = as.image.next_used(0, limit);
  uint32_t last = first;
  for (uint32_t a = first; a < limit; a = as.image.next_used(a + 1, limit)) last = a;
  const bool any = first < limit;
  auto report = [&](TextStream& stream) {
    if (!any) {
      stream.printf("No code generated.\n");
    } else {
      stream.printf("Wrote binary from address $%04x through $%04x.\nTotal size %ld bytes.\n", first, last,
                    static_cast<long>(last - first + 1));
    }
  };

  if (as.listing_is_file()) {
    TextStream& listing = as.listing_out();
    report(listing);
    if (start != -1) {
      print_start_address(listing, start);
      as.listing.listing_advance_line();
    }
    listing.put('\f');
  }

  if (any) {
    ObjectOutput output(as, name, false);
    if (verbose) as.out.printf("Writing %s file \"%s\".\n", FORMAT_NAMES[0], name.c_str());
    std::string bytes;
    bytes.reserve(last - first + 1);
    for (uint32_t a = first; a <= last; ++a) bytes.push_back(static_cast<char>(as.image.image_read(a) & 0xFF));
    if (std::fwrite(bytes.data(), 1, bytes.size(), output.file()) != bytes.size()) output.note_failure();
    output.commit();
  }

  if (verbose) {
    report(as.out);
    if (start != -1) print_start_address(as.out, start);
  }
}

// S-records (format 1) and Intel hex (format 2).
void write_records(Assembler& as, const std::string& name, int format, uint32_t limit) {
  const bool s_records = format == 1;
  ObjectOutput output(as, name, true);
  TextStream stream(output.file());
  if (as.options.verbose) as.out.printf("Writing %s file \"%s\".\n", FORMAT_NAMES[format], name.c_str());

  unsigned record_count = 0;
  for (DataRecord record = next_record(as.image, 0, limit); record.length != 0;
       record = next_record(as.image, record.address + record.length, limit)) {
    unsigned sum = (record.address >> 8) + (record.address & 0xFF);
    if (s_records) {
      sum += record.length + 3;
      stream.printf("S1%02X%04X", record.length + 3, record.address);
    } else {
      sum += record.length;
      stream.printf(":%02X%04X00", record.length, record.address);
    }
    for (uint32_t i = 0; i < record.length; ++i) {
      const unsigned byte = as.image.image_read(record.address + i) & 0xFF;
      sum += byte;
      stream.printf("%02X", byte);
    }
    stream.printf("%02X\n", s_records ? ~sum & 0xFF : -sum & 0xFF);
    ++record_count;
  }

  int32_t start = as.conditionals.start_address;
  if (start == -1 && as.options.fill_byte == 0x00) start = 0;
  const unsigned start16 = static_cast<unsigned>(start) & 0xFFFF;
  const unsigned start_sum = (start16 >> 8) + (start16 & 0xFF);
  if (s_records) {
    const unsigned count = record_count & 0xFFFF;
    stream.printf("S503%04X%02X\n", count, ~(3 + (count >> 8) + (count & 0xFF)) & 0xFF);
    if (start != -1) stream.printf("S903%04X%02X\n", start16, ~(3 + start_sum) & 0xFF);
  } else {
    const unsigned address = start == -1 ? 0 : start16;
    const unsigned sum = (address >> 8) + (address & 0xFF) + 1;
    stream.printf(":00%04X01%02X\n", address, -sum & 0xFF);
  }
  stream.close();  // detaches from the file, which commit() closes
  if (stream.failed()) output.note_failure();
  output.commit();

  if (as.options.verbose && start != -1) print_start_address(as.out, start);
}

}  // namespace

void write_object_file(Assembler& as, const std::string& name, int format, uint32_t limit) {
  if (limit > IMAGE_SIZE) limit = IMAGE_SIZE;
  if (format == 1 || format == 2) {
    write_records(as, name, format, limit);
  } else {
    write_binary(as, name, limit);
  }
}

}  // namespace zorm
