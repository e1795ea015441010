// How the settings layer talks to the user and reads language texts.
//
// The settings code runs below the windows, so it shows its messages through
// a sink that the program's windows provide (the information dialog, or a
// plain message box with a caption) and reads the language file's texts
// through a lookup the language loader provides. Without a sink messages
// are dropped; without a lookup every text is empty, as with a language
// file that lacks the key.
#pragma once

#include <string>
#include <string_view>

namespace q350 {

enum class MessageStyle {
  InfoDialog,  // the program's information dialog, OK button only
  SystemBox,   // a plain message box with a caption and an OK button
};

struct UserMessage {
  MessageStyle style = MessageStyle::InfoDialog;
  std::u16string text;
  std::u16string caption;       // SystemBox only
  const void* owner = nullptr;  // owning window, when the caller named one
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows the message and returns when the user has closed it.
  virtual void show(const UserMessage& message) = 0;
};

class TextLookup {
 public:
  virtual ~TextLookup() = default;
  // The language text of a key such as "str_msg2"; empty when missing.
  virtual std::u16string text(std::string_view key) const = 0;
};

}  // namespace q350
