// Helpers of the Q350Config window tests: hand-built mouse and key events
// (offscreen delivers what it is given), pixels of what a widget draws, and
// a window that records the messages it gets.
#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/ui/message_window.h"

namespace q350test {

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons);
void click(QWidget* w, QPoint local);
// Clicks the widget that Qt finds under `local` of `top` (masks honoured),
// at that point; returns it (nullptr when nothing is there).
QWidget* clickAt(QWidget* top, QPoint local);
void sendKey(QWidget* w, QEvent::Type type, int qtKey, quint32 scanCode = 0, Qt::KeyboardModifiers mods = Qt::NoModifier,
             const QString& text = QString());
QColor pixelAt(QWidget* w, QPoint p);
// A flat picture of one colour.
QImage flat(QSize size, QColor colour);

class Recorder : public platform::MessageWindow {
 public:
  struct Got {
    unsigned message;
    platform::WPARAM w;
    platform::LPARAM l;
  };
  using platform::MessageWindow::MessageWindow;
  std::vector<Got> got;
  std::vector<Got> only(unsigned message) const;
  std::function<void(const Got&)> onGot;

 protected:
  bool onMessage(unsigned m, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& r) override;
};

}  // namespace q350test
