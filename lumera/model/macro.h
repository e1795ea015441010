// Macros: the in-memory record (its 1714-byte image is also the macro file's
// content), the hardware macro buffer encoding, the ".mck" file form and the
// start-up read of the macro library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lumera/model/services.h"

namespace lumera {

struct HwParam;

constexpr std::uint32_t kMacroMagic = 0xFAFB88A0;
constexpr std::size_t kMacroNameUnits = 40;  // 39 characters and the terminator
constexpr std::size_t kMacroEventSlots = 201;
constexpr std::size_t kMacroEventSize = 8;
constexpr std::size_t kMacroRecordSize = 106 + kMacroEventSlots * kMacroEventSize;
static_assert(kMacroRecordSize == 1714, "MacroRecord image is 1714 bytes");
// The most macros the library holds.
constexpr std::size_t kMaxMacros = 2000;

// The program's own key codes for mouse actions inside macros.
constexpr std::uint16_t kMouseLeft = 240, kMouseRight = 241, kMouseMiddle = 242, kMouseForward = 243,
                        kMouseBack = 244, kMouseScrollUp = 245, kMouseScrollDown = 246;

// Change bits of the macro editor; never stored.
constexpr std::uint32_t kMacroSettingsChanged = 0x40000000, kMacroEventsChanged = 0x80000000;

struct MacroEvent {
  std::uint16_t keyCode = 0;  // virtual-key code or 240..246; 0 ends the list
  std::uint16_t down = 0;     // 1 pressed, 0 released
  std::uint32_t delay = 0;    // milliseconds to wait after the event
};

struct MacroRecord {
  std::uint32_t dwMagicNumber = kMacroMagic;
  std::int32_t id = 0;
  std::uint32_t changeBits = 0;
  std::uint32_t autoDelay = 1;
  std::uint32_t repeatMode = 0;  // 0, 1 or 2
  std::array<char16_t, kMacroNameUnits> name{};
  std::uint32_t Macro_Buffer_ID = 0;  // 1..32 while an apply runs
  std::uint16_t loopCount = 1;
  std::array<MacroEvent, kMacroEventSlots> events{};
};

using MacroList = std::vector<MacroRecord>;

void writeMacroRecord(std::uint8_t* out, const MacroRecord& m);
MacroRecord readMacroRecord(const std::uint8_t* in);

std::u16string macroName(const MacroRecord& m);
// Sets the name, cut to 39 characters.
void setMacroName(MacroRecord& m, std::u16string_view name);
// The events before the first key code 0.
std::size_t macroEventCount(const MacroRecord& m);

// An id from the local time, after a 20 ms pause so that two ids made in a
// row differ: (hour mod 16) << 20 | minute << 14 | second << 8 | ms mod 256.
std::int32_t MakeMacroId(const Clock& clock = systemClock());
// A new record: magic, new id, auto-delay 1, repeat mode 0, the name, loop
// count 1, no events.
MacroRecord NewMacro(std::u16string_view name, const Clock& clock = systemClock());

// The first macro with the id, or nullptr.
const MacroRecord* findMacro(const MacroList& macros, std::int32_t id);

// HID usage a macro plays for a key code (right-hand modifiers play as the
// left-hand ones, the mouse codes 240..242 as themselves); 0 for none.
std::uint8_t macroUsage(std::uint32_t keyCode);

// Encodes one macro into a hardware macro buffer at `out` (room for
// nMacroBufferSize bytes): loop count (most significant byte first), the
// events in 2 or 6 bytes, two zero bytes. Returns the bytes written; 0 for a
// missing macro or buffer. Never writes more than nMacroBufferSize bytes.
int StMacro_To_HdMacro(const MacroRecord* macro, std::uint8_t* out);
int StMacro_To_HdMacro(const MacroRecord* macro, std::uint8_t* out, const HwParam& hw);

// ---- Macro files (".mck") ------------------------------------------------

enum class MacroFileStatus { Ok, CannotRead, WrongSize, WrongMagic, UnsupportedKey };

// True when every event's mouse code 240 + n has bit n set in `mouseMask`
// (the "MacroHasMsKey" option).
bool macroEventsAllowed(const MacroRecord& m, std::int32_t mouseMask);

// The file bytes of a record: its image with the change bits cleared, every
// byte rotated right by 2 bits.
std::string encodeMacroFile(const MacroRecord& m);
// Checks and decodes file bytes (exactly 1714, the magic, allowed mouse codes).
MacroFileStatus decodeMacroFile(std::string_view bytes, std::int32_t mouseMask, MacroRecord& out);
MacroFileStatus readMacroFile(const std::string& path, std::int32_t mouseMask, MacroRecord& out);
// Writes a macro file whole or not at all, creating missing folders. Errors
// are logged only.
bool writeMacroFile(const std::string& path, const MacroRecord& m);

// Reads every acceptable macro file under `root` into `out` (appended, at
// most kMaxMacros in all), in name order; sub-folders only with foldersOn
// (not those whose names begin with "." or "$", at most 20 levels). Files of
// 4 characters or fewer in name are skipped. Returns the number added.
std::size_t ReadMacroLibrary(const std::string& root, bool foldersOn, std::int32_t mouseMask, MacroList& out);

// The program's macro library: the "Mac" folder of its application-data
// folder, and the global macro list it is read into at start.
std::string macroLibraryFolder();
MacroList& theMacroList();
// Reads the program's library into theMacroList() (emptied first), with the
// mouse codes "MacroHasMsKey" of theConfig() allows.
std::size_t ReadMacroLibrary(bool foldersOn);

}  // namespace lumera
