#include "q350config/controls/control_messages.h"

#include <QPainter>
#include <QWidget>

#include "platform/ui/posted_message.h"

namespace q350ui {

namespace {
QPointer<QObject>& hintTarget() {
  static QPointer<QObject> target;
  return target;
}
}  // namespace

QImage cutFace(const QImage& picture, const QRect& rect) {
  if (picture.isNull() || rect.isEmpty()) return QImage();
  if (picture.rect().contains(rect)) return picture.copy(rect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage face(rect.size(), QImage::Format_ARGB32_Premultiplied);
  face.fill(Qt::transparent);
  QPainter p(&face);
  p.drawImage(QPoint(0, 0), picture, rect);
  return face;
}

void setHintWindow(QObject* window) { hintTarget() = window; }
QObject* hintWindow() { return hintTarget().data(); }

void postHint(int hint) {
  if (hint == kNoHint || !hintTarget()) return;
  platform::postMessageTo(hintTarget().data(), WM_SHOW_HINT, 0, hint);
}

platform::LRESULT notifyParent(QObject* control, unsigned message, platform::WPARAM w, platform::LPARAM l) {
  QObject* parent = control ? control->parent() : nullptr;
  if (!parent) return 0;
  return platform::sendMessageTo(parent, message, w, l);
}

}  // namespace q350ui
