#include "lumera/model/macro_library.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "lumera/model/config.h"
#include "lumera/model/log.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lumera {

namespace fs = std::filesystem;

namespace {

bool forbiddenChar(char16_t c) {
  static constexpr char16_t kForbidden[] = u"/\\?+=-*&%!#.,<>\"|";
  return c < 0x20 || c == 0x7F || std::u16string_view(kForbidden).find(c) != std::u16string_view::npos;
}

// Entries of a folder, without following links, in name order without
// regard to case.
std::vector<fs::directory_entry> sortedEntries(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    return platform::toLowerAscii(a.path().filename().string()) < platform::toLowerAscii(b.path().filename().string());
  });
  return entries;
}

bool isRealFolder(const fs::directory_entry& e) {
  std::error_code ec;
  return e.symlink_status(ec).type() == fs::file_type::directory;
}

bool isRealFile(const fs::directory_entry& e) {
  std::error_code ec;
  return e.symlink_status(ec).type() == fs::file_type::regular;
}

bool walkedFolderName(const std::string& name) { return !name.empty() && name[0] != '.' && name[0] != '$'; }

void collectIds(const fs::path& folder, int depth, std::int32_t mouseMask, std::vector<std::int32_t>& out) {
  for (const fs::directory_entry& e : sortedEntries(folder)) {
    const std::string name = e.path().filename().string();
    if (isRealFolder(e)) {
      if (depth < kMacroFolderDepth && walkedFolderName(name)) collectIds(e.path(), depth + 1, mouseMask, out);
      continue;
    }
    if (!isRealFile(e) || platform::toUtf16(name).size() <= 4) continue;
    MacroRecord m;
    if (readMacroFile(e.path().string(), mouseMask, m) == MacroFileStatus::Ok) out.push_back(m.id);
  }
}

fs::path resolved(const std::string& p) {
  std::error_code ec;
  fs::path r = fs::weakly_canonical(fs::absolute(fs::path(p), ec), ec);
  return ec ? fs::path(p).lexically_normal() : r;
}

bool copyTree(const fs::path& from, const fs::path& to, bool& allOk) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) {
    Log("MyCopyFile: %s, error=0x%x", to.string(), ec.value());
    allOk = false;
    return false;
  }
  for (const fs::directory_entry& e : sortedEntries(from)) {
    const fs::path target = to / e.path().filename();
    if (isRealFolder(e)) {
      copyTree(e.path(), target, allOk);
    } else if (isRealFile(e)) {
      if (fs::symlink_status(target, ec).type() != fs::file_type::not_found) continue;  // kept as it is
      if (!copyMacroFile(e.path().string(), target.string())) {
        Log("MyCopyFile: %s, error=0x%x", e.path().string(), errno);
        allOk = false;
      }
    }
    // Links, FIFOs, devices and sockets are not part of a library.
  }
  return true;
}

}  // namespace

NameCheck checkLibraryName(std::u16string_view name) {
  if (name.empty()) return NameCheck::Empty;
  for (char16_t c : name)
    if (forbiddenChar(c)) return NameCheck::BadCharacter;
  if (name[0] == u'$') return NameCheck::LeadingDollar;
  if (name.size() > kLibraryNameChars) return NameCheck::TooLong;
  return NameCheck::Ok;
}

bool sameLibraryName(std::u16string_view a, std::u16string_view b) { return platform::equalsNoCase(a, b); }

std::int32_t freeMacroId(const MacroList& macros, std::int32_t wanted) {
  std::int32_t id = wanted & 0xFFFFFF;
  // Ids are 24 bits and at most kMaxMacros are taken, so this ends.
  while (findMacro(macros, id) != nullptr || id == 0) id = (id + 1) & 0xFFFFFF;
  return id;
}

std::vector<LibraryEntry> readLibraryFolder(const std::string& folder, bool foldersOn, std::int32_t mouseMask) {
  std::vector<LibraryEntry> folders, macros;
  for (const fs::directory_entry& e : sortedEntries(fs::path(folder))) {
    const std::string name = e.path().filename().string();
    if (isRealFolder(e)) {
      if (!foldersOn || !walkedFolderName(name)) continue;
      LibraryEntry f;
      f.folder = true;
      f.name = platform::toUtf16(name);
      f.path = e.path().string();
      const std::string icon = platform::findFileNoCase(f.path, name + ".png");
      if (isPlainFile(icon)) f.iconPath = icon;
      folders.push_back(std::move(f));
      continue;
    }
    if (!isRealFile(e) || platform::toUtf16(name).size() <= 4) continue;
    LibraryEntry m;
    if (readMacroFile(e.path().string(), mouseMask, m.macro) != MacroFileStatus::Ok) continue;
    m.name = platform::toUtf16(e.path().stem().string());
    m.path = e.path().string();
    macros.push_back(std::move(m));
  }
  folders.insert(folders.end(), std::make_move_iterator(macros.begin()), std::make_move_iterator(macros.end()));
  return folders;
}

