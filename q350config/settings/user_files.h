// Where Q350Config reads and writes its own files: the profiles ("Profile"),
// the macro library ("Macro.cfg") and the update folder ("update").
//
// The program keeps them in its program folder. Installed system-wide, that
// folder belongs to root and every save would fail; the system then does
// what it does for old programs that write into their own folder: the files
// go to a per-user copy, $XDG_DATA_HOME/kavro/Q350/, seeded from the
// shipped files on first use. Where the program folder can be written (a
// home install, the build's stage) it is used as it is. The program and
// kavroctl q350 both ask here, so they always see the same files.
#pragma once

#include <string>

namespace q350 {

// The folder (with a trailing '/') that holds the writable files for the
// program folder `programFolder`: that folder itself when it (and its
// "Profile" folder and "Macro.cfg", where they exist) can be written, else
// the per-user copy, made and seeded when needed. Seeding copies what the
// program folder ships and the per-user copy lacks; it never overwrites.
std::string ResolveDataFolder(const std::string& programFolder);

// The per-user copy's folder (with a trailing '/'), whether used or not.
std::string PerUserDataFolder();

// Whether the program folder's files can be written in place.
bool IsWritableInPlace(const std::string& programFolder);

// How a path is judged writable (by default: access(W_OK) for this user).
// Root may write anywhere, so tests that play a read-only install put in
// their own judgement; nullptr restores the default.
using WritableCheck = bool (*)(const std::string& path);
void SetWritableCheck(WritableCheck check);

}  // namespace q350
