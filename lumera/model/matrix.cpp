#include "lumera/model/matrix.h"

#include <algorithm>

#include "lumera/model/bytes.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/log.h"
#include "platform/format.h"

namespace lumera {

namespace {

constexpr std::uint32_t kMacroCodeType = 0x10;

bool inMatrix(std::int64_t p) { return p >= 0 && p < kKeyCount; }

void logMatrixBytes(const std::uint32_t* codes, std::size_t count, std::size_t perLine) {
  std::vector<std::uint8_t> bytes(count * 4);
  for (std::size_t i = 0; i < count; ++i) putU32(bytes.data() + 4 * i, codes[i]);
  DumpGrouped("", bytes.data(), bytes.size(), perLine, 4);
}

// The key part: the codes of the keys, the Fn layer and the gesture keys.
void fillKeys(const ProfileRecord& profile, const MacroList& macros, const LumeraConfig& config, KeyMatrix& out) {
  auto& m = out.codes;
  for (int k = 0; k < kKeyCount; ++k) {
    const KeyInfo& key = profile.keys[static_cast<std::size_t>(k)];
    if (key.funA.dwFunID == 0) continue;
    const std::int64_t c = keyinfo_to_hardware_code(key.funA, macros, config);
    // The position comes from the configured layout, not from the profile.
    const std::int32_t p = config.keyLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx;
    if (c == kNoHardwareCode) {
      showMessage(u"Warning",
                  platform::formatU16("Get Invaild keycode, keyindex=%d, MatrixInx=%d, dwFunID=0x%x", k, p,
                                      key.funA.dwFunID),
                  MessageIcon::Information);
      continue;
    }
    if (!inMatrix(p)) {
      Log("Error: nMatrixInx=%d", p);
      continue;
    }
    if (m[static_cast<std::size_t>(p)] != 0) {
      Log("Error: Matrix[ %d ]=0x%x", p, m[static_cast<std::size_t>(p)]);
      continue;  // the first key wins
    }
    const std::int32_t f = key.nFnIndex;
    if (f < 0) {
      m[static_cast<std::size_t>(p)] = static_cast<std::uint32_t>(c);
      continue;
    }
    if (f >= kFnEntries) {  // a stored index outside the Fn matrix
      Log("Error: nFnIndex=%d", f);
      continue;
    }
    const std::int64_t c2 = keyinfo_to_hardware_code(key.funB, macros, config);
    if (c2 == kNoHardwareCode) continue;
    m[kFnSingleBase + static_cast<std::size_t>(f)] = static_cast<std::uint32_t>(c);
    m[kFnComboBase + static_cast<std::size_t>(f)] = static_cast<std::uint32_t>(c2);
    m[static_cast<std::size_t>(p)] = 0x02000000u + (static_cast<std::uint32_t>(f) & 0xFF);
  }

  // 75 and 80 are the same physical key.
  if (m[75] != m[80]) {
    if (m[80] != 0)
      m[75] = m[80];
    else
      m[80] = m[75];
  }

  for (const KeyInfo& g : profile.gestures) {
    const std::int64_t c = keyinfo_to_hardware_code(g.funA, macros, config);
    if (c != kNoHardwareCode && inMatrix(g.funA.dwMatrixInx))
      m[static_cast<std::size_t>(g.funA.dwMatrixInx)] = static_cast<std::uint32_t>(c);
  }
}

// The macro part: one buffer per distinct macro the keys use, its number in
// the low byte of the keys' codes.
void fillMacros(const ProfileRecord& profile, const MacroList& macros, const LumeraConfig& config, KeyMatrix& out) {
  const HwParam& hw = config.hwParam();
  const std::size_t bufferSize = static_cast<std::size_t>(hw.nMacroBufferSize);
  const std::size_t bufferNum = static_cast<std::size_t>(hw.nMacroBufferNum);
  out.macroBuffers.assign(bufferSize * bufferNum, 0);
  out.macroCount = 0;
  // Buffer numbers handed out in this walk, by macro list position. Every
  // walk starts from none, whatever numbers the records carry.
  std::vector<std::uint32_t> buffer(macros.size(), 0);
  std::size_t written = 0;

  constexpr int kRecords = kKeyCount + kGestureCount;
  for (int n = 0; n < kRecords; ++n) {
    const bool isKey = n < kKeyCount;
    const KeyInfo& rec = isKey ? profile.keys[static_cast<std::size_t>(n)]
                               : profile.gestures[static_cast<std::size_t>(n - kKeyCount)];
    if (rec.funA.type() != kTypeMacro) continue;
    const auto found = std::find_if(macros.begin(), macros.end(),
                                    [&](const MacroRecord& mr) { return mr.id == rec.funA.nMacroId; });
    if (found == macros.end()) {
      Log("Key[%d][%d] Set To Macro NULL", 0, n);
      continue;
    }
    const std::size_t mi = static_cast<std::size_t>(found - macros.begin());
    Log("Key[%d][%d] Set To Macro %s(0x%08x), Macro_Buffer_ID=%d", 0, n, macroName(*found), found->id, buffer[mi]);
    // A key's code sits where the configured layout puts it; a gesture's
    // where its own record says.
    const std::int32_t position =
        isKey ? config.keyLayout()[static_cast<std::size_t>(n)].funA.dwMatrixInx : rec.funA.dwMatrixInx;
    if (!inMatrix(position)) {
      showMessage("Warning", "Matrix inx warning");
      continue;
    }
    if (buffer[mi] < 1 || buffer[mi] > bufferNum) {
      if (static_cast<std::size_t>(out.macroCount) >= bufferNum) break;
      buffer[mi] = static_cast<std::uint32_t>(out.macroCount + 1);
      Log("New Assign Buffer_ID= %d", buffer[mi]);
      StMacro_To_HdMacro(&*found, out.macroBuffers.data() + written, hw);
      written += bufferSize;
      ++out.macroCount;
    }
    std::int64_t slot = position;
    if (isKey && rec.nFnIndex >= 0) slot = rec.nFnIndex < kFnEntries ? kFnSingleBase + rec.nFnIndex : -1;
    // Only a macro code takes a buffer number: a slot that another key won
    // or that was left out keeps what it holds.
    if (slot >= 0 && (out.codes[static_cast<std::size_t>(slot)] >> 24) == kMacroCodeType) {
      std::uint32_t& code = out.codes[static_cast<std::size_t>(slot)];
      code = (code & 0xFFFFFF00u) | ((buffer[mi] - 1) & 0xFF);
      Log("Matrix[%d][%d] = 0x%08x", 0, slot, code);
    }
    if (written >= bufferNum * bufferSize) break;
  }
}

}  // namespace

std::array<std::uint8_t, kMatrixPayloadSize> KeyMatrix::payload() const {
  std::array<std::uint8_t, kMatrixPayloadSize> bytes{};
  for (std::size_t i = 0; i < codes.size(); ++i) putU32BE(bytes.data() + 4 * i, codes[i]);
  return bytes;
}

bool FillMatrix(const ProfileRecord& profile, const MacroList& macros, const LumeraConfig& config, KeyMatrix& out) {
  Log("FillMatrix 0x%08X---------------------------------------", profile.id);
  out.codes.fill(0);
  fillKeys(profile, macros, config, out);
  fillMacros(profile, macros, config, out);

  if (theLog().level() != 0) {
    Log("Gest------");
    for (const KeyInfo& g : profile.gestures)
      if (inMatrix(g.funA.dwMatrixInx) && g.funA.dwFunID != 0)
        Log("Matrix[%d] = 0x%08x", g.funA.dwMatrixInx, out.codes[static_cast<std::size_t>(g.funA.dwMatrixInx)]);
    Log("Key Matrix----------------------------");
    logMatrixBytes(out.codes.data(), kKeyCount, 24);
    Log("Fn Matrix (Single key func)----------------------------");
    logMatrixBytes(out.codes.data() + kFnSingleBase, kFnEntries, 32);
    Log("Fn Matrix (Fn Combo key func)----------------------------");
    logMatrixBytes(out.codes.data() + kFnComboBase, kFnEntries, 32);
  }
  return true;
}

}  // namespace lumera
