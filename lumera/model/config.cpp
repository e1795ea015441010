#include "lumera/model/config.h"

#include <optional>

#include "lumera/model/log.h"
#include "lumera/model/services.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace lumera {

namespace {

// A real configuration file is a few kilobytes; a larger one is read as its
// first megabyte, which keeps every lookup cheap even for a garbage file.
constexpr std::size_t kMaxConfigBytes = 1u << 20;
// Lines of section "KEY" looked at, at most. Lines with a bad matrix index do
// not fill a record, so without a bound a file of such lines would be walked
// to its end with one lookup per line.
constexpr int kMaxKeyLines = 1024;
// Strings of section "OPT" hold at most 29 characters (a 30-unit buffer).
constexpr std::size_t kStringUnits = 30;

const char kOpt[] = "OPT";

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view trim(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Comma-separated tokens, blanks trimmed. An empty value has no tokens, and
// the empty token after a trailing comma is not one.
std::vector<std::u16string_view> tokens(std::u16string_view text) {
  std::vector<std::u16string_view> out;
  text = trim(text);
  if (text.empty()) return out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t comma = text.find(u',', pos);
    out.push_back(trim(text.substr(pos, comma == std::u16string_view::npos ? std::u16string_view::npos : comma - pos)));
    if (comma == std::u16string_view::npos) break;
    pos = comma + 1;
  }
  if (out.size() > 1 && out.back().empty()) out.pop_back();
  return out;
}

// A token that is wholly a number: optional sign, "0x" allowed in base 16,
// magnitude within 32 bits.
bool parseNumber(std::u16string_view tok, int base, std::int64_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < tok.size() && (tok[i] == u'+' || tok[i] == u'-')) negative = tok[i++] == u'-';
  if (base == 16 && i + 1 < tok.size() && tok[i] == u'0' && (tok[i + 1] == u'x' || tok[i + 1] == u'X')) i += 2;
  if (i >= tok.size()) return false;
  std::uint64_t v = 0;
  for (; i < tok.size(); ++i) {
    const char16_t c = tok[i];
    unsigned d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return false;
    v = v * static_cast<unsigned>(base) + d;
    if (v > 0xFFFFFFFFu) return false;
  }
  value = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
  return true;
}

// A layout line: up to `count` numbers, number i in bases[i]. Numbers not
// given keep what `values` held. A token that is not a number shows
// "Data parse error!" and ends the line.
void parseLayoutLine(std::u16string_view text, const int* bases, int count, std::int64_t* values) {
  const std::vector<std::u16string_view> toks = tokens(text);
  for (int i = 0; i < count && i < static_cast<int>(toks.size()); ++i) {
    if (!parseNumber(toks[static_cast<std::size_t>(i)], bases[i], values[i])) {
      showMessage("Error", "Data parse error!");
      return;
    }
  }
}

