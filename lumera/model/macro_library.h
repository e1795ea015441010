// The macro library on disk as the macro editor manages it: names of macros
// and folders, unique macro ids, one folder level read for the library tree,
// the macros under a folder, and copying and deleting folders.
//
// The library is a plain folder tree the user may also change by hand, so
// every walk here stays inside it: symbolic links are never followed, only
// regular files are opened (a FIFO or device would block), and a copy never
// lands inside what it copies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lumera/model/macro.h"

namespace lumera {

// How deep folders may nest below the library's root (the start-up walk
// reads no deeper).
constexpr int kMacroFolderDepth = 20;
// The longest name of a macro or folder, in characters.
constexpr std::size_t kLibraryNameChars = kMacroNameUnits - 1;

enum class NameCheck {
  Ok,
  Empty,
  BadCharacter,  // one of / \ ? + = - * & % ! # . , < > " | or a control character
  LeadingDollar, // folders so named are skipped by the walk and would vanish
  TooLong,
};
NameCheck checkLibraryName(std::u16string_view name);
// Names of siblings are compared without regard to case, so that a library
// copied from a system whose file names ignore case keeps working.
bool sameLibraryName(std::u16string_view a, std::u16string_view b);

// `wanted` when no macro of the list has it, else the next free id (24 bits).
std::int32_t freeMacroId(const MacroList& macros, std::int32_t wanted);

// One entry of a library folder.
struct LibraryEntry {
  bool folder = false;
  std::u16string name;   // folder name, or the macro file's name less its last extension
  std::string path;      // full path of the folder or file
  std::string iconPath;  // a folder's "<name>.png" inside it, when there is one
  MacroRecord macro;     // a macro's record
};
// The sub-folders (only with foldersOn; not those beginning with "." or "$")
// and the acceptable macro files of one folder, folders first, each in name
// order without regard to case. Links are skipped.
std::vector<LibraryEntry> readLibraryFolder(const std::string& folder, bool foldersOn, std::int32_t mouseMask);

// The ids of every acceptable macro file below `folder`, at any depth the
// walk reads, whatever the tree has opened; links are not followed.
std::vector<std::int32_t> macroIdsUnder(const std::string& folder, std::int32_t mouseMask);

// The path of a folder or macro below the library root: root / folders... /
// name (plus ".mck" for a macro). Empty when the folders are too deep.
std::string libraryPath(const std::string& root, const std::vector<std::u16string>& folders,
                        std::u16string_view name, bool macro);

// True when `path` is a regular file itself (not a link, FIFO or device).
bool isPlainFile(const std::string& path);
// True when `inner` is `outer` or lies inside it (after resolving both).
bool pathInside(const std::string& inner, const std::string& outer);

enum class CopyStatus { Ok, IntoItself, NotAFolder, Failed };
// Copies the folder `from` with its content into `intoFolder`/<its name>,
// keeping files that are there already. Links and files that are not regular
// are left out; a destination inside `from` is refused. Failures of single
// files are logged ("MyCopyFile: %s, error=0x%x") and reported as Failed
// after the rest was copied. `copied` receives the destination folder.
CopyStatus copyLibraryFolder(const std::string& from, const std::string& intoFolder, std::string* copied = nullptr);
// Copies one macro file (a regular file) to `to`, replacing it.
bool copyMacroFile(const std::string& from, const std::string& to);

// Deletes a folder with everything in it (links are removed, not followed).
// A folder that does not exist counts as deleted. `error` gets errno.
bool removeLibraryFolder(const std::string& path, int* error = nullptr);

// ---- The editor's event list ------------------------------------------------

// One row of the macro editor's event list.
struct EditorEvent {
  enum Kind : int { kReleased = 0, kPressed = 1, kDelay = 2 };
  int kind = kPressed;
  std::uint32_t value = 0;  // key code, or milliseconds for a delay
  bool operator==(const EditorEvent& o) const { return kind == o.kind && value == o.value; }
};
// The longest delay one row holds.
constexpr std::uint32_t kMaxEditorDelay = 65280;
// The keyboard's macro buffer, which a recording must fit.
constexpr int kMacroBufferBytes = 256;
// The most events a macro record keeps.
constexpr std::size_t kMaxMacroEvents = 127;

// The rows a record's events show: a key row per event, then its delay.
std::vector<EditorEvent> editorEventsOf(const MacroRecord& m);
// Tidies the rows before they are stored: leading rows up to the first key
// press go, adjacent delays merge (at most kMaxEditorDelay), a key row that
// repeats the one before it goes.
void tidyEditorEvents(std::vector<EditorEvent>& rows);
// Writes the (tidied) rows into the record's events: at most 127, each key
// row with the delay row after it; the other slots are zeroed. A key code 0
// is logged ("Capture keycode=0").
void storeEditorEvents(const std::vector<EditorEvent>& rows, MacroRecord& m);
// The bytes the rows take in the keyboard's buffer: 4, 2 per key row and 4
// more per delay above 127 ms.
int editorEventsSize(const std::vector<EditorEvent>& rows);

}  // namespace lumera
