#include "lumera/model/records.h"

#include "lumera/model/bytes.h"

namespace lumera {

bool KeyFunction::operator==(const KeyFunction& o) const {
  return dwFunID == o.dwFunID && rcKey == o.rcKey && dwMatrixInx == o.dwMatrixInx && nMacroId == o.nMacroId &&
         stCombo.mask == o.stCombo.mask && stCombo.VkCode1 == o.stCombo.VkCode1 &&
         stCombo.VkCode2 == o.stCombo.VkCode2 && stCombo.canonical == o.stCombo.canonical && dwParam == o.dwParam;
}

void writeKeyFunction(std::uint8_t* out, const KeyFunction& f) {
  putU32(out + 0, f.dwFunID);
  for (int i = 0; i < 4; ++i) putI32(out + 4 + 4 * i, f.rcKey[static_cast<std::size_t>(i)]);
  putI32(out + 20, f.dwMatrixInx);
  putI32(out + 24, f.nMacroId);
  out[28] = f.stCombo.mask;
  out[29] = f.stCombo.VkCode1;
  out[30] = f.stCombo.VkCode2;
  out[31] = f.stCombo.canonical;
  putU32(out + 32, f.dwParam);
}

KeyFunction readKeyFunction(const std::uint8_t* in) {
  KeyFunction f;
  f.dwFunID = getU32(in + 0);
  for (int i = 0; i < 4; ++i) f.rcKey[static_cast<std::size_t>(i)] = getI32(in + 4 + 4 * i);
  f.dwMatrixInx = getI32(in + 20);
  f.nMacroId = getI32(in + 24);
  f.stCombo = {in[28], in[29], in[30], in[31]};
  f.dwParam = getU32(in + 32);
  return f;
}

void writeKeyInfo(std::uint8_t* out, const KeyInfo& k) {
  writeKeyFunction(out, k.funA);
  putI32(out + kKeyFunctionSize, k.nFnIndex);
  writeKeyFunction(out + kKeyFunctionSize + 4, k.funB);
}

KeyInfo readKeyInfo(const std::uint8_t* in) {
  KeyInfo k;
  k.funA = readKeyFunction(in);
  k.nFnIndex = getI32(in + kKeyFunctionSize);
  k.funB = readKeyFunction(in + kKeyFunctionSize + 4);
  return k;
}

bool modifierOfKey(std::uint32_t code, ModifierKey& out) {
  switch (code) {
    case 0x10:
    case 0xA0: out = {kModLShift, 0x10}; return true;
    case 0x11:
    case 0xA2: out = {kModLCtrl, 0x11}; return true;
    case 0x12:
    case 0xA4: out = {kModLAlt, 0x12}; return true;
    case 0x5B: out = {kModLWin, 0x5B}; return true;
    case 0x5C: out = {kModRWin, 0x5C}; return true;
    case 0xA1: out = {kModRShift, 0xA1}; return true;
    case 0xA3: out = {kModRCtrl, 0xA3}; return true;
    case 0xA5: out = {kModRAlt, 0xA5}; return true;
    default: return false;
  }
}

}  // namespace lumera
