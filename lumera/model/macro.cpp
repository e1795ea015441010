#include "lumera/model/macro.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "lumera/model/bytes.h"
#include "lumera/model/config.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/log.h"
#include "lumera/model/macro_library.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lumera {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kNameOffset = 20, kBufferIdOffset = 100, kLoopOffset = 104, kEventsOffset = 106;
constexpr int kMaxFolderDepth = 20;

std::uint8_t rotateRight2(std::uint8_t b) { return static_cast<std::uint8_t>((b >> 2) | (b << 6)); }
std::uint8_t rotateLeft2(std::uint8_t b) { return static_cast<std::uint8_t>((b << 2) | (b >> 6)); }

void walkLibrary(const fs::path& folder, int depth, bool foldersOn, std::int32_t mouseMask, MacroList& out,
                 std::size_t& added) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  // Name order without regard to case, as the library's users see it listed.
  std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    return platform::toLowerAscii(a.path().filename().string()) < platform::toLowerAscii(b.path().filename().string());
  });
  for (const fs::directory_entry& e : entries) {
    if (out.size() >= kMaxMacros) return;
    const std::string name = e.path().filename().string();
    // Folders that are links are not followed, so a link loop cannot trap the walk.
    if (e.is_directory(ec) && !e.is_symlink(ec)) {
      if (foldersOn && depth < kMaxFolderDepth && name[0] != '.' && name[0] != '$')
        walkLibrary(e.path(), depth + 1, foldersOn, mouseMask, out, added);
      continue;
    }
    if (!e.is_regular_file(ec) || platform::toUtf16(name).size() <= 4) continue;  // counted in characters
    MacroRecord m;
    if (readMacroFile(e.path().string(), mouseMask, m) != MacroFileStatus::Ok) continue;
    if (findMacro(out, m.id)) {
      // Keys name macros by id: two files with one id (a file copied by
      // hand) would play the wrong macro. The later one gets a free id, kept.
      const std::int32_t fresh = freeMacroId(out, m.id);
      Log("ReadMacroLibrary: macro id 0x%x of %s is taken, now 0x%x", m.id, e.path().string(), fresh);
      m.id = fresh;
      writeMacroFile(e.path().string(), m);
    }
    out.push_back(m);
    ++added;
  }
}

}  // namespace

void writeMacroRecord(std::uint8_t* out, const MacroRecord& m) {
  putU32(out + 0, m.dwMagicNumber);
  putI32(out + 4, m.id);
  putU32(out + 8, m.changeBits);
  putU32(out + 12, m.autoDelay);
  putU32(out + 16, m.repeatMode);
  putText16(out + kNameOffset, m.name.data(), m.name.size());
  putU32(out + kBufferIdOffset, m.Macro_Buffer_ID);
  putU16(out + kLoopOffset, m.loopCount);
  for (std::size_t i = 0; i < kMacroEventSlots; ++i) {
    std::uint8_t* e = out + kEventsOffset + i * kMacroEventSize;
    putU16(e, m.events[i].keyCode);
    putU16(e + 2, m.events[i].down);
    putU32(e + 4, m.events[i].delay);
  }
}

MacroRecord readMacroRecord(const std::uint8_t* in) {
  MacroRecord m;
  m.dwMagicNumber = getU32(in + 0);
  m.id = getI32(in + 4);
  m.changeBits = getU32(in + 8);
  m.autoDelay = getU32(in + 12);
  m.repeatMode = getU32(in + 16);
  getText16(in + kNameOffset, m.name.data(), m.name.size());
  m.Macro_Buffer_ID = getU32(in + kBufferIdOffset);
  m.loopCount = getU16(in + kLoopOffset);
  for (std::size_t i = 0; i < kMacroEventSlots; ++i) {
    const std::uint8_t* e = in + kEventsOffset + i * kMacroEventSize;
    m.events[i] = {getU16(e), getU16(e + 2), getU32(e + 4)};
  }
  return m;
}

std::u16string macroName(const MacroRecord& m) {
  return std::u16string(m.name.data(), platform::boundedLength(m.name.data(), m.name.size()));
}

void setMacroName(MacroRecord& m, std::u16string_view name) {
  m.name.fill(0);
  std::copy_n(name.begin(), std::min(name.size(), m.name.size() - 1), m.name.begin());
}

std::size_t macroEventCount(const MacroRecord& m) {
  std::size_t n = 0;
  while (n < m.events.size() && m.events[n].keyCode != 0) ++n;
  return n;
}

std::int32_t MakeMacroId(const Clock& clock) {
  clock.sleepMs(20);
  const platform::LocalTime t = clock.now();
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  return static_cast<std::int32_t>(((u(t.hour) & 15) << 20) + (u(t.minute) << 14) + (u(t.second) << 8) +
                                   (u(t.millisecond) & 255));
}

MacroRecord NewMacro(std::u16string_view name, const Clock& clock) {
  MacroRecord m;
  m.id = MakeMacroId(clock);
  setMacroName(m, name);
  return m;
}

const MacroRecord* findMacro(const MacroList& macros, std::int32_t id) {
  for (const MacroRecord& m : macros)
    if (m.id == id) return &m;
  return nullptr;
}