std::uint8_t byteOf(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint32_t u32Of(std::int64_t v) { return static_cast<std::uint32_t>(v); }
std::int32_t i32Of(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// The reader of section "OPT". It records every value it reads, in order.
class OptionReader {
 public:
  OptionReader(const platform::IniFile& ini, std::vector<OptionEntry>& entries) : ini_(ini), entries_(entries) {}

  // The value, or nothing when the key is missing or empty.
  std::optional<std::u16string> raw(const std::string& key) const {
    std::optional<std::u16string> v = ini_.value(kOpt, key);
    if (v && trim(*v).empty()) v.reset();
    return v;
  }

  std::int32_t integer(const std::string& key, std::int32_t def) {
    const std::int32_t v = ini_.getInt(kOpt, key, def);
    recordNumber(key, OptionValue::Kind::Integer, v);
    return v;
  }

  std::u16string text(const std::string& key) {
    std::u16string v = ini_.getString(kOpt, key, u"", kStringUnits);
    OptionValue ov;
    ov.kind = OptionValue::Kind::Text;
    ov.text = v;
    entries_.push_back({key, ov});
    return v;
  }

  // Three decimal numbers r, g, b; the ones not given are 0. Each is taken
  // as a byte so that a wrong number cannot spill into the next component.
  Colour colour(const std::string& key, Colour def) {
    Colour c = def;
    if (const auto v = raw(key)) {
      const std::vector<std::int64_t> n = parseNumberList(*v, 10, 3);
      std::uint32_t part[3] = {0, 0, 0};
      for (std::size_t i = 0; i < n.size(); ++i) part[i] = byteOf(n[i]);
      c = rgb(part[0], part[1], part[2]);
    }
    recordNumber(key, OptionValue::Kind::Colour, c);
    return c;
  }

  Point point(const std::string& key, Point def) {
    Point p = def;
    if (const auto v = raw(key)) {
      const std::vector<std::int64_t> n = parseNumberList(*v, 10, 3);
      if (n.size() == 2)
        p = {i32Of(n[0]), i32Of(n[1])};
      else
        showMessage("Error", "Wrong POINT num");
    }
    recordNumbers(key, {p.x, p.y});
    return p;
  }

  // Four decimal numbers; `sized` reads them as x, y, width, height. Answers
  // nothing when the key is missing, `wrong` when the count is not 4.
  std::optional<Rect> rect(const std::string& key, bool sized, bool& wrong) {
    wrong = false;
    const auto v = raw(key);
    if (!v) return std::nullopt;
    const std::vector<std::int64_t> n = parseNumberList(*v, 10, 5);
    if (n.size() != 4) {
      showMessage("Error", "Wrong rect num");
      wrong = true;
      return std::nullopt;
    }
    Rect r{i32Of(n[0]), i32Of(n[1]), i32Of(n[2]), i32Of(n[3])};
    if (sized) {
      r.right = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.left) + static_cast<std::uint32_t>(r.right));
      r.bottom = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.top) + static_cast<std::uint32_t>(r.bottom));
    }
    return r;
  }

  void recordRect(const std::string& key, const Rect& r) { recordNumbers(key, {r.left, r.top, r.right, r.bottom}); }

  // A number list; nothing when the key is missing or empty.
  std::optional<std::vector<std::int64_t>> list(const std::string& key, int base, std::size_t capacity) {
    const auto v = raw(key);
    if (!v) return std::nullopt;
    return parseNumberList(*v, base, capacity);
  }

  // A list of exactly N numbers (base 16) into `out`; any other count shows
  // `error` and keeps `out` as it was.
  template <std::size_t N>
  void exactBytes(const std::string& key, std::array<std::uint8_t, N>& out, const char* error) {
    if (const auto v = list(key, 16, N + 1)) {
      if (v->size() == N) {
        for (std::size_t i = 0; i < N; ++i) out[i] = byteOf((*v)[i]);
      } else {
        showMessage("Error", error);
      }
    }
    recordList(key, out);
  }

  // Up to N numbers into the front of `out`; the rest keep their defaults.
  template <typename T, std::size_t N>
  void leadingValues(const std::string& key, int base, std::array<T, N>& out) {
    if (const auto v = list(key, base, N)) {
      for (std::size_t i = 0; i < v->size(); ++i) out[i] = static_cast<T>((*v)[i]);
    }
    recordList(key, out);
  }

  template <typename Container>
  void recordList(const std::string& key, const Container& values) {
    recordNumbers(key, std::vector<std::int64_t>(values.begin(), values.end()));
  }

 private:
  void recordNumber(const std::string& key, OptionValue::Kind kind, std::int64_t v) {
    OptionValue ov;
    ov.kind = kind;
    ov.number = v;
    entries_.push_back({key, ov});
  }
  void recordNumbers(const std::string& key, std::vector<std::int64_t> v) {
    OptionValue ov;
    ov.kind = OptionValue::Kind::Numbers;
    ov.numbers = std::move(v);
    entries_.push_back({key, ov});
  }

  const platform::IniFile& ini_;
  std::vector<OptionEntry>& entries_;
};

constexpr Colour kEffectPalette[kPaletteSize] = {0x0000FF, 0xFF0000, 0x00FF00, 0xFF0080,
                                                 0x03C6FA, 0x6A03FA, 0xFA00FA};

