// The event that carries a window message (number, wParam, lParam) inside
// the process. Header-only and built on QtCore alone, so that a library the
// programs load by name (the skinned menu) can post to a program's window
// with the very same event.
#pragma once

#include <QCoreApplication>
#include <QEvent>

#include "platform/ui/window_messages.h"

namespace platform {

class PostedMessage : public QEvent {
 public:
  // A fixed number in the user range: every module of the process, including
  // the libraries loaded by name, must agree on it without talking to each
  // other. kavro_platform_ui reserves it with QEvent::registerEventType.
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 0x2B1);

  PostedMessage(unsigned msg, WPARAM w, LPARAM l) : QEvent(kType), message(msg), wParam(w), lParam(l) {}

  unsigned message;
  WPARAM wParam;
  LPARAM lParam;
  // Filled by the receiver when the message is sent (not posted).
  LRESULT result = 0;
};

// Queues a message for any QObject. Thread-safe as long as the receiver
// outlives the call; for windows that may go away meanwhile use the
// WindowHandle form (windowMessenger().postMessage).
inline bool postMessageTo(QObject* receiver, unsigned msg, WPARAM w, LPARAM l) {
  if (!receiver) return false;
  QCoreApplication::postEvent(receiver, new PostedMessage(msg, w, l));
  return true;
}

// Delivers a message at once, on the receiver's thread (which must be the
// caller's), and returns the receiver's result.
inline LRESULT sendMessageTo(QObject* receiver, unsigned msg, WPARAM w, LPARAM l) {
  if (!receiver) return 0;
  PostedMessage ev(msg, w, l);
  QCoreApplication::sendEvent(receiver, &ev);
  return ev.result;
}

}  // namespace platform
