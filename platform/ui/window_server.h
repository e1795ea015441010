// Posting to a window of another process of the same user, found by its
// title: the window's process listens on a local socket named from the
// title (in the runtime folder), and a message sent there arrives at the
// window as a posted message. A second instance of a program wakes the
// first this way.
#pragma once

#include <QObject>
#include <QPointer>
#include <initializer_list>
#include <set>
#include <string>

#include "platform/ui/window_messages.h"

class QLocalServer;
class QLocalSocket;

namespace platform {

class MessageWindow;

// The socket path for a window title: the runtime folder, a fixed prefix and
// a hash of the case-folded title (titles may hold any character).
std::string windowServerPath(std::u16string_view title);

class WindowServer : public QObject {
  Q_OBJECT

 public:
  explicit WindowServer(QObject* parent = nullptr);
  ~WindowServer() override;

  // Starts listening for `title` and forwards the given message numbers to
  // `target` (other numbers are dropped: another process must not be able to
  // send arbitrary commands). A stale socket of a crashed run is removed
  // first, so only the process that holds the program's single-instance
  // lock may call this.
  bool listen(MessageWindow* target, std::u16string_view title, std::initializer_list<unsigned> allowed);
  void close();
  bool isListening() const;

 private:
  void onConnection();
  void onReadable(QLocalSocket* socket);

  QLocalServer* server_ = nullptr;
  QPointer<MessageWindow> target_;
  std::set<unsigned> allowed_;
};

// Sends one message to the window titled `title` in another process; false
// when no such window listens or the message could not be delivered within
// `timeoutMs`.
bool postToOtherProcess(std::u16string_view title, unsigned message, WPARAM w, LPARAM l, int timeoutMs = 1000);

// Whether a window of another process listens under `title`: it is sent
// WM_NULL, which no window forwards or acts on.
bool otherProcessHasWindow(std::u16string_view title, int timeoutMs = 200);

}  // namespace platform
