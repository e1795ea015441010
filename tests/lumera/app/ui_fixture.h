// The program folder the Lumera window tests run in: small generated skin
// pictures (each state in its own flat colour, so the tests can tell from a
// pixel which picture was drawn), texts, the menu library, and helpers to
// click, drag and look.
#pragma once

#include <QColor>
#include <QMouseEvent>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/message_window.h"

namespace uitest {

// Flat colours of the generated pictures.
extern const QColor kNormal, kOver, kDown, kMainBackground, kBar;

// Lays out the program folder (skins, texts, libOrvane.so) and points the
// program folder there. Call once, with the application object alive.
void setUpProgramFolder();
std::string programFolder();
// Writes a flat picture into "skins/<name>" (replacing one).
void writeSkin(const QString& name, QSize size, QColor colour);
void removeSkin(const QString& name);

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons);
void click(QWidget* w, QPoint local);
void clickCentre(QWidget* w);
// A key event as the X11 platform delivers it (with its native scan code).
void sendKey(QWidget* w, QEvent::Type type, int qtKey, quint32 scanCode, Qt::KeyboardModifiers mods = Qt::NoModifier);

// Saves the widget as "screenshots/<name>.png" beside the test program.
void saveShot(QWidget* w, const QString& name);
// The colour of one pixel of what the widget draws.
QColor pixelAt(QWidget* w, QPoint p);

// Runs `action` on the modal window titled `title` once it is open (checked
// from the event loop, for up to two seconds).
void whenOpen(const std::u16string& title, std::function<void(platform::MessageWindow*)> action);

// The visible skinned menu levels, top level first.
std::vector<QWidget*> menuLevels();

// A window that records the messages it gets.
class Recorder : public platform::MessageWindow {
 public:
  struct Got {
    unsigned message;
    platform::WPARAM w;
    platform::LPARAM l;
  };
  using platform::MessageWindow::MessageWindow;
  std::vector<Got> got;
  std::function<void(const Got&)> onGot;
  std::vector<Got> only(unsigned message) const;

 protected:
  bool onMessage(unsigned m, platform::WPARAM w, platform::LPARAM l, platform::LRESULT&) override;
};

// Message boxes shown through the platform message box.
struct ShownBox {
  std::u16string text, caption;
};
std::vector<ShownBox>& shownBoxes();

}  // namespace uitest
