#pragma once

#include <cstdint>
#include <string>

#include "assembly/text_stream.h"
#include "codegen/memory_image.h"
#include "listing/listing.h"
#include "zorm/temporary_files.h"

namespace zorm {

// What writing the object reads, and where it goes.
struct ObjectRequest {
  const MemoryImage& image;
  std::string name;       // the object file's name
  int format;             // 0 binary, 1 S-records, 2 Intel hex
  uint32_t limit;         // the addresses below it are written
  int32_t start_address;  // end's operand, -1 for none
  bool zero_fill;         // -z: a record file's start address is 0 when end gave none
  bool verbose;
  TextStream& out;        // standard output: what is written, and a file that cannot be
  Listing* listing;       // a binary's summary goes to the listing file; nullptr with none
  bool write_file;        // false: the object is made in memory only
  TemporaryFiles& temporary_files;  // the file is recorded there while it is written
  std::string* bytes;     // receives the object's bytes; nullptr: they are not kept
};

// Writes the image as a binary, S-record or Intel hex object file. A file
// that cannot be written ends the run (FatalExit) after saying so.
void write_object_file(const ObjectRequest& request);

}  // namespace zorm
