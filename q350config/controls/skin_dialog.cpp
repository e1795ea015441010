#include "q350config/controls/skin_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/window_look.h"
#include "shared/orvane_binding.h"

namespace q350ui {

void closeSkinMenus() { shared::orvane().destroy(); }

CSkinDialog::CSkinDialog(QWidget* parent, bool asChild)
    : platform::MessageWindow(parent, asChild ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint) {
  setFont(platform::dialogFont(14));
  setBackgroundDrag(!asChild);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The keys are taken before any control of this window sees them; an
  // application filter is the one place that comes before the focus widget.
  if (qApp) qApp->installEventFilter(this);
}

CSkinDialog::~CSkinDialog() {
  if (qApp) qApp->removeEventFilter(this);
}

void CSkinDialog::setBackground(const QImage& image) {
  background_ = image;
  update();
}

void CSkinDialog::sizeToBackground() {
  if (!background_.isNull()) resize(background_.size());
}

void CSkinDialog::centreOnScreen() {
  QRect r(QPoint(0, 0), size());
  r.moveCenter(platform::workArea().center());
  move(r.topLeft());
}

void CSkinDialog::SetRegion(const QRegion& region) {
  region_ = region;
  setMask(region);
}

bool CSkinDialog::isSwallowedKey(int qtKey) {
  return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter || qtKey == Qt::Key_Escape || qtKey == Qt::Key_Space ||
         qtKey == Qt::Key_F1;
}

bool CSkinDialog::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if ((t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride) && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    auto* k = static_cast<QKeyEvent*>(e);
    if (isSwallowedKey(k->key()) && (w == this || isAncestorOf(w)) && !qobject_cast<QLineEdit*>(w)) {
      // Nested skinned windows: the innermost one decides (it is the one
      // whose controls the key was meant for), so an outer window leaves a
      // key for an inner window's edit box alone.
      const CSkinDialog* inner = nullptr;
      for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* d = dynamic_cast<CSkinDialog*>(p)) {
          inner = d;
          break;
        }
      if (inner == this) {
        e->accept();
        return true;
      }
    }
  }
  return platform::MessageWindow::eventFilter(watched, e);
}

bool CSkinDialog::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  if (message == platform::WM_COMMAND) closeSkinMenus();
  return platform::MessageWindow::onMessage(message, w, l, result);
}

void CSkinDialog::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) closeSkinMenus();
  platform::MessageWindow::mousePressEvent(e);
}

void CSkinDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (background_.isNull())
    p.fillRect(rect(), QColor(0x32, 0x32, 0x32));
  else
    p.drawImage(0, 0, background_);
}

}  // namespace q350ui
