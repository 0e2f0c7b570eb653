#pragma once
// The output files of a run that are still being written, for a program that
// handles signals: on a signal that ends the process it removes them, so that
// no half-written file is left behind.

#include <csignal>
#include <cstddef>
#include <string>

namespace zorm {

// The temporary files of one run that have not reached their names yet: the
// object, the listing and the debug file while they are written. A program
// that dies of a signal removes them first with remove_all(), which a signal
// handler may call: the paths are kept in fixed buffers, and a slot is marked
// used only once its path is complete.
class TemporaryFiles {
 public:
  static constexpr int SLOTS = 4;                  // the object, the listing, the debug file, one spare
  static constexpr size_t PATH_SIZE = 4096 + 64;   // the longest path and the temporary suffix

  // Records a temporary file; false when the path does not fit or no slot is
  // free (the file is then not removed on a signal).
  bool add(const std::string& path);
  // Forgets a file that was renamed into place or removed.
  void forget(const std::string& path);
  // Removes every recorded file. Safe in a signal handler: it only unlinks.
  void remove_all() const;

 private:
  struct Slot {
    volatile std::sig_atomic_t used = 0;
    char path[PATH_SIZE] = {};
  };
  Slot slots_[SLOTS];
};

}  // namespace zorm