std::vector<std::int32_t> macroIdsUnder(const std::string& folder, std::int32_t mouseMask) {
  std::vector<std::int32_t> ids;
  collectIds(fs::path(folder), 0, mouseMask, ids);
  return ids;
}

std::string libraryPath(const std::string& root, const std::vector<std::u16string>& folders,
                        std::u16string_view name, bool macro) {
  if (static_cast<int>(folders.size()) > kMacroFolderDepth) return std::string();
  std::string path = root;
  for (const std::u16string& f : folders) path = platform::joinPath(path, platform::toUtf8(f));
  std::string last = platform::toUtf8(name);
  if (macro) last += ".mck";
  return platform::joinPath(path, last);
}

bool isPlainFile(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool pathInside(const std::string& inner, const std::string& outer) {
  fs::path in = resolved(inner), out = resolved(outer);
  if (out.filename().empty()) out = out.parent_path();  // a trailing separator
  auto i = in.begin();
  for (auto o = out.begin(); o != out.end(); ++o, ++i)
    if (i == in.end() || *i != *o) return false;
  return true;
}

CopyStatus copyLibraryFolder(const std::string& from, const std::string& intoFolder, std::string* copied) {
  std::error_code ec;
  if (fs::symlink_status(from, ec).type() != fs::file_type::directory) return CopyStatus::NotAFolder;
  const fs::path source = resolved(from);
  const fs::path target = resolved(intoFolder) / source.filename();
  if (pathInside(target.string(), source.string())) return CopyStatus::IntoItself;
  if (copied) *copied = target.string();
  bool allOk = true;
  copyTree(source, target, allOk);
  return allOk ? CopyStatus::Ok : CopyStatus::Failed;
}

bool copyMacroFile(const std::string& from, const std::string& to) {
  if (!isPlainFile(from)) {
    errno = EINVAL;
    return false;
  }
  std::string bytes;
  // A library file is 1714 bytes; anything much bigger is not one of ours
  // but is copied whole all the same.
  if (!platform::readFile(from, bytes)) return false;
  return platform::writeFileAtomic(to, bytes);
}

bool removeLibraryFolder(const std::string& path, int* error) {
  std::error_code ec;
  fs::remove_all(fs::path(path), ec);  // removes links themselves, never what they point to
  if (ec && ec != std::errc::no_such_file_or_directory) {
    if (error) *error = ec.value();
    return false;
  }
  return true;
}

std::vector<EditorEvent> editorEventsOf(const MacroRecord& m) {
  std::vector<EditorEvent> rows;
  const std::size_t n = std::min(macroEventCount(m), kMaxMacroEvents);
  for (std::size_t i = 0; i < n; ++i) {
    const MacroEvent& e = m.events[i];
    rows.push_back({e.down ? EditorEvent::kPressed : EditorEvent::kReleased, e.keyCode});
    if (e.delay != 0) rows.push_back({EditorEvent::kDelay, e.delay});
  }
  return rows;
}

void tidyEditorEvents(std::vector<EditorEvent>& rows) {
  auto first = std::find_if(rows.begin(), rows.end(), [](const EditorEvent& r) { return r.kind == EditorEvent::kPressed; });
  rows.erase(rows.begin(), first);
  std::vector<EditorEvent> out;
  for (const EditorEvent& r : rows) {
    if (!out.empty() && r.kind == EditorEvent::kDelay && out.back().kind == EditorEvent::kDelay) {
      out.back().value = std::min<std::uint32_t>(out.back().value + r.value, kMaxEditorDelay);
      continue;
    }
    if (!out.empty() && r.kind != EditorEvent::kDelay && out.back() == r) continue;
    out.push_back(r);
  }
  rows = std::move(out);
}

void storeEditorEvents(const std::vector<EditorEvent>& rows, MacroRecord& m) {
  m.events.fill(MacroEvent{});
  std::size_t n = 0;
  for (std::size_t i = 0; i < rows.size() && n < kMaxMacroEvents; ++i) {
    const EditorEvent& r = rows[i];
    if (r.kind == EditorEvent::kDelay) continue;  // a delay with no key before it
    if ((r.value & 0xFF) == 0) {
      Log("Capture keycode=0");
      if (theConfig().options().Debug != 0) showMessage("Warning", "Capture keycode=0", MessageIcon::Warning);
      continue;
    }
    MacroEvent e;
    e.keyCode = static_cast<std::uint16_t>(r.value & 0xFF);
    e.down = r.kind == EditorEvent::kPressed ? 1 : 0;
    if (i + 1 < rows.size() && rows[i + 1].kind == EditorEvent::kDelay) e.delay = std::min(rows[++i].value, kMaxEditorDelay);
    m.events[n++] = e;
  }
}

int editorEventsSize(const std::vector<EditorEvent>& rows) {
  int size = 4;
  for (const EditorEvent& r : rows) {
    if (r.kind != EditorEvent::kDelay)
      size += 2;
    else if (r.value > 127)
      size += 4;
  }
  return size;
}

}  // namespace lumera
