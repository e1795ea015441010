#include "q350config/controls/list_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "platform/ui/window_look.h"
#include "q350config/controls/control_messages.h"

namespace q350ui {

CListBoxEx::CListBoxEx(QWidget* parent) : platform::MessageWindow(parent) {
  setFocusPolicy(Qt::ClickFocus);
  setFont(platform::dialogFont(13));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CListBoxEx::Create(const QRect& rect, int controlId, int itemHeight) {
  setControlId(controlId);
  itemHeight_ = std::max(1, itemHeight);
  setGeometry(rect);
  show();
}

void CListBoxEx::SetItemHeight(int h) {
  itemHeight_ = std::max(1, h);
  SetTopIndex(top_);
  placeEditor();
  update();
}

void CListBoxEx::SetColours(QColor background, QColor text, QColor selectedText) {
  background_ = background;
  text_ = text;
  selectedText_ = selectedText;
  if (editor_)
    editor_->setStyleSheet(QStringLiteral("QLineEdit{background:%1;color:%2;border:1px solid %2;}")
                               .arg(background_.name(), selectedText_.name()));
  update();
}

void CListBoxEx::SetKindPicture(int kind, const QImage& picture) {
  kindPictures_[kind] = picture;
  update();
}

void CListBoxEx::SetScrollPictures(const QImage& track, const QImage& thumb) {
  trackPicture_ = track;
  thumbPicture_ = thumb;
  update();
}

int CListBoxEx::AddItem(const QString& text, std::uint32_t value, bool rename) {
  return InsertItem(GetCount(), text, value, rename);
}

int CListBoxEx::InsertItem(int index, const QString& text, std::uint32_t value, bool rename) {
  if (index < 0 || index > GetCount()) index = GetCount();
  if (editor_) EndEdit(false);
  items_.insert(items_.begin() + index, Item{text, value});
  selected_ = index;
  ensureVisible(index);
  update();
  if (rename) EditItem(index);
  return index;
}

bool CListBoxEx::DeleteItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (editor_) EndEdit(false);
  items_.erase(items_.begin() + index);
  if (selected_ == index)
    selected_ = -1;
  else if (selected_ > index)
    --selected_;
  SetTopIndex(top_);
  update();
  return true;
}

void CListBoxEx::ResetContent() {
  if (editor_) EndEdit(false);
  items_.clear();
  selected_ = -1;
  top_ = 0;
  update();
}

QString CListBoxEx::GetText(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].text : QString();
}

bool CListBoxEx::SetItemText(int index, const QString& text) {
  if (index < 0 || index >= GetCount()) return false;
  items_[static_cast<std::size_t>(index)].text = text;
  update();
  return true;
}

std::uint32_t CListBoxEx::GetItemData(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].value : 0;
}

bool CListBoxEx::SetItemData(int index, std::uint32_t value) {
  if (index < 0 || index >= GetCount()) return false;
  items_[static_cast<std::size_t>(index)].value = value;
  update();
  return true;
}

bool CListBoxEx::SetCurSel(int index) {
  if (index < -1 || index >= GetCount()) return false;
  selected_ = index;
  if (index >= 0) ensureVisible(index);
  update();
  return true;
}

bool CListBoxEx::EditItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (editor_) EndEdit(false);
  editing_ = index;
  ensureVisible(index);
  editor_ = new QLineEdit(this);
  editor_->setObjectName(QStringLiteral("renameEditor"));
  editor_->setMaxLength(kRenameLimit);
  editor_->setFont(font());
  editor_->setFrame(false);
  editor_->setStyleSheet(QStringLiteral("QLineEdit{background:%1;color:%2;border:1px solid %2;}")
                             .arg(background_.name(), selectedText_.name()));
  editor_->setText(GetText(index).left(kRenameLimit));
  editor_->selectAll();
  editor_->installEventFilter(this);
  placeEditor();
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
  return true;
}

void CListBoxEx::EndEdit(bool take) {
  if (!editor_ || ending_) return;
  ending_ = true;
  QLineEdit* editor = editor_;
  const int index = editing_;
  editor_ = nullptr;
  editing_ = -1;
  const QString text = editor->text();
  editor->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
  ending_ = false;
  if (!take || index < 0 || index >= GetCount()) return;
  items_[static_cast<std::size_t>(index)].text = text;
  update();
  notifyParent(this, WM_LIST_EDIT_DONE, static_cast<platform::WPARAM>(controlId()), index);
}

bool CListBoxEx::eventFilter(QObject* watched, QEvent* e) {
  if (watched == editor_ && editor_) {
    if (e->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        EndEdit(true);
        return true;
      }
      if (k->key() == Qt::Key_Escape) {
        EndEdit(false);
        return true;
      }
    } else if (e->type() == QEvent::FocusOut) {
      EndEdit(true);
      return false;
    }
  }
  return platform::MessageWindow::eventFilter(watched, e);
}

int CListBoxEx::visibleRows() const { return std::max(1, height() / itemHeight_); }
int CListBoxEx::maxTop() const { return std::max(0, GetCount() - visibleRows()); }

