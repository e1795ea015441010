#include "lumera/model/profile_rules.h"

#include <set>

#include "platform/format.h"
#include "platform/text.h"

namespace lumera {

int TopUpProfiles(ProfileList& profiles, const LumeraConfig& config, const TextLookup& texts, const Clock& clock) {
  if (profiles.size() >= static_cast<std::size_t>(kProfileButtons)) return 0;
  const std::u16string prefix = texts.text("tc_proname");
  for (int i = 1; i <= kProfileButtons; ++i)
    profiles.push_back(NewProfile(platform::formatU16(u"%s%d", prefix, i), config, clock));
  return kProfileButtons;
}

bool IsDefaultFunction(const KeyFunction& f, const KeyFunction& layout) {
  return f.dwFunID == layout.dwFunID && f.stCombo.mask == layout.stCombo.mask &&
         f.stCombo.VkCode1 == layout.stCombo.VkCode1 && f.stCombo.VkCode2 == layout.stCombo.VkCode2;
}

int ViewHitCode(const KeyInfo& layoutKey) {
  const KeyFunction& f = layoutKey.funA;
  if (f.type() != 2) return static_cast<int>(f.dwFunID & 0xFF);
  if (f.stCombo.VkCode1 != 0) return f.stCombo.VkCode1;
  // A single modifier key: the layout keeps its code in the canonical byte
  // and its side in the mask.
  switch (f.stCombo.mask) {
    case kModLShift: return 0xA0;
    case kModRShift: return 0xA1;
    case kModLCtrl: return 0xA2;
    case kModRCtrl: return 0xA3;
    case kModLAlt: return 0xA4;
    case kModRAlt: return 0xA5;
    case kModLWin: return 0x5B;
    case kModRWin: return 0x5C;
    default: return f.stCombo.canonical;
  }
}

bool IsNotRealKeyCode(int code) { return code == 251 || code == 252 || code == 254 || code == 255; }

namespace {

bool isMacro(const KeyFunction& f) { return f.type() == 5; }

void collectMacros(const KeyInfo& k, std::set<std::int32_t>& ids) {
  if (isMacro(k.funA)) ids.insert(k.funA.nMacroId);
  if (k.nFnIndex >= 0 && isMacro(k.funB)) ids.insert(k.funB.nMacroId);
}

std::set<std::int32_t> macrosOf(const ProfileRecord& p) {
  std::set<std::int32_t> ids;
  for (const KeyInfo& k : p.keys) collectMacros(k, ids);
  for (const KeyInfo& g : p.gestures) collectMacros(g, ids);
  return ids;
}

bool containsNoCase(const std::u16string& haystack, const std::u16string& needle) {
  if (needle.empty() || needle.size() > haystack.size()) return false;
  for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
    bool same = true;
    for (std::size_t j = 0; j < needle.size() && same; ++j)
      same = platform::asciiLower(haystack[i + j]) == platform::asciiLower(needle[j]);
    if (same) return true;
  }
  return false;
}

}  // namespace

int DistinctMacroCount(const ProfileRecord& profile, const MacroList& macros, int cap) {
  int count = 0;
  for (std::int32_t id : macrosOf(profile)) {
    if (count >= cap) break;
    if (findMacro(macros, id)) ++count;
  }
  return count;
}

bool MacroFitsBuffers(const ProfileRecord& profile, std::int32_t macroId, const MacroList& macros, int bufferCount) {
  if (macrosOf(profile).count(macroId)) return true;
  return DistinctMacroCount(profile, macros) < bufferCount;
}

bool MacroInUse(const ProfileList& profiles, std::int32_t macroId) {
  for (const ProfileRecord& p : profiles)
    if (macrosOf(p).count(macroId)) return true;
  return false;
}

bool ProgramMatches(std::u16string_view programName, const platform::ProcessInfo& process) {
  const std::u16string name(programName);
  for (const std::string* s : {&process.exeName, &process.argName, &process.comm})
    if (!s->empty() && containsNoCase(platform::toUtf16(*s), name)) return true;
  return false;
}

int FindProfileForProcesses(const ProfileList& profiles, const std::vector<platform::ProcessInfo>& processes,
                            std::vector<int>* matchingPids) {
  if (matchingPids) matchingPids->clear();
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    const std::u16string program = profileProgramName(profiles[i]);
    if (program.empty()) continue;
    bool found = false;
    for (const platform::ProcessInfo& p : processes) {
      if (!ProgramMatches(program, p)) continue;
      found = true;
      if (!matchingPids) break;
      matchingPids->push_back(p.pid);
    }
    if (found) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace lumera
