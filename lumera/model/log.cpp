#include "lumera/model/log.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lumera {

namespace {

constexpr std::size_t kDumpLineUnits = 2048;   // DumpLine's line buffer
constexpr std::size_t kGroupedLineUnits = 512;  // DumpGrouped's line buffer

const char16_t kHex[] = u"0123456789abcdef";

void appendHex(std::u16string& line, std::uint8_t b) {
  line.push_back(kHex[b >> 4]);
  line.push_back(kHex[b & 15]);
}

std::u16string prefixPart(std::string_view prefix) {
  if (prefix.empty()) return {};
  std::u16string p = platform::toUtf16(prefix);
  p.push_back(u' ');
  return p;
}

}  // namespace

void DiagnosticLog::setup(int level) { setup(level, platform::joinPath(platform::desktopFolder(), "Log.txt")); }

void DiagnosticLog::setup(int level, std::string filePath) {
  std::lock_guard<std::mutex> lock(mutex_);
  level_.store(level, std::memory_order_relaxed);
  path_ = std::move(filePath);
  sink_ = level == 0 ? Sink::None : Sink::Debugger;
  if (level != 2) return;

  std::FILE* f = std::fopen(path_.c_str(), "ab");
  if (!f) {
    platform::debugOutput(std::string_view("Open Log failed"));
    return;
  }
  struct stat st{};
  const bool tooLarge = ::fstat(fileno(f), &st) == 0 && static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes;
  std::fclose(f);
  if (tooLarge) {
    if (std::FILE* w = std::fopen(path_.c_str(), "wb")) std::fclose(w);
  }
  sink_ = Sink::File;
}

bool DiagnosticLog::writesFile() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sink_ == Sink::File;
}

std::string DiagnosticLog::filePath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return path_;
}

void DiagnosticLog::write(std::u16string_view message) {
  std::lock_guard<std::mutex> lock(mutex_);
  switch (sink_) {
    case Sink::None: return;
    case Sink::Debugger:
      platform::debugOutput(message.substr(0, kDebuggerRecordUnits));
      return;
    case Sink::File: writeFileRecord(message); return;
  }
}

// Called with mutex_ held: one open, write and close per record.
void DiagnosticLog::writeFileRecord(std::u16string_view message) {
  std::FILE* f = std::fopen(path_.c_str(), "ab");
  if (!f) {
    platform::debugOutput(std::string_view("Open Log failed"));
    return;
  }
  const platform::LocalTime t = clock_->now();
  std::string record = platform::format("\n%02u:%02u.%03u   ", static_cast<unsigned>(t.minute),
                                        static_cast<unsigned>(t.second), static_cast<unsigned>(t.millisecond));
  record += platform::toUtf8(message);
  std::fwrite(record.data(), 1, record.size(), f);
  std::fclose(f);
}

void DiagnosticLog::dumpLine(const void* data, std::size_t length, std::size_t perLine, std::string_view prefix) {
  if (level() == 0 || !data || length == 0) return;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const std::u16string lead = prefixPart(prefix);
  std::u16string line = lead;
  std::size_t inLine = 0;
  for (std::size_t i = 0; i < length; ++i) {
    // Break early rather than overflow the line buffer, whatever perLine is.
    if (inLine > 0 && line.size() + 3 >= kDumpLineUnits) {
      write(line);
      line = lead;
      inLine = 0;
    }
    appendHex(line, bytes[i]);
    line.push_back(u' ');
    ++inLine;
    if (perLine != 0 && inLine == perLine) {
      write(line);
      line = i + 1 < length ? lead : std::u16string();
      inLine = 0;
    }
  }
  if (inLine > 0) write(line);
}

void DiagnosticLog::dumpGrouped(std::string_view prefix, const void* data, std::size_t length, std::size_t perLine,
                                std::size_t group) {
  if (level() == 0 || !data || length == 0) return;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  const std::u16string lead = prefixPart(prefix);
  auto flush = [&](std::u16string& line) {
    if (line.size() > kGroupedLineUnits - 1) line.resize(kGroupedLineUnits - 1);
    write(line);
  };
  std::u16string line = lead;
  std::size_t inLine = 0;
  for (std::size_t i = 0; i < length; ++i) {
    ++inLine;
    if (line.size() < kGroupedLineUnits) {  // past the buffer the rest of the line is cut anyway
      appendHex(line, bytes[i]);
      line += (group != 0 && inLine % group == 0) ? u"  " : u" ";
    }
    if (perLine != 0 && inLine == perLine) {
      flush(line);
      line = i + 1 < length ? lead : std::u16string();
      inLine = 0;
    }
  }
  if (inLine > 0) flush(line);
}

DiagnosticLog& theLog() {
  static DiagnosticLog instance;
  return instance;
}

void LogSetup(int level) { theLog().setup(level); }

}  // namespace lumera
