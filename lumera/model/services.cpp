#include "lumera/model/services.h"

#include "platform/keyboard_layout.h"

#include <atomic>

#include "platform/text.h"

namespace lumera {

namespace {

std::atomic<MessageBoxes*> gMessageBoxes{nullptr};

class KeysAsTexts final : public TextLookup {
 public:
  std::u16string text(std::string_view key) const override { return platform::toUtf16(key); }
};

class UsKeyChars final : public KeyCharSource {
 public:
  char16_t charOf(unsigned vk) const override { return platform::virtualKeyChar(vk); }
};

class SystemClock final : public Clock {
 public:
  platform::LocalTime now() const override { return platform::localTimeNow(); }
  void sleepMs(unsigned ms) const override { platform::sleepMs(ms); }
};

}  // namespace

void setMessageBoxes(MessageBoxes* handler) { gMessageBoxes.store(handler); }

void showMessage(std::u16string_view caption, std::u16string_view text, MessageIcon icon) {
  if (MessageBoxes* h = gMessageBoxes.load()) {
    h->show(caption, text, icon);
    return;
  }
  std::u16string line(caption);
  line += u": ";
  line += text;
  platform::debugOutput(std::u16string_view(line));
}

void showMessage(std::string_view caption, std::string_view text, MessageIcon icon) {
  showMessage(std::u16string_view(platform::toUtf16(caption)), std::u16string_view(platform::toUtf16(text)), icon);
}

const TextLookup& keysAsTexts() {
  static const KeysAsTexts instance;
  return instance;
}

const KeyCharSource& usKeyChars() {
  static const UsKeyChars instance;
  return instance;
}

const Clock& systemClock() {
  static const SystemClock instance;
  return instance;
}

}  // namespace lumera
