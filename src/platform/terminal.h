// The controlling terminal as a byte device for the terminal presenter: raw mode, reads with a
// time limit, writes, size, resize notice, and the promise that the terminal is put back as it
// was on every way out (normal end, exit(), a fatal signal).
#pragma once

#include <string>
#include <string_view>

namespace pz::platform {

class Terminal {
 public:
  // Both standard input and standard output are terminals.
  static bool available();

  // Raw mode; `enterSequence` is written now, `leaveSequence` whenever the terminal is put back
  // (also from a crash signal handler, so it is kept in a fixed buffer).
  bool open(std::string_view enterSequence, std::string_view leaveSequence);
  void close();
  ~Terminal() { close(); }

  // Reads what is there, waiting at most timeoutMs (-1: without limit) for the first byte.
  // Returns false on time-out or when a signal (a resize) interrupted the wait.
  bool read(std::string& out, int timeoutMs);
  void write(std::string_view bytes);
  void size(int& cols, int& rows) const;
  // True once after the terminal changed its size.
  bool resized();

 private:
  bool open_ = false;
};

}  // namespace pz::platform