struct EffectDefault {
  std::uint8_t code;
  std::uint8_t flags[5];
};
constexpr EffectDefault kEffectDefaults[kEffectCount] = {
    {1, {0, 1, 0, 0, 1}},  {2, {1, 1, 0, 0, 0}},  {0, {1, 1, 0, 1, 1}},  {17, {1, 0, 0, 0, 0}},
    {0, {1, 1, 0, 1, 1}},  {0, {1, 1, 0, 1, 1}},  {0, {1, 1, 0, 0, 0}},  {7, {1, 0, 0, 0, 0}},
    {13, {1, 0, 0, 0, 0}}, {12, {1, 1, 0, 1, 1}}, {0, {1, 1, 0, 1, 1}},  {15, {1, 1, 0, 1, 1}},
    {9, {1, 1, 0, 1, 1}},  {5, {1, 1, 0, 1, 1}},  {3, {1, 1, 0, 0, 0}},  {16, {1, 1, 0, 0, 0}},
};

// Key function of a "KEY" or LED layout line. `ledLine` follows the LED
// layout's rule for modifier keys (their bit joins the given mask).
KeyFunction layoutFunction(const std::int64_t* v, bool ledLine) {
  KeyFunction f;
  for (int i = 0; i < 4; ++i) f.rcKey[static_cast<std::size_t>(i)] = i32Of(v[i]);
  const std::uint32_t type = u32Of(v[4]);
  const std::uint32_t code = u32Of(v[5]);
  const std::uint32_t extra = u32Of(v[6]);
  f.dwMatrixInx = i32Of(v[7]);
  if (type == 2) {
    f.dwFunID = 0x020000A0;
    f.stCombo.VkCode1 = byteOf(code);
    f.stCombo.mask = byteOf(extra);
    ModifierKey m{};
    if (modifierOfKey(code, m)) {
      f.stCombo.VkCode1 = 0;
      if (ledLine) {
        f.stCombo.mask |= m.bit;
      } else {
        f.stCombo.mask = m.bit;
        f.stCombo.canonical = m.canonical;
      }
    }
  } else if (type == 9) {
    f.dwFunID = 0x09000000u + (code & 0xFFFFFFu);
    f.dwParam = extra;
  } else {
    f.dwFunID = type * 0x1000000u + (code & 0xFFFFFFu);
  }
  return f;
}

// Key function of an "FN" or "GEST" line (type, code, extra). A modifier key
// named here is normalised like one in section "KEY": it is the code on this
// line that the user means, not the base key's.
KeyFunction layerFunction(const std::int64_t* v) {
  KeyFunction f;
  const std::uint32_t type = u32Of(v[0]);
  const std::uint32_t code = u32Of(v[1]);
  if (type == 2) {
    f.dwFunID = 0x020000A0;
    f.stCombo.VkCode1 = byteOf(code);
    ModifierKey m{};
    if (modifierOfKey(code, m)) {
      f.stCombo.VkCode1 = 0;
      f.stCombo.mask = m.bit;
      f.stCombo.canonical = m.canonical;
    }
  } else {
    f.dwFunID = type * 0x1000000u + (code & 0xFFu);
    f.dwParam = u32Of(v[2]);
  }
  return f;
}

std::string keyName(int n) { return "K" + std::to_string(n); }

}  // namespace

std::vector<std::int64_t> parseNumberList(std::u16string_view text, int base, std::size_t capacity) {
  std::vector<std::int64_t> out;
  for (std::u16string_view tok : tokens(text)) {
    if (out.size() >= capacity) break;
    std::int64_t v = 0;
    if (!parseNumber(tok, base, v)) break;
    out.push_back(v);
  }
  return out;
}

EffectOption defaultEffectOption(int entry) {
  EffectOption e;
  if (entry < 0 || entry >= kEffectCount) return e;
  const EffectDefault& d = kEffectDefaults[entry];
  e.code = d.code;
  for (int i = 0; i < 5; ++i) e.flags[static_cast<std::size_t>(i)] = d.flags[i];
  for (int i = 0; i < kPaletteSize; ++i) e.colours[static_cast<std::size_t>(i)] = kEffectPalette[i];
  return e;
}

Options::Options() {
  for (int i = 0; i < kEffectCount; ++i) effects[static_cast<std::size_t>(i)] = defaultEffectOption(i);
  LED[0] = 0xFF;
  KeyNotRec.fill(0xFF);
}

LumeraConfig::LumeraConfig() { resetKeyLayout(); }

