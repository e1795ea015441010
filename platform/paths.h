// Program folder, path joining, case-insensitive file lookup and whole-file
// reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Folder of the running executable, with a trailing '/'. Tests and tools may
// override it (see setProgramFolder) so that the programs read their data
// from another folder.
std::string programFolder();
void setProgramFolder(std::string folder);

// Joins two path pieces with exactly one '/' between them. Backslashes in the
// second piece are turned into '/', so "Profile\\Profile1.cfg" works.
std::string joinPath(std::string_view a, std::string_view b);

// Turns the Windows separators of a relative path into '/'.
std::string nativeSeparators(std::string_view path);

// Looks for a file named `name` inside `folder` without regard to ASCII case
// ("cfg.ini" finds "Cfg.ini"). An exact match wins over a case-folded one.
// Returns the full path of the match, or the joined path when nothing matches
// (so that a later open fails with the usual error).
std::string findFileNoCase(std::string_view folder, std::string_view name);
// Resolves every component of a relative path the same way ("skins/Gest/x.png").
std::string resolveNoCase(std::string_view folder, std::string_view relative);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
// Creates a folder and its parents; true when it exists afterwards.
bool makeFolders(const std::string& path);

// Reads a whole file; false when it cannot be opened or read. `maxBytes`
// caps how much is read (a bigger file reads as its first maxBytes bytes).
bool readFile(const std::string& path, std::string& bytes, std::size_t maxBytes = SIZE_MAX);

// Writes a whole file or nothing: the data goes to a temporary file in the
// same folder, is flushed to disk, and replaces the target by rename. On any
// failure the old file is left as it was and false is returned. A save that
// succeeds also removes stale temporary files of the same target (named
// "<target>.tmpXXXXXX", unlocked and untouched for ten seconds) that a killed
// process left behind; files of any other name are never touched.
// `failedAt`, when given, tells which step failed: creating the temporary
// file (the folder cannot be written) or writing and renaming it.
enum class WriteStep { None, Create, Write };
bool writeFileAtomic(const std::string& path, std::string_view bytes, WriteStep* failedAt = nullptr);

// Last path component and the folder part (with trailing '/').
std::string fileNameOf(std::string_view path);
std::string folderOf(std::string_view path);

// The C library's text for the current errno, for user messages.
std::string lastErrorText();

}  // namespace platform
