#include "lumera/app/png_btn.h"

#include <QMouseEvent>
#include <QPainter>

#include "lumera/app/skin_window.h"
#include "lumera/model/config.h"
#include "platform/ui/window_look.h"
#include "shared/orvane_binding.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

CPngBtn::CPngBtn(QWidget* parent) : platform::MessageWindow(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  hide();  // until created
}

bool CPngBtn::CreateSkinButton(const QString& normal, const QString& over, const QString& down, QWidget* parent,
                               const QImage& parentBackground, QPoint parentOffset, bool checkStyle, bool tips,
                               const QString& text, QPoint pos, int controlId) {
  const QImage nr = loadSkin(normal), ov = loadSkin(over), dn = loadSkin(down);
  if (nr.width() <= 0 || ov.isNull() || dn.isNull()) return false;
  if (parent && parentWidget() != parent) setParent(parent);
  setControlId(controlId);
  checkStyle_ = checkStyle;
  setGeometry(QRect(pos, nr.size()));
  background_ = parentBackground.isNull() ? QImage() : parentBackground.copy(QRect(pos + parentOffset, nr.size()));
  SetImages(nr, ov, dn);
  const Options& o = theConfig().options();
  SetTextColours(platform::colourFromRef(o.Btn_txt_clr_nr), platform::colourFromRef(o.Btn_txt_clr_ov),
                 platform::colourFromRef(o.Btn_txt_clr_dn));
  SetText(text);
  if (tips && !text.isEmpty()) setToolTip(text);
  created_ = true;
  show();
  return true;
}

void CPngBtn::SetImages(const QImage& normal, const QImage& over, const QImage& down) {
  images_ = {normal, over, down, normal};
  update();
}

void CPngBtn::SetTextColours(QColor normal, QColor over, QColor down) {
  textColours_ = {normal, over, down};
  update();
}

void CPngBtn::SetCheck(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  update();
}

void CPngBtn::SetText(const QString& text) {
  text_ = text;
  update();
}

int CPngBtn::stateImage() const {
  if (checkStyle_) {
    if (checked_) return 2;
    if (hover_) return 1;
    if (!isEnabled()) return 3;
    return 0;
  }
  if (checked_ || pressed_) return 2;
  if (hover_) return 1;
  if (!isEnabled()) return 3;
  return 0;
}

bool CPngBtn::offsetApplies() const { return pressed_ && pressedOffset_; }

void CPngBtn::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull())
    p.drawImage(0, 0, background_);
  else
    p.fillRect(rect(), Qt::transparent);
  const int state = stateImage();
  const bool offset = offsetApplies();
  const QPoint shift = offset ? QPoint(-1, 1) : QPoint(0, 0);
  p.drawImage(shift, images_[static_cast<std::size_t>(state)]);
  const QColor colour = state == 2 ? textColours_[2] : state == 1 ? textColours_[1] : textColours_[0];
  if (!checkStyle_ && !icon_.isNull())
    p.drawImage(QPoint(iconX_ + shift.x(), (height() - icon_.height()) / 2 + shift.y()), icon_);
  if (text_.isEmpty()) return;
  p.setFont(font());
  p.setPen(colour);
  QRect r = textRect_.isNull() ? rect() : textRect_;
  r.translate(indent_ + shift.x(), shift.y());
  if (textFormat_ != 0) {
    p.drawText(r, textFormat_, text_);
    return;
  }
  const int align = (indent_ < 1 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine;
  p.drawText(r, align, p.fontMetrics().elidedText(text_, Qt::ElideRight, r.width()));
}

void CPngBtn::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  // The new state is in place before the parent hears of the click.
  if (checkStyle_ && autoCheck_) SetCheck(!checked_);
  pressed_ = true;
  update();
}

void CPngBtn::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CPngBtn::mouseMoveEvent(QMouseEvent* e) {
  if (!hover_) {
    hover_ = true;
    update();
  }
  if (e->buttons() & Qt::LeftButton) {
    const bool inside = rect().contains(e->pos());
    if (inside != pressed_) {
      pressed_ = inside;
      update();
    }
  }
}

void CPngBtn::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const bool wasPressed = pressed_;
  pressed_ = false;
  update();
  if (wasPressed && rect().contains(e->pos())) clicked();
}

void CPngBtn::leaveEvent(QEvent*) {
  hover_ = false;
  update();
}

void CPngBtn::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) update();
  platform::MessageWindow::changeEvent(e);
}

void CPngBtn::clicked() {
  platform::sendMessageTo(parentWidget(), platform::WM_COMMAND,
                          platform::makeWParam(static_cast<unsigned>(controlId()), platform::BN_CLICKED),
                          reinterpret_cast<LPARAM>(this));
}

CComboBtn::CComboBtn(QWidget* parent) : CPngBtn(parent) {}

void CComboBtn::AddItem(int list, std::uint32_t id, const QString& text) {
  if (list < 0 || list >= kLists) return;
  lists_[static_cast<std::size_t>(list)].push_back({id, text});
}

void CComboBtn::ClearList(int list) {
  if (list < 0 || list >= kLists) return;
  lists_[static_cast<std::size_t>(list)].clear();
  if (list == curList_) selected_ = -1;
}

void CComboBtn::SetCurList(int list) {
  if (list < 0 || list >= kLists) return;
  curList_ = list;
}

void CComboBtn::SelectIndex(int index) {
  const auto& items = lists_[static_cast<std::size_t>(curList_)];
  if (index < 0 || index >= static_cast<int>(items.size())) {
    selected_ = -1;
    SetText(QString());
    if (target_) *target_ = -1;
    return;
  }
  selected_ = index;
  SetText(items[static_cast<std::size_t>(index)].text);
  if (target_) *target_ = items[static_cast<std::size_t>(index)].id;
}

bool CComboBtn::SelectId(std::uint32_t id) {
  const auto& items = lists_[static_cast<std::size_t>(curList_)];
  const int n = std::min<int>(static_cast<int>(items.size()), kShownItems);
  for (int i = 0; i < n; ++i) {
    if (items[static_cast<std::size_t>(i)].id == id) {
      SelectIndex(i);
      return true;
    }
  }
  return false;
}

void CComboBtn::mousePressEvent(QMouseEvent*) {}  // no BN_CLICKED from a drop-down

void CComboBtn::mouseDoubleClickEvent(QMouseEvent*) {}

void CComboBtn::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !rect().contains(e->pos())) return;
  const auto& items = lists_[static_cast<std::size_t>(curList_)];
  std::vector<OrvaneMenuItem> menu;
  const int n = std::min<int>(static_cast<int>(items.size()), kShownItems);
  for (int i = 0; i < n; ++i)
    menu.push_back(shared::makeMenuItem(ORVANE_TOP_LEVEL, items[static_cast<std::size_t>(i)].id,
                                        items[static_cast<std::size_t>(i)].text.toStdU16String()));
  openSkinMenu(this, this, menu, menuWidth_, controlId());
}

bool CComboBtn::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  if (message == kMsgMenuChoice) {
    closeSkinMenu();
    if (SelectId(static_cast<std::uint32_t>(w)))
      platform::sendMessageTo(parentWidget(), platform::WM_COMMAND,
                              platform::makeWParam(static_cast<unsigned>(controlId()), platform::BN_CLICKED),
                              reinterpret_cast<LPARAM>(this));
    result = 0;
    return true;
  }
  return CPngBtn::onMessage(message, w, l, result);
}

}  // namespace lumera
