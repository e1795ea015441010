#include "lumera/model/keycodes.h"

#include "lumera/model/config.h"
#include "lumera/model/log.h"
#include "platform/format.h"
#include "platform/text.h"

namespace lumera {

namespace {

// Functions of the types 1, 3/4 and 8 by id: the text that names them and
// the code the keyboard takes (kNoHardwareCode for none).
struct FunctionRow {
  std::uint32_t id;
  bool mouse, media, special;  // which types carry the id
  const char* textKey;
  std::int64_t code;
};

constexpr FunctionRow kFunctions[] = {
    {17, true, false, false, "tc_click", 0x070000F0},
    {18, true, false, false, "tc_middle", 0x070000F2},
    {19, true, false, false, "tc_menu", 0x070000F1},
    {20, true, false, false, "tc_forward", 0x070000F3},
    {21, true, false, false, "tc_back", 0x070000F4},
    {22, true, false, false, "tc_ms_str1", kNoHardwareCode},
    {23, true, false, true, "tc_three", 0x00000130},
    {33, false, true, false, "tc_kbmedia_msel", 0x04000183},
    {34, false, true, false, "tc_PL", 0x040000CD},
    {35, false, true, false, "tc_stop", 0x040000B7},
    {36, false, true, false, "tc_pre_media", 0x040000B6},
    {37, false, true, false, "tc_next_media", 0x040000B5},
    {38, false, true, false, "tc_vol_up", 0x040000E9},
    {39, false, true, false, "tc_vol_dw", 0x040000EA},
    {40, false, true, false, "tc_mute", 0x040000E2},
    {48, false, true, false, "tc_kbmedia_mail", 0x0400018A},
    {49, false, true, false, "tc_kbmedia_cal", 0x04000192},
    {50, false, true, false, "tc_kbmedia_explore", 0x04000194},
    {51, false, true, false, "tc_kbmedia_search", 0x04000221},
    {52, false, true, false, "tc_kbmedia_main", 0x04000223},
    {53, false, true, false, "tc_back", 0x04000224},
    {54, false, true, false, "tc_forward", 0x04000225},
    {55, false, true, false, "tc_kbmedia_stop", 0x04000226},
    {56, false, true, false, "tc_kbmedia_stop", 0x04000227},
    {57, false, true, false, "tc_kbmedia_stop", 0x0400022A},
    {162, false, false, true, "tc_key_off", 0x00000000},
    {163, false, false, true, "tc_shift", kNoHardwareCode},
    {164, false, false, true, "tc_fire", kNoHardwareCode},  // code by its own rule
    {166, false, false, true, "tc_snipe", 0x00008140},
    {167, false, false, true, "tc_rgb", 0x00000250},
    {168, false, false, true, "tc_dpiadd", 0x00002040},
    {169, false, false, true, "tc_dpisub", 0x00004040},
    {170, false, false, true, "tc_dpiloop", 0x00000040},
    {171, false, false, true, "tc_msg31", 0x00000650},
    {176, false, false, true, "tc_msg16", 0x0B000300},
    {177, false, false, true, "tc_msg17", 0x12000300},
    {178, false, false, true, "tc_adv_str1", 0x0D000100},
    {179, false, false, true, "tc_adv_str2", 0x0D000200},
    {180, false, false, true, "tc_msg18", 0x0D000300},
    {181, false, false, true, "tc_adv_str5", 0x0C000100},
    {182, false, false, true, "tc_adv_str6", 0x0C000200},
    {183, false, false, true, "tc_msg19", 0x0C000300},
};

const FunctionRow* functionRow(std::uint32_t id) {
  for (const FunctionRow& r : kFunctions)
    if (r.id == id) return &r;
  return nullptr;
}

struct UsagePair {
  std::uint8_t vk, usage;
};
// Virtual-key code to HID keyboard usage; letters and digits by rule below.
constexpr UsagePair kUsages[] = {
    {0xE2, 0x64}, {0x1B, 0x29}, {0x70, 0x3A}, {0x71, 0x3B}, {0x72, 0x3C}, {0x73, 0x3D}, {0x74, 0x3E},
    {0x75, 0x3F}, {0x76, 0x40}, {0x77, 0x41}, {0x78, 0x42}, {0x79, 0x43}, {0x7A, 0x44}, {0x7B, 0x45},
    {0x30, 0x27}, {0x09, 0x2B}, {0x14, 0x39}, {0x0D, 0x28}, {0x08, 0x2A}, {0x20, 0x2C}, {0xDB, 0x2F},
    {0xDD, 0x30}, {0xDC, 0x31}, {0xBA, 0x33}, {0xDE, 0x34}, {0xBC, 0x36}, {0xBE, 0x37}, {0xBF, 0x38},
    {0xC0, 0x35}, {0xBB, 0x2E}, {0xBD, 0x2D}, {0x2C, 0x46}, {0x91, 0x47}, {0x13, 0x48}, {0x2D, 0x49},
    {0x24, 0x4A}, {0x21, 0x4B}, {0x2E, 0x4C}, {0x23, 0x4D}, {0x22, 0x4E}, {0x26, 0x52}, {0x28, 0x51},
    {0x25, 0x50}, {0x27, 0x4F}, {0x61, 0x59}, {0x62, 0x5A}, {0x63, 0x5B}, {0x64, 0x5C}, {0x65, 0x5D},
    {0x66, 0x5E}, {0x67, 0x5F}, {0x68, 0x60}, {0x69, 0x61}, {0x60, 0x62}, {0x6B, 0x57}, {0x6D, 0x56},
    {0x6A, 0x55}, {0x6F, 0x54}, {0x90, 0x53}, {0xFD, 0x58}, {0x6E, 0x63}, {0xA2, 0xE0}, {0xA0, 0xE1},
    {0xA4, 0xE2}, {0x5B, 0xE3}, {0xA3, 0xE4}, {0xA1, 0xE5}, {0xA5, 0xE6}, {0x5C, 0xE7}, {0x5D, 0x65},
};

// Key names that do not depend on the keyboard layout.
struct NamePair {
  std::uint8_t vk;
  const char16_t* name;
};
constexpr NamePair kKeyNames[] = {
    {0x08, u"Backspace"}, {0x09, u"Tab"},        {0x0C, u"Clr"},         {0x0D, u"Enter"},     {0x2B, u"Enter"},
    {0xFD, u"Enter"},     {0x10, u"Shift"},      {0xA0, u"Shift"},       {0x11, u"Ctrl"},      {0xA2, u"Ctrl"},
    {0x12, u"Alt"},       {0xA4, u"Alt"},        {0x13, u"Pause"},       {0x14, u"CapsLock"},  {0x1B, u"Esc"},
    {0x20, u"Space"},     {0x21, u"PageUp"},     {0x22, u"PageDown"},    {0x23, u"End"},       {0x24, u"Home"},
    {0x25, u"Left"},      {0x26, u"Up"},         {0x27, u"Right"},       {0x28, u"Down"},      {0x29, u"Select"},
    {0x2A, u"Print"},     {0x2C, u"PrintScreen"}, {0x2D, u"Insert"},     {0x2E, u"Delete"},    {0x2F, u"Help"},
    {0x5B, u"Win"},       {0x5C, u"R_Win"},      {0x5D, u"App"},         {0x6A, u"Num *"},     {0x6B, u"Num +"},
    {0x6C, u"\\"},        {0x6D, u"Num -"},      {0x6E, u"Num ."},       {0x6F, u"Num /"},     {0x90, u"NumLock"},
    {0x91, u"Scroll Lock"}, {0xA1, u"Shift_R"},  {0xA3, u"R_Ctrl"},      {0xA5, u"R_Alt"},     {0xE2, u"<"},
    {0xFA, u"Fn"},        {0xFF, u""},
};

// Texts of the mouse codes 240..246 in a fire function's name.
constexpr const char* kFireMouseTexts[] = {"tc_click", "tc_menu",  "tc_middle", "tc_msg26",
                                           "tc_msg27", "tc_msg29", "tc_msg30"};

// Usage of the key a fire function fires: modifiers by their own table,
// the mouse codes as they are.
std::uint32_t fireUsage(std::uint8_t k) {
  switch (k) {
    case 0x5B: return 0xE3;
    case 0x5C: return 0xE7;
    case 0xA0: return 0xE1;
    case 0xA1: return 0xE5;
    case 0xA2: return 0xE0;
    case 0xA3: return 0xE4;
    case 0xA4: return 0xE2;
    case 0xA5: return 0xE6;
    default: return (k >= 0xF0 && k <= 0xF6) ? k : usageOfKey(k);
  }
}

}  // namespace

std::uint8_t usageOfKey(std::uint32_t vk) {
  if (vk >= 0x41 && vk <= 0x5A) return static_cast<std::uint8_t>(0x04 + (vk - 0x41));
  if (vk >= 0x31 && vk <= 0x39) return static_cast<std::uint8_t>(0x1E + (vk - 0x31));
  for (const UsagePair& p : kUsages)
    if (p.vk == vk) return p.usage;
  return 0;
}

std::int64_t keyinfo_to_hardware_code(const KeyFunction& f, const MacroList& macros, const LumeraConfig& config) {
  const std::uint32_t id = f.id();
  switch (f.type()) {
    case kTypeMouse:
    case kTypeMedia:
    case kTypeMedia2:
    case kTypeSpecial: {
      if (f.type() == kTypeSpecial && id == kIdFire) {
        const std::uint32_t p0 = f.dwParam & 0xFF, p1 = (f.dwParam >> 8) & 0xFF;
        const auto k = static_cast<std::uint8_t>(f.dwParam >> 16);
        return (p0 << 24) + (p1 << 16) + (fireUsage(k) << 8) + 0x20;
      }
      const FunctionRow* row = functionRow(id);
      if (!row) return kNoHardwareCode;
      const bool carried = f.type() == kTypeMouse ? row->mouse : f.type() == kTypeSpecial ? row->special : row->media;
      return carried ? row->code : kNoHardwareCode;
    }
    case kTypeKey: {
      const std::uint32_t m = f.stCombo.mask, v = f.stCombo.VkCode1;
      if (m == 0 && v == kVkFn) return 0x20000000;
      if (v == 0xFB || v == 0xFC || v == 0xFE || v == 0xFF) {
        Log("pKey->stCombo.VkCode1 = %X", v);
        const std::size_t slot = v == 0xFB ? 0 : v == 0xFC ? 1 : v == 0xFE ? 2 : 3;
        return config.options().CustomCd[slot];
      }
      if (m != 0 && v == 0) {
        for (std::uint32_t bit = 0; bit < 8; ++bit)
          if (m == (1u << bit)) return 0x060000E0 + bit;
        return 0;
      }
      return m * 256 + usageOfKey(v);
    }
    case kTypeMacro: {
      const MacroRecord* macro = findMacro(macros, f.nMacroId);
      if (!macro) {
        Log("keyinfo_to_hardware_code can't find macro id 0x%x", f.nMacroId);
        return kNoHardwareCode;
      }
      switch (macro->repeatMode) {
        case 0: return 0x10000100;
        case 1: return 0x10000500;
        case 2: return 0x10000400;
        default: return 0x10000000;
      }
    }
    case kTypeRaw: return f.dwParam;
    default: return kNoHardwareCode;
  }
}

std::u16string KeyName(std::uint32_t vk, const TextLookup& texts, const KeyCharSource& chars) {
  for (const NamePair& p : kKeyNames)
    if (p.vk == vk) return p.name;
  if (vk >= 0x30 && vk <= 0x39) return std::u16string(1, static_cast<char16_t>(vk));
  if (vk >= 0x60 && vk <= 0x69) return u"Num " + std::u16string(1, static_cast<char16_t>(u'0' + (vk - 0x60)));
  if (vk >= 0x70 && vk <= 0x7B) return platform::formatU16("F%d", vk - 0x6F);
  if (vk == 0xF0) return texts.text("tc_click");
  if (vk == 0xF1) return texts.text("tc_menu");
  if (vk == 0xF2) return texts.text("tc_middle");
  const char16_t c = vk <= 0xFF ? chars.charOf(vk) : 0;
  if (c == 0) return {};
  const char16_t upper = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
  return std::u16string(1, upper);
}

std::u16string KeyFunctionName(const KeyFunction& f, const MacroList& macros, const TextLookup& texts,
                               const KeyCharSource& chars) {
  switch (f.type()) {
    case kTypeMacro: {
      const MacroRecord* macro = findMacro(macros, f.nMacroId);
      return platform::formatU16(u"%s - %s", texts.text("tc_msg25"), macro ? macroName(*macro) : std::u16string());
    }
    case kTypeKey: {
      const std::uint8_t m = f.stCombo.mask;
      if (m == 0 && f.stCombo.VkCode1 == kVkFn) return u"Fn";
      static const std::pair<std::uint8_t, const char16_t*> kParts[] = {
          {kModLCtrl, u"Ctrl"},   {kModLAlt, u"Alt"},     {kModLShift, u"Shift"},   {kModLWin, u"Win"},
          {kModRCtrl, u"R_Ctrl"}, {kModRAlt, u"R_Alt"},   {kModRShift, u"R_Shift"}, {kModRWin, u"R_Win"},
      };
      std::u16string name;
      auto add = [&name](std::u16string_view part) {
        if (part.empty()) return;
        if (!name.empty()) name += u" + ";
        name += part;
      };
      for (const auto& [bit, text] : kParts)
        if (m & bit) add(text);
      if (f.stCombo.VkCode1 != 0) add(KeyName(f.stCombo.VkCode1, texts, chars));
      if (f.stCombo.VkCode2 != 0) add(KeyName(f.stCombo.VkCode2, texts, chars));
      return name;
    }
    default: {
      if (f.id() == kIdFire) {
        const auto k = static_cast<std::uint8_t>(f.dwParam >> 16);
        const std::u16string key =
            (k >= 0xF0 && k <= 0xF6) ? texts.text(kFireMouseTexts[k - 0xF0]) : KeyName(k, texts, chars);
        return platform::formatU16(u"%s - %s", texts.text("tc_fire"), key);
      }
      const FunctionRow* row = functionRow(f.id());
      return row ? texts.text(row->textKey) : std::u16string();
    }
  }
}

}  // namespace lumera
