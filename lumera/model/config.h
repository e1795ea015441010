// Everything Lumera reads from its configuration files at start: the options
// of "cfg.ini", the key layout and its Fn layer, the gesture keys, the LED
// layout ("Led.ini" or "LedUK.ini") and the lighting effect table.
//
// One LumeraConfig object holds these tables. The program uses the process
// instance (theConfig()) filled once by DataInitialise(); tests and tools
// build their own. After loading, the tables are only read, from any thread;
// InitLedMatrix() re-reads the LED layout when a keyboard is found.
//
// Problems in the files are shown with showMessage() (services.h) and reading
// goes on with the documented defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lumera/model/records.h"

namespace platform {
class IniFile;
}

namespace lumera {

constexpr int kKeyCount = 132;      // key matrix positions and key layout records
constexpr int kGestureCount = 7;    // gesture keys
constexpr int kFnEntries = 48;      // Fn matrix entries per half
constexpr int kEffectCount = 16;    // lighting effect table entries
constexpr int kColourGroups = 5;    // per-key colour groups of a profile
constexpr int kPaletteSize = 7;     // colours of a lighting effect

// A colour reference 0x00BBGGRR (red in the low byte).
using Colour = std::uint32_t;
constexpr Colour rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | (g << 8) | (b << 16); }

struct Rect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};
struct Point {
  std::int32_t x = 0, y = 0;
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
  bool operator!=(const Point& o) const { return !(*this == o); }
};

// One entry of the lighting effect table ("LedOpt%d").
struct EffectOption {
  std::uint8_t code = 0;
  std::array<std::uint8_t, 5> flags{};
  std::array<Colour, kPaletteSize> colours{};
};

// The fixed parameters of the keyboard's macro buffers.
struct HwParam {
  std::int32_t nShortestDelay = 1;
  std::int32_t nMacroBufferSize = 256;
  std::int32_t nMacroBufferNum = 32;
  std::int32_t nMaxLoopCount = 65535;
  std::int32_t nLongestDelay = 0xFF00;
  std::int32_t nMaxEvents = 127;
};

// The outline of the one key that is not a rectangle ("UnRectKey").
struct UnRectKey {
  bool used = false;          // more than 3 pairs given
  std::int32_t keyIndex = 0;
  std::vector<Point> outline;  // the pairs before the x of 0 that ends them
};

// An option value as read, for listing them (kavroctl).
struct OptionValue {
  enum class Kind { Integer, Text, Colour, Numbers };
  Kind kind = Kind::Integer;
  std::int64_t number = 0;
  std::u16string text;
  std::vector<std::int64_t> numbers;  // lists, points and rectangles (left, top, right, bottom)
};
struct OptionEntry {
  std::string key;
  OptionValue value;
};

// The values of section "OPT", named as their keys.
struct Options {
  std::int32_t Debug = 0;
  std::int32_t Suwnd = 0;
  std::int32_t MatchStr = 0;
  std::int32_t Macro_Opt_X = 350;
  std::int32_t BtnTips = 0;
  Rect rcKB{280, 180, 954, 365};
  std::int32_t ApplyNow = 0;
  std::int32_t GameIndex = 16;
  std::int32_t VID = 0;
  std::int32_t PID = 0;
  std::u16string USBString;
  std::u16string appdir;
  std::u16string Title;
  std::int32_t Pop = 0;
  std::int32_t TrayIcon = 2;
  std::int32_t GoWithNoDev = 0;
  std::int32_t Gest = 0;
  std::int32_t ShowEffect = 1;
  std::int32_t LedMask = 0;
  std::int32_t KbLayout = 0;
  std::int32_t ModifyOpt = 1;
  std::int32_t MaxEftKeyIndex = 132;
  std::int32_t MacroDir = 0;
  std::int32_t MacroHasMsKey = 0;
  std::int32_t ListTrans = 0;
  Rect rcMacroList{30, 76, 180, 326};
  Rect rcKeyList{190, 76, 320, 326};
  Rect rcLED{19, 284, 261, 536};
  Point ptMin{932, 14}, ptExit{953, 14}, ptProfile{30, 87}, ptMacro{30, 219}, ptReset{30, 575},
      ptApplyBtn{758, 581};
  std::array<EffectOption, kEffectCount> effects{};  // "LedOpt1".."LedOpt16"
  std::array<std::array<std::uint8_t, kKeyCount>, kColourGroups> VezerivKey{};
  Colour clrVezeriv = 0x0000FF;
  std::array<std::uint8_t, 40> LED{};  // first byte 0xFF: not given
  Colour clrGrid = 0xFFFF00;
  std::int32_t GridIndex = 3;
  std::int32_t GameModeNumHw = 1;
  std::array<std::uint8_t, 6> LEDParam{0x03, 0x04, 0x00, 0x04, 0x00, 0x00};
  UnRectKey unRectKey;
  std::array<std::uint8_t, 10> KeyNotRec{};  // 0xFF: unused
  std::array<std::uint32_t, 4> CustomCd{};   // codes for the key codes 0xFB, 0xFC, 0xFE, 0xFF
  std::array<std::uint8_t, 6> PSD{};
  Colour ClrMask = 0xFFFFFF;
  Colour Txt_clr = 0;
  Colour Btn_txt_clr_nr = 0, Btn_txt_clr_ov = 0, Btn_txt_clr_dn = 0;
  Colour Menu_txt_clr_nr = 0, Menu_txt_clr_ov = 0, Menu_txt_clr_dn = 0;
  Colour LstBox_txt_clr_nr = 0, LstBox_txt_clr_dn = 0, LstBox_bkg_clr = 0, LstBox_item_clr = 0;
  Colour ClrKeyOv = 0x0000FF, ClrKeyDn = 0x0000FF;

