// libTessivan.so: the keyboard hook as an application-wide Qt event filter.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include "outside/tessivan/tessivan_api.h"
#include "platform/ui/posted_message.h"
#include "platform/ui/virtual_keys.h"

#define TESSIVAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct HookKey {
  unsigned code = 0;
  unsigned flags = 0;
};

bool isExtended(const platform::VirtualKey& k) {
  switch (k.code) {
    case 0x11:  // Ctrl, Alt: the right-hand ones
    case 0x12: return k.right;
    case 0x0D: return k.keypad;  // keypad Enter
    case 0x21: case 0x22: case 0x23: case 0x24:  // PgUp PgDn End Home
    case 0x25: case 0x26: case 0x27: case 0x28:  // arrows
    case 0x2D: case 0x2E:                        // Insert Delete
      return !k.keypad;  // the keypad's own are not
    case 0x5B: case 0x5C: case 0x5D:  // Windows keys, menu key
    case 0x6F:                        // keypad '/'
    case 0x90:                        // NumLock
    case 0x2C:                        // Print
      return true;
    default: return false;
  }
}

HookKey hookKeyOf(const QKeyEvent& e) {
  const platform::VirtualKey k = platform::virtualKeyOf(e);
  HookKey h;
  h.code = k.code;
  if (k.code >= 0x10 && k.code <= 0x12) h.code = 0xA0 + 2 * (k.code - 0x10) + (k.right ? 1 : 0);
  if (isExtended(k)) h.flags |= TESSIVAN_FLAG_EXTENDED;
  // Alt is down for its own press and for keys typed while it is held (Qt
  // leaves a modifier key's own bit out of its event's modifiers).
  const bool release = e.type() == QEvent::KeyRelease;
  if ((k.code == 0x12 && !release) || (k.code != 0x12 && (e.modifiers() & Qt::AltModifier)))
    h.flags |= TESSIVAN_FLAG_ALTDOWN;
  if (release) h.flags |= TESSIVAN_FLAG_UP;
  return h;
}

class KeyHook final : public QObject {
 public:
  bool on = false;
  QPointer<QObject> receiver;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    const QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
      return QObject::eventFilter(watched, e);
    if (!on || !receiver) return false;
    // The same key event passes the filter once per object it is offered
    // to (the native window first, then the focus widget and its parents);
    // taking it at the first sight delivers every key exactly once.
    e->accept();
    if (t == QEvent::ShortcutOverride) return true;  // no shortcut fires meanwhile
    const HookKey h = hookKeyOf(*static_cast<QKeyEvent*>(e));
    if (h.code != 0 && h.code <= 0xFF)
      platform::sendMessageTo(receiver.data(), TESSIVAN_MSG_HOOK_KEY, h.code, static_cast<platform::LPARAM>(h.flags));
    return true;
  }
};

QPointer<KeyHook>& hook() {
  static QPointer<KeyHook> h;
  return h;
}

}  // namespace

TESSIVAN_EXPORT int installhook(void) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return 0;
  if (!hook()) {
    // Owned by the application, so it goes with it even when nobody
    // removes it.
    hook() = new KeyHook;
    hook()->setParent(app);
    app->installEventFilter(hook().data());
  }
  return 1;
}

TESSIVAN_EXPORT int removehook(void) {
  if (!hook()) return 0;
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(hook().data());
  delete hook().data();
  return 1;
}

TESSIVAN_EXPORT void SetHookStatus(int on, int /*reserved*/) {
  if (hook()) hook()->on = on != 0;
}

TESSIVAN_EXPORT void SetReciveWindow(void* window) {
  if (hook()) hook()->receiver = static_cast<QObject*>(window);
}
