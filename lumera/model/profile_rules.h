// Rules the main window applies to the profile list: topping the list up,
// what a key's default is, the keyboard's macro buffer limit, whether a
// macro may be deleted, and which profile the running programs ask for.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "lumera/model/macro.h"
#include "lumera/model/profile.h"
#include "lumera/model/services.h"
#include "platform/processes.h"

namespace lumera {

// The profile buttons stand for the first three profiles of the list.
constexpr int kProfileButtons = 3;
// At most this many distinct macros are collected when the limit is counted.
constexpr int kMacroCountCap = 50;

// Appends three new profiles named "<tc_proname>1" to "<tc_proname>3" when
// the list holds fewer than three, so that every profile button has one; a
// list of three or more is left alone (topping up on "not exactly three"
// would grow the store by three at every opening). Returns how many were
// added (0 or 3).
int TopUpProfiles(ProfileList& profiles, const LumeraConfig& config, const TextLookup& texts,
                  const Clock& clock = systemClock());

// Whether function A of a key equals the key's layout record: the same
// function id and the same first three bytes of the combination (modifier
// mask, VkCode1, extra byte).
bool IsDefaultFunction(const KeyFunction& f, const KeyFunction& layout);

// The code by which the keyboard view and its previews know a key: the
// virtual-key code of the layout's function, the side-specific one for a
// modifier key (160/161 Shift, 162/163 Ctrl, 164/165 Alt, 91/92 Win).
int ViewHitCode(const KeyInfo& layoutKey);
// Hit codes of keys that are not real keys of the picture (never hit or
// marked): 251, 252, 254 and 255.
bool IsNotRealKeyCode(int hitCode);

// The distinct macros the key table and the gesture table of `profile`
// use, counting only macros the library still holds; at most `cap`.
int DistinctMacroCount(const ProfileRecord& profile, const MacroList& macros, int cap = kMacroCountCap);
// Whether giving a key (or gesture) of `profile` the macro `macroId` stays
// within the keyboard's `bufferCount` macro buffers, which the key table
// and the gestures share: a macro already used by the profile is always
// allowed, a new one only while fewer than `bufferCount` are used.
bool MacroFitsBuffers(const ProfileRecord& profile, std::int32_t macroId, const MacroList& macros, int bufferCount);

// Whether any key (either function) or gesture of any profile of the list
// plays the macro.
bool MacroInUse(const ProfileList& profiles, std::int32_t macroId);

// Whether a profile's program name is contained, ignoring letter case, in
// one of the names of a process (executable, first argument, kernel name).
bool ProgramMatches(std::u16string_view programName, const platform::ProcessInfo& process);

// The first profile of the list whose program name is not empty and matches
// a running process, or -1. `matchingPids` receives the processes that
// matched that profile, in the order given.
int FindProfileForProcesses(const ProfileList& profiles, const std::vector<platform::ProcessInfo>& processes,
                            std::vector<int>* matchingPids = nullptr);

}  // namespace lumera