void LumeraConfig::resetKeyLayout() {
  for (KeyInfo& k : keyLayout_) {
    k = KeyInfo{};
    k.funA.dwMatrixInx = 29;
  }
  keyCount_ = 0;
}

void LumeraConfig::load(const std::string& programFolder, bool setUpLog) {
  folder_ = programFolder;
  resetKeyLayout();
  options_ = Options{};
  optionEntries_.clear();
  gestureLayout_.fill(KeyInfo{});

  platform::IniFile ini;
  ini.load(platform::findFileNoCase(folder_, "cfg.ini"), kMaxConfigBytes);  // missing: all keys missing
  readOptions(ini, setUpLog);
  readKeyLayout(ini);
  initLedMatrix(0);
  readFnLayer(ini);
  if (options_.Gest != 0) readGestures(ini);

  hwParam_ = HwParam{};
  Log("hwParam.nMacroBufferSize = %d", hwParam_.nMacroBufferSize);
  Log("hwParam.nMacroBufferNum = %d", hwParam_.nMacroBufferNum);
}

void LumeraConfig::readOptions(const platform::IniFile& ini, bool setUpLog) {
  OptionReader r(ini, optionEntries_);
  Options& o = options_;
  bool wrong = false;

  o.Debug = r.integer("Debug", 0);
  if (setUpLog) LogSetup(o.Debug);
  o.Suwnd = r.integer("Suwnd", 0);
  o.MatchStr = r.integer("MatchStr", 0);
  o.Macro_Opt_X = r.integer("Macro_Opt_X", 350);
  o.BtnTips = r.integer("BtnTips", 0);
  o.rcKB = r.rect("rcKB", true, wrong).value_or(o.rcKB);  // a wrong count also keeps the default
  r.recordRect("rcKB", o.rcKB);
  o.ApplyNow = r.integer("ApplyNow", 0);
  o.GameIndex = r.integer("GameIndex", 16);
  o.VID = r.integer("VID", 0);
  o.PID = r.integer("PID", 0);
  o.USBString = r.text("USBString");
  o.appdir = r.text("appdir");
  if (o.appdir.empty()) showMessage("Error", "APPDATA=NULL");
  o.Title = r.text("Title");
  o.Pop = r.integer("Pop", 0);
  o.TrayIcon = r.integer("TrayIcon", 2);
  o.GoWithNoDev = r.integer("GoWithNoDev", 0);
  o.Gest = r.integer("Gest", 0);
  o.ShowEffect = r.integer("ShowEffect", 1);
  o.LedMask = r.integer("LedMask", 0);
  o.KbLayout = r.integer("KbLayout", 0);
  o.ModifyOpt = r.integer("ModifyOpt", 1);
  o.MaxEftKeyIndex = r.integer("MaxEftKeyIndex", 132);
  o.MacroDir = r.integer("MacroDir", 0);
  o.MacroHasMsKey = r.integer("MacroHasMsKey", 0);
  o.ListTrans = r.integer("ListTrans", 0);
  // The macro library's rectangles keep their defaults after a wrong count.
  o.rcMacroList = r.rect("rcMacroList", false, wrong).value_or(o.rcMacroList);
  r.recordRect("rcMacroList", o.rcMacroList);
  o.rcKeyList = r.rect("rcKeyList", false, wrong).value_or(o.rcKeyList);
  r.recordRect("rcKeyList", o.rcKeyList);
  if (const auto led = r.rect("rcLED", true, wrong))
    o.rcLED = *led;
  else if (wrong)
    o.rcLED = Rect{};
  r.recordRect("rcLED", o.rcLED);
  o.ptMin = r.point("ptMin", o.ptMin);
  o.ptExit = r.point("ptExit", o.ptExit);
  o.ptProfile = r.point("ptProfile", o.ptProfile);
  o.ptMacro = r.point("ptMacro", o.ptMacro);
  o.ptReset = r.point("ptReset", o.ptReset);
  o.ptApplyBtn = r.point("ptApplyBtn", o.ptApplyBtn);

  // The lighting effect table: code, five flags, and seven (r, g, b)
  // colours when more than six numbers are given. 27 numbers are taken so
  // that the seventh colour's blue is read like the others.
  for (int n = 1; n <= kEffectCount; ++n) {
    const auto v = r.list("LedOpt" + std::to_string(n), 10, 27);
    if (!v) continue;
    EffectOption& e = o.effects[static_cast<std::size_t>(n - 1)];
    std::int64_t b[27] = {};
    for (std::size_t i = 0; i < v->size(); ++i) b[i] = (*v)[i];
    e.code = byteOf(b[0]);
    for (int i = 0; i < 5; ++i) e.flags[static_cast<std::size_t>(i)] = byteOf(b[1 + i]);
    if (v->size() > 6) {
      for (int c = 0; c < kPaletteSize; ++c)
        e.colours[static_cast<std::size_t>(c)] = rgb(byteOf(b[6 + 3 * c]), byteOf(b[7 + 3 * c]), byteOf(b[8 + 3 * c]));
    }
  }

  for (int g = 0; g < kColourGroups; ++g) {
    const std::string key = "VezerivKey" + std::to_string(g + 1);
    const auto v = r.list(key, 16, kKeyCount);
    if (!v) continue;
    auto& keys = o.VezerivKey[static_cast<std::size_t>(g)];
    for (std::size_t i = 0; i < v->size(); ++i) keys[i] = byteOf((*v)[i]);
    r.recordList(key, *v);
  }
  o.clrVezeriv = r.colour("clrVezeriv", 0x0000FF);
  if (const auto v = r.list("LED", 16, o.LED.size())) {
    o.LED.fill(0);
    for (std::size_t i = 0; i < v->size(); ++i) o.LED[i] = byteOf((*v)[i]);
    r.recordList("LED", *v);
  }
  o.clrGrid = r.colour("clrGrid", 0xFFFF00);
  if (o.clrGrid == 0) o.clrGrid = 0xFFFF00;
  o.GridIndex = r.integer("GridIndex", 3);
  if (o.GridIndex < 0 || o.GridIndex > 6) showMessage("Error", "GridIndex Param error");
  o.GameModeNumHw = r.integer("GameModeNumHw", 1);
  r.exactBytes("LEDParam", o.LEDParam, "LED Param error");
  if (const auto v = r.list("UnRectKey", 10, 50)) {
    UnRectKey& u = o.unRectKey;
    if (!v->empty()) u.keyIndex = i32Of(v->front());
    for (std::size_t i = 1; i + 1 < v->size(); i += 2) {
      if ((*v)[i] == 0) break;
      u.outline.push_back({i32Of((*v)[i]), i32Of((*v)[i + 1])});
    }
    u.used = v->size() >= 1 && (v->size() - 1) / 2 > 3;
    if (u.used && u.outline.size() >= 2 && u.outline.front() != u.outline.back())
      showMessage("Error", "EnterPt[0]!=EnterPt[Last] ");
    r.recordList("UnRectKey", *v);
  }
  r.leadingValues("KeyNotRec", 10, o.KeyNotRec);
  r.leadingValues("CustomCd", 16, o.CustomCd);
  r.exactBytes("PSD", o.PSD, "Psd value error");
  o.ClrMask = r.colour("ClrMask", 0xFFFFFF);
  o.Txt_clr = r.colour("Txt_clr", 0);
  o.Btn_txt_clr_nr = r.colour("Btn_txt_clr_nr", 0);
  o.Btn_txt_clr_ov = r.colour("Btn_txt_clr_ov", 0);
  o.Btn_txt_clr_dn = r.colour("Btn_txt_clr_dn", 0);
  o.Menu_txt_clr_nr = r.colour("Menu_txt_clr_nr", 0);
  o.Menu_txt_clr_ov = r.colour("Menu_txt_clr_ov", 0);
  o.Menu_txt_clr_dn = r.colour("Menu_txt_clr_dn", 0);
  o.LstBox_txt_clr_nr = r.colour("LstBox_txt_clr_nr", 0);
  o.LstBox_txt_clr_dn = r.colour("LstBox_txt_clr_dn", 0);
  o.LstBox_bkg_clr = r.colour("LstBox_bkg_clr", 0);
  o.LstBox_item_clr = r.colour("LstBox_item_clr", 0);
  o.ClrKeyOv = r.colour("ClrKeyOv", 0x0000FF);
  if (o.ClrKeyOv == 0) o.ClrKeyOv = 0x0000FF;
  o.ClrKeyDn = r.colour("ClrKeyDn", 0x0000FF);
  if (o.ClrKeyDn == 0) o.ClrKeyDn = 0x0000FF;
}

