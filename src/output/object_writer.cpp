#include "output/object_writer.h"

#include <cstdio>
#include <string>

#include "assembly/fatal_exit.h"
#include "assembly/options.h"
#include "output/output_file.h"

namespace zorm {

namespace {

constexpr uint32_t RECORD_BYTES = 32;  // most data bytes in one record; records never cross a 32-byte boundary

[[noreturn]] void cannot_create(TextStream& out, const std::string& name) {
  out.printf("Can't create output file %s.\n", name.c_str());
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

// Where a finished object goes: the file (with write_file), the request's
// bytes, or both. The file is opened before anything is said about it, as a
// file that cannot be made ends the run; it takes the place of an earlier
// object only once it is complete (see OutputFile).
class ObjectSink {
 public:
  ObjectSink(const ObjectRequest& request, bool text) : request_(request) {
    if (request.write_file && !file_.open(request.temporary_files, request.name, text)) {
      cannot_create(request.out, request.name);
    }
  }

  void finish(std::string bytes) {
    if (request_.write_file) {
      const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file_.file()) == bytes.size();
      if (!file_.commit(!written)) cannot_create(request_.out, request_.name);
    }
    if (request_.bytes != nullptr) *request_.bytes = std::move(bytes);
  }

 private:
  const ObjectRequest& request_;
  OutputFile file_;
};

void write_binary(const ObjectRequest& request) {
  const MemoryImage& image = request.image;
  const uint32_t limit = request.limit;
  const int32_t start = request.start_address;
  TextStream& out = request.out;
  if (request.verbose) {
    out.puts("Checking binary file boundaries.");
    out.flush();
  }
  const uint32_t first = image.next_used(0, limit);
  const bool any = first < limit;
  const uint32_t last = any ? image.last_used(limit) : first;
  auto report = [&](TextStream& stream) {
    if (!any) {
      stream.printf("No code generated.\n");
    } else {
      stream.printf("Wrote binary from address $%04x through $%04x.\nTotal size %ld bytes.\n", first, last,
                    static_cast<long>(last - first + 1));
    }
  };

  if (request.listing != nullptr) {
    TextStream& listing = request.listing->out();
    report(listing);
    if (start != -1) {
      print_start_address(listing, start);
      request.listing->listing_advance_line();
    }
    listing.put('\f');
  }

  if (any) {
    ObjectSink sink(request, false);
    if (request.verbose) out.printf("Writing %s file \"%s\".\n", FORMAT_NAMES[0], request.name.c_str());
    sink.finish(image.bytes_between(first, last));
  }

  if (request.verbose) {
    report(out);
    if (start != -1) print_start_address(out, start);
  }
}

// S-records (format 1) and Intel hex (format 2), made as text with line feeds
// and written to a text stream.
void write_records(const ObjectRequest& request) {
  const MemoryImage& image = request.image;
  const uint32_t limit = request.limit;
  const bool s_records = request.format == 1;
  ObjectSink sink(request, true);
  TextStream stream;
  if (request.verbose) {
    request.out.printf("Writing %s file \"%s\".\n", FORMAT_NAMES[request.format], request.name.c_str());
  }

  unsigned record_count = 0;
  for (DataRecord record = next_record(image, 0, limit); record.length != 0;
       record = next_record(image, record.address + record.length, limit)) {
    unsigned sum = (record.address >> 8) + (record.address & 0xFF);
    if (s_records) {
      sum += record.length + 3;
      stream.printf("S1%02X%04X", record.length + 3, record.address);
    } else {
      sum += record.length;
      stream.printf(":%02X%04X00", record.length, record.address);
    }
    for (uint32_t i = 0; i < record.length; ++i) {
      const unsigned byte = image.image_read(record.address + i) & 0xFF;
      sum += byte;
      stream.printf("%02X", byte);
    }
    stream.printf("%02X\n", s_records ? ~sum & 0xFF : -sum & 0xFF);
    ++record_count;
  }

  int32_t start = request.start_address;
  if (start == -1 && request.zero_fill) start = 0;
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
  sink.finish(stream.take_text());

  if (request.verbose && start != -1) print_start_address(request.out, start);
}

}  // namespace

void write_object_file(const ObjectRequest& request) {
  ObjectRequest bounded = request;
  if (bounded.limit > IMAGE_SIZE) bounded.limit = IMAGE_SIZE;
  if (bounded.format == 1 || bounded.format == 2) {
    write_records(bounded);
  } else {
    write_binary(bounded);
  }
}

}  // namespace zorm
