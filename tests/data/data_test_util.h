// Helpers for the data tests: number lists the way cfg.ini writes them, the
// key layout lines, and a reader for ICO/CUR containers.
#pragma once

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/inifile.h"

namespace datatest {

// "1,2,3" in the given base; nothing when a token is not a whole number.
std::optional<std::vector<long>> numberList(const platform::IniFile& ini, const char* section,
                                            const std::string& key, int base = 10);
// The same with one base per position (the last one repeats).
std::optional<std::vector<long>> numberList(const platform::IniFile& ini, const char* section,
                                            const std::string& key, const std::vector<int>& bases);

// One "K<n>" line of a layout section: x, y, w, h, type, code, extra, last
// (matrix position in cfg.ini, LED index in Led.ini).
struct LayoutLine {
  int x, y, w, h;
  long type, code, extra;
  int last;
};
// Reads K1, K2, ... up to the first missing line. Lines that are not
// 8 numbers are returned with type -1 so the tests can report them.
std::vector<LayoutLine> layoutLines(const platform::IniFile& ini, const char* section);

// An ICO (type 1) or CUR (type 2) file, parsed by hand so the test does not
// depend on an image plug-in being installed.
struct IcoEntry {
  int width = 0, height = 0;
  int field1 = 0, field2 = 0;  // planes and bit count, or the cursor's hot spot
  QImage image;                // decoded picture (PNG or 32-bit DIB with AND mask)
};
struct IcoFile {
  int type = 0;
  std::vector<IcoEntry> entries;
};
// False with a reason when the container or one of its pictures is malformed.
bool parseIco(const QByteArray& bytes, IcoFile& out, std::string& why);

}  // namespace datatest