std::uint8_t macroUsage(std::uint32_t code) {
  switch (code) {
    case 0x10:
    case 0xA0:
    case 0xA1: return 0xE1;
    case 0x11:
    case 0xA2:
    case 0xA3: return 0xE0;
    case 0x12:
    case 0xA4:
    case 0xA5: return 0xE2;
    case 0x5B:
    case 0x5C: return 0xE3;
    case kMouseLeft:
    case kMouseRight:
    case kMouseMiddle: return static_cast<std::uint8_t>(code);
    default: return usageOfKey(code);
  }
}

int StMacro_To_HdMacro(const MacroRecord* macro, std::uint8_t* out) { return StMacro_To_HdMacro(macro, out, HwParam{}); }

int StMacro_To_HdMacro(const MacroRecord* macro, std::uint8_t* out, const HwParam& hw) {
  if (!macro || !out) return 0;
  const std::size_t size = static_cast<std::size_t>(std::clamp(hw.nMacroBufferSize, 10, 256));
  std::uint8_t work[512] = {};
  const std::uint16_t loops = macro->loopCount == 0 ? 1 : macro->loopCount;
  work[0] = static_cast<std::uint8_t>(loops >> 8);
  work[1] = static_cast<std::uint8_t>(loops);
  std::size_t o = 2;
  for (const MacroEvent& e : macro->events) {
    if (e.keyCode == 0) break;
    const bool shortForm = e.delay <= 127;
    if (o >= size - (shortForm ? 3 : 7)) break;  // this event and all after it do not fit
    const std::uint8_t u = macroUsage(e.keyCode);
    if (u == 0) {
      Log("StMacro_To_HdMacro: get wrong hid");
      continue;
    }
    const std::uint8_t flag = e.down ? 0x00 : 0x80;
    if (shortForm) {
      work[o++] = static_cast<std::uint8_t>(flag + std::max<std::uint32_t>(e.delay, 3));
      work[o++] = u;
    } else {
      const std::uint32_t q = e.delay / 100, r = e.delay % 100;
      work[o++] = static_cast<std::uint8_t>(flag + (std::max<std::uint32_t>(r, 3) & 0x7F));
      work[o++] = u;
      work[o++] = 0x00;
      work[o++] = 0x03;
      work[o++] = static_cast<std::uint8_t>(q >> 8);
      work[o++] = static_cast<std::uint8_t>(q);
    }
  }
  std::copy_n(work, o + 2, out);
  return static_cast<int>(o + 2);
}

bool macroEventsAllowed(const MacroRecord& m, std::int32_t mouseMask) {
  for (std::size_t i = 0; i < macroEventCount(m); ++i) {
    const std::uint16_t code = m.events[i].keyCode;
    if (code >= kMouseLeft && code <= kMouseScrollDown &&
        !(static_cast<std::uint32_t>(mouseMask) & (1u << (code - kMouseLeft))))
      return false;
  }
  return true;
}

std::string encodeMacroFile(const MacroRecord& m) {
  MacroRecord stored = m;
  stored.changeBits = 0;
  std::uint8_t image[kMacroRecordSize];
  writeMacroRecord(image, stored);
  std::string bytes(kMacroRecordSize, '\0');
  for (std::size_t i = 0; i < kMacroRecordSize; ++i) bytes[i] = static_cast<char>(rotateRight2(image[i]));
  return bytes;
}

MacroFileStatus decodeMacroFile(std::string_view bytes, std::int32_t mouseMask, MacroRecord& out) {
  if (bytes.size() != kMacroRecordSize) return MacroFileStatus::WrongSize;
  std::uint8_t image[kMacroRecordSize];
  for (std::size_t i = 0; i < kMacroRecordSize; ++i) image[i] = rotateLeft2(static_cast<std::uint8_t>(bytes[i]));
  MacroRecord m = readMacroRecord(image);
  if (m.dwMagicNumber != kMacroMagic) return MacroFileStatus::WrongMagic;
  if (!macroEventsAllowed(m, mouseMask)) return MacroFileStatus::UnsupportedKey;
  out = m;
  return MacroFileStatus::Ok;
}

MacroFileStatus readMacroFile(const std::string& path, std::int32_t mouseMask, MacroRecord& out) {
  std::string bytes;
  // One byte more than a record tells a longer file without reading it all.
  if (!platform::readFile(path, bytes, kMacroRecordSize + 1)) return MacroFileStatus::CannotRead;
  return decodeMacroFile(bytes, mouseMask, out);
}

bool writeMacroFile(const std::string& path, const MacroRecord& m) {
  const std::string folder = platform::folderOf(path);
  if (!folder.empty() && !platform::makeFolders(folder)) {
    Log("MakeSureFolderExist: create dir %s, err=0x%x", folder, errno);
    return false;
  }
  if (!platform::writeFileAtomic(path, encodeMacroFile(m))) {
    Log("Flush_Dirty_Macro: WriteFile err=0x%x, %s", errno, path);
    return false;
  }
  return true;
}

std::size_t ReadMacroLibrary(const std::string& root, bool foldersOn, std::int32_t mouseMask, MacroList& out) {
  std::size_t added = 0;
  walkLibrary(fs::path(root), 0, foldersOn, mouseMask, out, added);
  return added;
}

std::string macroLibraryFolder() { return platform::joinPath(AppDataFolder(theConfig()), "Mac"); }

MacroList& theMacroList() {
  static MacroList list;
  return list;
}

std::size_t ReadMacroLibrary(bool foldersOn) {
  theMacroList().clear();
  return ReadMacroLibrary(macroLibraryFolder(), foldersOn, theConfig().options().MacroHasMsKey, theMacroList());
}

}  // namespace lumera
