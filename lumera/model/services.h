// What the model needs from outside, as small interfaces the program fills
// in: message boxes, texts by key, and the local time. The model itself has
// no window and no text table, so it can run in kavroctl and in tests.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace lumera {

// ---- Message boxes ---------------------------------------------------------

enum class MessageIcon { None, Information, Warning, Error };

// Shows a message to the user. The program installs a real dialog; kavroctl
// prints "Caption: text" on standard error. May be called from any thread
// (the apply worker reports through it too), so implementations marshal to
// their own thread where they need to.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void show(std::u16string_view caption, std::u16string_view text, MessageIcon icon) = 0;
};

// Installs the process-wide handler (nullptr: messages go to the debugger
// output as "Caption: text"). The handler must outlive its installation.
void setMessageBoxes(MessageBoxes* handler);
// Shows a message through the installed handler.
void showMessage(std::u16string_view caption, std::u16string_view text,
                 MessageIcon icon = MessageIcon::None);
void showMessage(std::string_view caption, std::string_view text, MessageIcon icon = MessageIcon::None);

// ---- Texts ----------------------------------------------------------------

// The program's text table: a "tc_" key to its text in the user's language.
class TextLookup {
 public:
  virtual ~TextLookup() = default;
  virtual std::u16string text(std::string_view key) const = 0;
};

// A lookup that answers every key with the key itself; for logs and tools
// that have no text table.
const TextLookup& keysAsTexts();

// The character a virtual key produces in the keyboard layout, for key names
// that are not fixed. The program can plug the desktop's layout in; the
// default answers as a US layout does and 0 for keys without a character.
class KeyCharSource {
 public:
  virtual ~KeyCharSource() = default;
  virtual char16_t charOf(unsigned virtualKey) const = 0;
};
const KeyCharSource& usKeyChars();

// ---- Time -----------------------------------------------------------------

// The local time and pauses, so that ids made from the time are testable.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual platform::LocalTime now() const = 0;
  virtual void sleepMs(unsigned ms) const = 0;
};
const Clock& systemClock();

}  // namespace lumera
