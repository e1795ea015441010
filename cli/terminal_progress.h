// The progress dialog of an apply, as a line in the terminal: a bar redrawn
// in place on a terminal, one line per value otherwise (logs, tests).
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace cli {

class TerminalProgress {
 public:
  explicit TerminalProgress(std::string caption)
      : caption_(std::move(caption)), inPlace_(::isatty(STDOUT_FILENO) != 0) {}
  ~TerminalProgress() { close(); }

  // A value outside 0..100 shows an empty bar, as the dialog does.
  void position(unsigned percent) {
    if (percent > 100) percent = 0;
    if (inPlace_) {
      constexpr unsigned kCells = 40;
      const unsigned filled = percent * kCells / 100;
      std::printf("\r%s [%s%s] %3u%%", caption_.c_str(), std::string(filled, '#').c_str(),
                  std::string(kCells - filled, ' ').c_str(), percent);
      open_ = true;
    } else {
      std::printf("%s %3u%%\n", caption_.c_str(), percent);
    }
    std::fflush(stdout);
  }
  // Ends the in-place line.
  void close() {
    if (open_) std::printf("\n");
    open_ = false;
  }

 private:
  std::string caption_;
  bool inPlace_;
  bool open_ = false;
};

}  // namespace cli
