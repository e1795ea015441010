#include "lumera/app/skin_window.h"

#include <QMouseEvent>
#include <QPainter>

#include "lumera/model/config.h"
#include "lumera/model/keycodes.h"
#include "platform/paths.h"
#include "platform/ui/window_look.h"
#include "shared/orvane_binding.h"
#include "shared/text_table.h"

namespace lumera {

QString skinPath(const QString& name) {
  return QString::fromStdString(platform::resolveNoCase(platform::programFolder(), "skins/" + name.toStdString()));
}

QImage loadSkin(const QString& name) {
  QImage img;
  if (!img.load(skinPath(name))) return QImage();
  return img;
}

QString uiText(std::string_view key) { return QString::fromStdU16String(shared::Text(key)); }

UiHooks& uiHooks() {
  static UiHooks hooks;
  return hooks;
}

namespace {
// The program's text table as the model's text lookup.
class TableTexts final : public TextLookup {
 public:
  std::u16string text(std::string_view key) const override { return shared::Text(key); }
};
}  // namespace

const TextLookup& programTexts() {
  static const TableTexts texts;
  return texts;
}

std::u16string keyNameOf(unsigned vk) {
  if (uiHooks().keyName) return uiHooks().keyName(vk);
  return KeyName(vk, programTexts());
}

std::u16string functionNameOf(const KeyFunction& f) {
  return uiHooks().functionName ? uiHooks().functionName(f) : std::u16string();
}

QPoint skinMenuPosition(const QRect& controlGlobal, int itemCount, int screenHeight) {
  const int bottom = controlGlobal.y() + controlGlobal.height();
  int y = bottom;
  if (bottom + itemCount * 20 > screenHeight) y = controlGlobal.y() - itemCount * 20;
  return QPoint(controlGlobal.x() + 2, y);
}

bool openSkinMenu(QWidget* owner, QWidget* control, const std::vector<OrvaneMenuItem>& items, int width,
                  std::intptr_t callerValue) {
  shared::OrvaneBinding& menu = shared::orvane();
  if (!menu.hasCreate() || items.empty()) return false;
  const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
  const QPoint at = skinMenuPosition(global, static_cast<int>(items.size()), platform::fullScreenClientHeight());
  const Options& o = theConfig().options();
  return menu.createLumera(owner, 20, width > 0 ? width : control->width() - 4, at.x(), at.y(),
                           {o.Menu_txt_clr_nr, o.Menu_txt_clr_ov, o.Menu_txt_clr_dn}, callerValue, items);
}

bool openSkinMenuAt(QWidget* owner, QPoint global, const std::vector<OrvaneMenuItem>& items, int width,
                    std::intptr_t callerValue) {
  shared::OrvaneBinding& menu = shared::orvane();
  if (!menu.hasCreate() || items.empty()) return false;
  const QPoint at = skinMenuPosition(QRect(global, QSize(0, 0)), static_cast<int>(items.size()),
                                     platform::fullScreenClientHeight());
  const Options& o = theConfig().options();
  return menu.createLumera(owner, 20, width, global.x(), at.y(),
                           {o.Menu_txt_clr_nr, o.Menu_txt_clr_ov, o.Menu_txt_clr_dn}, callerValue, items);
}

void closeSkinMenu() { shared::orvane().destroy(); }

CSkinWnd::CSkinWnd(QWidget* parent, bool asChild)
    : platform::MessageWindow(parent, asChild ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint) {
  setFont(platform::dialogFont(14));
  setBackgroundDrag(!asChild);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CSkinWnd::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  if (message == platform::WM_COMMAND) closeSkinMenu();
  return platform::MessageWindow::onMessage(message, w, l, result);
}

void CSkinWnd::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) closeSkinMenu();
  platform::MessageWindow::mousePressEvent(e);
}

void CSkinWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (background_.isNull())
    p.fillRect(rect(), QColor(0x32, 0x32, 0x32));
  else
    p.drawImage(rect(), background_);
}

void CSkinWnd::placeOverParent() {
  const QSize size = background_.isNull() ? this->size() : background_.size();
  resize(size);
  const QRect screen = platform::workArea();
  QRect r(QPoint(0, 0), size);
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (owner) r.moveCenter(owner->frameGeometry().center());
  if (!owner || !screen.contains(r)) {
    auto axis = [](int screenStart, int screenLen, int len) {
      return len >= screenLen ? screenStart + 10 : screenStart + (screenLen - len) / 2;
    };
    r.moveTo(axis(screen.x(), screen.width(), size.width()), axis(screen.y(), screen.height(), size.height()));
  }
  move(r.topLeft());
}

}  // namespace lumera