void LumeraConfig::readKeyLayout(const platform::IniFile& ini) {
  static const int kBases[8] = {10, 10, 10, 10, 16, 16, 16, 10};
  std::int64_t v[8] = {};  // numbers a short line leaves out keep the previous line's
  int record = 0;
  for (int line = 1; record < kKeyCount && line <= kMaxKeyLines; ++line) {
    const std::optional<std::u16string> text = ini.value("KEY", keyName(line));
    if (!text) break;
    parseLayoutLine(*text, kBases, 8, v);
    if (v[7] < 0 || v[7] >= kKeyCount) {
      // The record stays free for the next line.
      showMessage("Warning", "Wrong matrix index value!");
      continue;
    }
    KeyInfo& k = keyLayout_[static_cast<std::size_t>(record++)];
    k.funA = layoutFunction(v, false);
  }
  keyCount_ = record;
}

void LumeraConfig::readFnLayer(const platform::IniFile& ini) {
  static const int kBases[3] = {16, 16, 16};
  int next = 0;
  for (int k = 0; k < kKeyCount; ++k) {
    KeyInfo& key = keyLayout_[static_cast<std::size_t>(k)];
    key.nFnIndex = -1;
    key.funB = KeyFunction{};
    const std::optional<std::u16string> text = ini.value("FN", keyName(k + 1));
    if (!text) continue;
    // The Fn matrix has 48 entries; a later index would land outside it. The
    // warning keeps its historical text, which users and logs know.
    if (next >= kFnEntries) {
      showMessage("Warning", "k>=64");
      continue;
    }
    std::int64_t v[3] = {};
    parseLayoutLine(*text, kBases, 3, v);
    key.nFnIndex = next++;
    key.funB = layerFunction(v);
  }
}

