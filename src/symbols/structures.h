#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "assembly/run_records.h"

namespace zorm {

class Assembler;

// Structure definitions: a header line, member lines and "end struct".
class Structures {
 public:
  explicit Structures(Assembler& as) : as_(as) {}

  // Grammar actions of the structure body.
  int struct_begin(int form);
  int struct_member(int type);
  int struct_align(int form);
  int struct_end();
  // The handler of the struct statement, once the body is parsed.
  int finish_struct();

  int32_t offset = 0;
  std::string pending_name;
  SourcePlace pending_place;

 private:
  SourcePlace note_name(std::string_view name);
  void list_member_line(bool with_offset, int32_t shown_offset);
  Assembler& as_;
};

}  // namespace zorm