void CListBoxEx::SetTopIndex(int index) {
  const int t = std::clamp(index, 0, maxTop());
  if (t == top_) return;
  top_ = t;
  placeEditor();
  update();
}

void CListBoxEx::ensureVisible(int index) {
  if (index < top_)
    SetTopIndex(index);
  else if (index >= top_ + visibleRows())
    SetTopIndex(index - visibleRows() + 1);
}

QRect CListBoxEx::itemRect(int index) const {
  const int w = width() - (hasScrollBar() ? kScrollBarWidth : 0);
  return QRect(0, (index - top_) * itemHeight_, w, itemHeight_);
}

int CListBoxEx::itemAt(QPoint local) const {
  if (local.x() < 0 || local.y() < 0 || local.x() >= itemRect(0).width()) return -1;
  const int i = top_ + local.y() / itemHeight_;
  return i < GetCount() ? i : -1;
}

QRect CListBoxEx::scrollBarRect() const {
  if (!hasScrollBar()) return QRect();
  return QRect(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
}

QRect CListBoxEx::thumbRect() const {
  const QRect bar = scrollBarRect();
  if (bar.isNull()) return QRect();
  const int rows = visibleRows();
  const int count = GetCount();
  const int len = std::max(12, bar.height() * rows / count);
  const int travel = bar.height() - len;
  const int y = maxTop() > 0 ? travel * top_ / maxTop() : 0;
  return QRect(bar.x(), y, bar.width(), len);
}

void CListBoxEx::placeEditor() {
  if (!editor_) return;
  const QRect r = itemRect(editing_);
  editor_->setGeometry(r.adjusted(kindPictures_.count(kindOf(GetItemData(editing_))) ? itemHeight_ : 2, 0, 0, 0));
  editor_->setVisible(editing_ >= top_ && editing_ < top_ + visibleRows() + 1);
}

void CListBoxEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), background_);
  p.setFont(font());
  const int last = std::min(GetCount(), top_ + visibleRows() + 1);
  for (int i = top_; i < last; ++i) {
    const QRect r = itemRect(i);
    const Item& item = items_[static_cast<std::size_t>(i)];
    const bool selected = i == selected_;
    if (selected) {
      if (!selectionPicture_.isNull())
        p.drawImage(r, selectionPicture_);
      else
        p.fillRect(r, background_.lighter(160));
    }
    int x = 2;
    const auto pic = kindPictures_.find(kindOf(item.value));
    if (pic != kindPictures_.end() && !pic->second.isNull()) {
      const QImage& img = pic->second;
      p.drawImage(QPoint(r.x() + 2, r.y() + (r.height() - img.height()) / 2), img);
      x = 2 + std::max(img.width() + 4, itemHeight_ - 2);
    }
    p.setPen(selected ? selectedText_ : text_);
    const QRect textRect = r.adjusted(x, 0, -2, 0);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(item.text, Qt::ElideRight, textRect.width()));
  }
  if (hasScrollBar()) {
    const QRect bar = scrollBarRect();
    if (!trackPicture_.isNull())
      p.drawImage(bar, trackPicture_);
    else
      p.fillRect(bar, background_.darker(140));
    const QRect thumb = thumbRect();
    if (!thumbPicture_.isNull())
      p.drawImage(thumb, thumbPicture_);
    else
      p.fillRect(thumb.adjusted(2, 1, -2, -1), text_);
  }
}

void CListBoxEx::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (hasScrollBar() && scrollBarRect().contains(e->pos())) {
    const QRect thumb = thumbRect();
    if (thumb.contains(e->pos())) {
      draggingThumb_ = true;
      dragStartY_ = e->pos().y();
      dragStartTop_ = top_;
    } else {
      SetTopIndex(top_ + (e->pos().y() < thumb.y() ? -visibleRows() : visibleRows()));
    }
    return;
  }
  if (editor_) EndEdit(true);
  const int index = itemAt(e->pos());
  if (index >= 0) {
    selected_ = index;
    update();
  }
  notifyParent(this, WM_LIST_CLICKED, static_cast<platform::WPARAM>(controlId()), index);
}

void CListBoxEx::mouseMoveEvent(QMouseEvent* e) {
  if (!draggingThumb_ || !(e->buttons() & Qt::LeftButton)) return;
  const int travel = scrollBarRect().height() - thumbRect().height();
  if (travel <= 0) return;
  const int dy = e->pos().y() - dragStartY_;
  SetTopIndex(dragStartTop_ + (dy * maxTop() + (dy >= 0 ? travel / 2 : -travel / 2)) / travel);
}

void CListBoxEx::mouseReleaseEvent(QMouseEvent*) { draggingThumb_ = false; }

void CListBoxEx::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CListBoxEx::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps != 0) SetTopIndex(top_ - 3 * steps);
  e->accept();
}

void CListBoxEx::resizeEvent(QResizeEvent*) {
  SetTopIndex(top_);
  placeEditor();
}

}  // namespace q350ui