void LumeraConfig::readGestures(const platform::IniFile& ini) {
  static const int kBases[4] = {16, 16, 16, 10};
  for (int g = 0; g < kGestureCount; ++g) {
    const std::optional<std::u16string> text = ini.value("GEST", keyName(g + 1));
    if (!text) continue;
    std::int64_t v[4] = {};
    parseLayoutLine(*text, kBases, 4, v);
    KeyInfo& rec = gestureLayout_[static_cast<std::size_t>(g)];
    rec.funA = layerFunction(v);
    rec.funA.dwMatrixInx = i32Of(v[3]);
  }
}

void LumeraConfig::initLedMatrix(unsigned version) {
  ledCount_ = 0;
  for (KeyInfo& k : ledLayout_) k = KeyInfo{};
  std::string path;
  if (version >= 0x201) {
    const std::string uk = platform::findFileNoCase(folder_, "LedUK.ini");
    if (platform::fileExists(uk)) path = uk;
  }
  if (path.empty()) path = platform::findFileNoCase(folder_, "Led.ini");
  readLedLayout(path);
}

void LumeraConfig::readLedLayout(const std::string& path) {
  static const int kBases[8] = {10, 10, 10, 10, 16, 16, 16, 10};
  platform::IniFile ini;
  ledFile_ = ini.load(path, kMaxConfigBytes) ? path : std::string();
  std::int64_t v[8] = {};
  // The LED layout has as many records as the key layout can have.
  while (ledCount_ < kKeyCount) {
    const std::optional<std::u16string> text = ini.value("KEY", keyName(ledCount_ + 1));
    if (!text) break;
    parseLayoutLine(*text, kBases, 8, v);
    ledLayout_[static_cast<std::size_t>(ledCount_++)].funA = layoutFunction(v, true);
  }
}

std::string AppDataFolder(const LumeraConfig& config) {
  return platform::joinPath(platform::localAppDataFolder(), platform::toUtf8(config.options().appdir));
}

LumeraConfig& theConfig() {
  static LumeraConfig instance;
  return instance;
}

void DataInitialise(const std::string& programFolder) { theConfig().load(programFolder); }

void InitLedMatrix(unsigned version) { theConfig().initLedMatrix(version); }

}  // namespace lumera
