// The base of every window of the programs: a Qt widget that receives
// window messages (number, wParam, lParam) posted from any thread or sent
// on its own thread, dispatches them through its class's message map, runs
// numbered timers, runs modally with a result, can be found by its title
// and can be dragged by its background.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <map>
#include <string>

#include "platform/ui/posted_message.h"
#include "platform/ui/window_messages.h"

class QEventLoop;

namespace platform {

// One row of a class's message map: a message number and the member that
// handles it.
template <class T>
struct MessageEntry {
  unsigned message;
  LRESULT (T::*handler)(WPARAM, LPARAM);
};

// Looks `message` up in `map` and calls its handler; false when the map has
// no row for it (the caller then asks its base class).
template <class T, std::size_t N>
bool dispatchMessages(T* self, const MessageEntry<T> (&map)[N], unsigned message, WPARAM w, LPARAM l,
                      LRESULT& result) {
  for (const MessageEntry<T>& e : map) {
    if (e.message == message) {
      result = (self->*e.handler)(w, l);
      return true;
    }
  }
  return false;
}

class MessageWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MessageWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~MessageWindow() override;

  WindowHandle handle() const { return handle_; }
  // The control id a child reports to its parent (GetDlgCtrlID).
  int controlId() const { return controlId_; }
  void setControlId(int id) { controlId_ = id; }

  // Delivers a message now (caller's thread must be the window's).
  LRESULT sendMessage(unsigned message, WPARAM w = 0, LPARAM l = 0);
  // Queues a message; thread-safe.
  bool postMessage(unsigned message, WPARAM w = 0, LPARAM l = 0);

  // Numbered timers: WM_TIMER with wParam = id every `ms` milliseconds.
  // Setting an id that runs already restarts it with the new period.
  bool setWindowTimer(unsigned id, int ms);
  bool killWindowTimer(unsigned id);
  bool hasWindowTimer(unsigned id) const { return timers_.count(id) != 0; }

  // Runs the window modally: onInitDialog(), then shows it and processes
  // events until endDialog(); returns endDialog's result. A dialog ended
  // inside onInitDialog() is never shown. Returns -1 when it runs already.
  int doModal();
  void endDialog(int result);
  bool isRunningModal() const { return modalActive_; }

  // Dragging the window by a left-button press on this widget's background
  // (where no child widget takes the click).
  void setBackgroundDrag(bool on) { backgroundDrag_ = on; }
  bool backgroundDrag() const { return backgroundDrag_; }

  // The window of this process for a handle (user-interface thread only);
  // nullptr when it is gone.
  static MessageWindow* fromHandle(WindowHandle h);

 protected:
  // The class's message map. Derived classes dispatch their own map and
  // fall back on their base class; unhandled messages go to defaultMessage.
  virtual bool onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result);
  // WM_CLOSE ends a modal run with IDCANCEL or closes the window.
  virtual LRESULT defaultMessage(unsigned message, WPARAM w, LPARAM l);
  // Called by doModal before the window is shown.
  virtual void onInitDialog() {}

  bool event(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  LRESULT windowProc(unsigned message, WPARAM w, LPARAM l);
  void updateRegistry();

  WindowHandle handle_ = 0;
  int controlId_ = 0;
  std::map<unsigned, int> timers_;  // window timer id -> QObject timer id
  bool modalActive_ = false;
  bool modalEnded_ = false;
  int modalResult_ = IDCANCEL;
  QEventLoop* loop_ = nullptr;
  bool backgroundDrag_ = false;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace platform
