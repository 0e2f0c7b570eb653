#include "output/object_writer.h"

#include <cstdio>
#include <string>

#include "driver/assembler.h"
#include "driver/fatal_exit.h"
#include "output/output_file.h"

namespace zorm {

namespace {

constexpr uint32_t RECORD_BYTES = 32;  // most data bytes in one record; records never cross a 32-byte boundary

[[noreturn]] void cannot_create(Assembler& as, const std::string& name) {
  as.out.printf("Can't create output file %s.\n", name.c_str());
  throw FatalExit{EXIT_FILE};
}

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
    OutputFile output;
    if (!output.open(as.temporary_files, name, false)) cannot_create(as, name);
    if (verbose) as.out.printf("Writing %s file \"%s\".\n", FORMAT_NAMES[0], name.c_str());
    std::string bytes;
    bytes.reserve(last - first + 1);
    for (uint32_t a = first; a <= last; ++a) bytes.push_back(static_cast<char>(as.image.image_read(a) & 0xFF));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), output.file()) == bytes.size();
    if (!output.commit(!written)) cannot_create(as, name);
  }

  if (verbose) {
    report(as.out);
    if (start != -1) print_start_address(as.out, start);
  }
}

// S-records (format 1) and Intel hex (format 2).
void write_records(Assembler& as, const std::string& name, int format, uint32_t limit) {
  const bool s_records = format == 1;
  OutputFile output;
  if (!output.open(as.temporary_files, name, true)) cannot_create(as, name);
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
  if (!output.commit(stream.failed())) cannot_create(as, name);

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