  Options();
};

// The built-in lighting effect table, used for every "LedOpt%d" not given.
EffectOption defaultEffectOption(int entry);  // entry 0..15

class LumeraConfig {
 public:
  LumeraConfig();

  // Data initialisation: resets the tables, reads "cfg.ini" (options, which
  // also set up the process log; key layout), the LED layout for version 0,
  // the Fn layer, the gesture keys when "Gest" is set, and the macro buffer
  // parameters. Never fails; a missing file reads as all keys missing.
  // Tools that only inspect a configuration pass setUpLog = false, so that
  // its "Debug" option does not send their output to a log.
  void load(const std::string& programFolder, bool setUpLog = true);

  // Re-reads the LED layout: "LedUK.ini" for a keyboard version of 0x201 or
  // above when that file exists, else "Led.ini".
  void initLedMatrix(unsigned version);

  const std::string& programFolder() const { return folder_; }
  const Options& options() const { return options_; }
  Options& options() { return options_; }
  const std::vector<OptionEntry>& optionEntries() const { return optionEntries_; }

  const std::array<KeyInfo, kKeyCount>& keyLayout() const { return keyLayout_; }
  std::array<KeyInfo, kKeyCount>& keyLayout() { return keyLayout_; }
  // Key layout records read from section "KEY".
  int keyCount() const { return keyCount_; }
  const std::array<KeyInfo, kKeyCount>& ledLayout() const { return ledLayout_; }
  std::array<KeyInfo, kKeyCount>& ledLayout() { return ledLayout_; }
  int ledCount() const { return ledCount_; }
  void setLedCount(int n) { ledCount_ = n < 0 ? 0 : n > kKeyCount ? kKeyCount : n; }
  // The LED layout file read last (empty when none was found).
  const std::string& ledFile() const { return ledFile_; }
  const std::array<KeyInfo, kGestureCount>& gestureLayout() const { return gestureLayout_; }
  std::array<KeyInfo, kGestureCount>& gestureLayout() { return gestureLayout_; }
  const HwParam& hwParam() const { return hwParam_; }

  // Every key layout record back to "no function, matrix position 29".
  void resetKeyLayout();

 private:
  void readOptions(const platform::IniFile& ini, bool setUpLog);
  void readKeyLayout(const platform::IniFile& ini);
  void readFnLayer(const platform::IniFile& ini);
  void readGestures(const platform::IniFile& ini);
  void readLedLayout(const std::string& path);

  std::string folder_;
  Options options_;
  std::vector<OptionEntry> optionEntries_;
  std::array<KeyInfo, kKeyCount> keyLayout_{};
  int keyCount_ = 0;
  std::array<KeyInfo, kKeyCount> ledLayout_{};
  int ledCount_ = 0;
  std::string ledFile_;
  std::array<KeyInfo, kGestureCount> gestureLayout_{};
  HwParam hwParam_;
};

// The application-data folder: the user's local application-data folder and
// the "appdir" option ("pro.dct", "curid.dct" and the macro library).
std::string AppDataFolder(const LumeraConfig& config);

// The configuration of the running program.
LumeraConfig& theConfig();
// Data initialisation of the running program from its folder.
void DataInitialise(const std::string& programFolder);
// InitLedMatrix of the running program.
void InitLedMatrix(unsigned version);

// Number-list parsing as the option reader does it: comma-separated tokens,
// each wholly a number in `base` (10 or 16, optional sign, "0x" allowed in
// base 16, at most 32 bits); stops silently at the first other token or at
// `capacity` numbers.
std::vector<std::int64_t> parseNumberList(std::u16string_view text, int base, std::size_t capacity);

}  // namespace lumera
