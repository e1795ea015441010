// The diagnostic log of Lumera: one printf-style call that every module uses
// to say what it does, going nowhere, to the debugger output or to "Log.txt"
// on the desktop, as the "Debug" option says.
//
//   LogSetup(level);                       once, right after "Debug" is read
//   Log("SetKeyMatrix error, err=0x%x", e); wide-printf rules (platform::format)
//   DumpLine(bytes, n, 32, "Cfg(Load-Global): ");
//
// The log never fails towards its caller. Records are whole lines: a lock is
// held while one is written, so threads never mix their records.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "lumera/model/services.h"
#include "platform/format.h"

namespace lumera {

class DiagnosticLog {
 public:
  // The debugger sink cuts records to this many UTF-16 units (a 512-unit
  // buffer with its terminator).
  static constexpr std::size_t kDebuggerRecordUnits = 511;
  // At start a log file larger than this is emptied.
  static constexpr std::uint64_t kMaxFileBytes = 512000;

  explicit DiagnosticLog(const Clock& clock = systemClock()) : clock_(&clock) {}
  DiagnosticLog(const DiagnosticLog&) = delete;
  DiagnosticLog& operator=(const DiagnosticLog&) = delete;

  // Level 0: silent; 2: the file "Log.txt" in the desktop folder; any other
  // value: the debugger output. A file that cannot be opened falls back to
  // the debugger output after saying "Open Log failed" there.
  void setup(int level);
  // The same with an explicit log file (the program uses the desktop one).
  void setup(int level, std::string filePath);

  int level() const { return level_.load(std::memory_order_relaxed); }
  bool writesFile() const;
  std::string filePath() const;

  // One record, already formatted.
  void write(std::u16string_view message);

  template <typename Fmt, typename... A>
  void log(const Fmt& fmt, const A&... args) {
    if (level() == 0) return;
    write(platform::formatU16(fmt, args...));
  }

  // Hex dump, "%02x " per byte, a record every perLine bytes (0: only when
  // the 2048-unit line buffer is nearly full), each line led by "prefix ".
  void dumpLine(const void* bytes, std::size_t length, std::size_t perLine, std::string_view prefix);
  // As dumpLine, but every group-th byte of a line is followed by two spaces,
  // and a line is cut at 511 units (the 512-unit line buffer).
  void dumpGrouped(std::string_view prefix, const void* bytes, std::size_t length, std::size_t perLine,
                   std::size_t group);

 private:
  enum class Sink { None, Debugger, File };
  void writeFileRecord(std::u16string_view message);

  const Clock* clock_;
  std::atomic<int> level_{0};
  mutable std::mutex mutex_;  // guards sink_, path_ and every record written
  Sink sink_ = Sink::None;
  std::string path_;
};

// The log of the process.
DiagnosticLog& theLog();

void LogSetup(int level);

template <typename Fmt, typename... A>
void Log(const Fmt& fmt, const A&... args) {
  theLog().log(fmt, args...);
}

inline void DumpLine(const void* bytes, std::size_t length, std::size_t perLine, std::string_view prefix = {}) {
  theLog().dumpLine(bytes, length, perLine, prefix);
}

inline void DumpGrouped(std::string_view prefix, const void* bytes, std::size_t length, std::size_t perLine,
                        std::size_t group) {
  theLog().dumpGrouped(prefix, bytes, length, perLine, group);
}

}  // namespace lumera
