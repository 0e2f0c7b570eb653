#pragma once

#include <cstdio>
#include <string>

namespace zorm {

class TemporaryFiles;

// An output file of the run (the object, the listing, the debug file) that
// takes the place of an earlier file of its name only once it is complete.
// - A regular file, or a name not yet taken, is written as a temporary file
//   beside it and renamed into place at the end.
// - A device, a pipe or any other file that is not a regular file is written
//   directly: a rename could not replace it.
// - An existing file that may be written, in a folder where no temporary file
//   can be made, is written in place; its earlier content is kept to be put
//   back should the new one not be completed.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens the file for writing as text or in binary; false, with nothing
  // changed, when it cannot be created. The temporary file is recorded in
  // temporary_files until it is renamed or removed.
  bool open(TemporaryFiles& temporary_files, const std::string& name, bool text);
  FILE* file() const { return file_; }
  bool is_open() const { return file_ != nullptr; }
  // Closes the file and puts it in its place; failed tells that a write went
  // wrong already. False when the file is not complete: then the earlier file
  // keeps its place.
  bool commit(bool failed = false);
  // Closes an incomplete file without letting it replace the earlier one.
  void discard();

 private:
  enum class Route { DIRECT, TEMPORARY, IN_PLACE };

  // earlier_permissions: those of the file it replaces, or -1 for none.
  bool open_temporary(const char* mode, int earlier_permissions);
  bool open_in_place(const char* mode, long long earlier_size);
  // After the file was closed incomplete: removes the temporary file or puts
  // the earlier content back.
  void give_up();

  TemporaryFiles* temporary_files_ = nullptr;
  FILE* file_ = nullptr;
  Route route_ = Route::DIRECT;
  std::string target_;     // where the file goes (a link followed to its file)
  std::string temporary_;  // the temporary file being written
  std::string earlier_;    // written in place: the content to put back
  bool restorable_ = false;
};

}  // namespace zorm
