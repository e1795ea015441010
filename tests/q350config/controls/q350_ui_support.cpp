#include "tests/q350config/controls/q350_ui_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace q350test {

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint local) {
  sendMouse(w, QEvent::MouseButtonPress, local, Qt::LeftButton, Qt::LeftButton);
  sendMouse(w, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

QWidget* clickAt(QWidget* top, QPoint local) {
  QWidget* target = top->childAt(local);
  if (!target) target = top;
  click(target, target->mapFrom(top, local));
  return target == top ? nullptr : target;
}

void sendKey(QWidget* w, QEvent::Type type, int qtKey, quint32 scanCode, Qt::KeyboardModifiers mods,
             const QString& text) {
  QKeyEvent e(type, qtKey, mods, scanCode, 0, 0, text);
  QApplication::sendEvent(w, &e);
}

QColor pixelAt(QWidget* w, QPoint p) { return QColor(w->grab().toImage().pixel(p)); }

QImage flat(QSize size, QColor colour) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(colour);
  return img;
}

std::vector<Recorder::Got> Recorder::only(unsigned message) const {
  std::vector<Got> r;
  for (const Got& g : got)
    if (g.message == message) r.push_back(g);
  return r;
}

bool Recorder::onMessage(unsigned m, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& r) {
  got.push_back({m, w, l});
  if (onGot) onGot(got.back());
  r = 1;
  return true;
}

}  // namespace q350test
