#include "outside/orvane/menu_popup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <algorithm>

#include "platform/ui/posted_message.h"

namespace orvane {

namespace {

constexpr int kTextPadding = 8;
constexpr int kArrowSpace = 14;
constexpr int kMaxLevels = 8;
constexpr int kMaxItems = 1024;

MenuSession* gSession = nullptr;

// Picture index for a row: the first four are for plain items, the last four
// for items that open a submenu; within each: normal, under the mouse,
// pressed, and (for a header whose submenu is open) normal again.
int pictureIndex(bool hasSub, bool hover, bool pressed, bool open) {
  const int base = hasSub ? 4 : 0;
  if (pressed) return base + 2;
  if (hover) return base + 1;
  if (open) return base + 3;
  return base;
}

QRect screenOf(const QPoint& p) {
  const QScreen* s = QGuiApplication::screenAt(p);
  if (!s) s = QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

MenuSession::MenuSession(MenuSpec spec) : spec_(std::move(spec)) {}

MenuSession::~MenuSession() { closeAll(); }

MenuSession* MenuSession::current() { return gSession; }

QString MenuSession::textOf(int index) const {
  const OrvaneMenuItem& it = spec_.items[static_cast<std::size_t>(index)];
  int n = 0;
  while (n < ORVANE_TEXT_CHARS && it.text[n] != 0) ++n;
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(it.text), n);
}

std::vector<int> MenuSession::childrenOf(int parent) const {
  std::vector<int> out;
  const int count = static_cast<int>(spec_.items.size());
  for (int i = 0; i < count; ++i) {
    const std::int32_t p = spec_.items[static_cast<std::size_t>(i)].parent;
    if (parent < 0 ? p == ORVANE_TOP_LEVEL : (p == parent && p != i)) out.push_back(i);
  }
  return out;
}

bool MenuSession::hasChildren(int index) const { return !childrenOf(index).empty(); }

int MenuSession::widthFor(const std::vector<int>& rows) const {
  if (spec_.width > 0) return spec_.width;
  QFontMetrics fm(QApplication::font());
  int w = 60;
  for (int i : rows)
    w = std::max(w, fm.horizontalAdvance(textOf(i)) + 2 * kTextPadding + (hasChildren(i) ? kArrowSpace : 0));
  return w;
}

bool MenuSession::open(MenuSpec spec) {
  close();
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app || QThread::currentThread() != app->thread()) return false;
  if (spec.items.empty() || spec.items.size() > static_cast<std::size_t>(kMaxItems) || spec.itemHeight < 1)
    return false;
  auto* session = new MenuSession(std::move(spec));
  const std::vector<int> top = session->childrenOf(-1);
  if (top.empty()) {
    delete session;
    return false;
  }
  gSession = session;
  auto* level = new MenuLevel(session, -1, top, session->widthFor(top));
  QPoint at = session->spec_.at;
  const QRect screen = screenOf(at);
  // Keep the menu on the screen; the callers already choose above or below.
  at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - level->width())));
  at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - level->height())));
  level->move(at);
  session->levels_.emplace_back(level);
  level->show();
  return true;
}

void MenuSession::close() {
  MenuSession* s = gSession;
  gSession = nullptr;
  delete s;
}

void MenuSession::closeAll() {
  for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
    if (!*it) continue;
    (*it)->hide();
    (*it)->deleteLater();  // may be inside one of its own event handlers
  }
  levels_.clear();
}

void MenuSession::closeLevelsAbove(MenuLevel* level) {
  while (!levels_.empty() && levels_.back() != level) {
    if (levels_.back()) {
      levels_.back()->hide();
      levels_.back()->deleteLater();
    }
    levels_.pop_back();
  }
  if (level) level->openHeader = -1;
}

void MenuSession::openSubmenu(MenuLevel* from, int headerIndex, const QRect& headerGlobal) {
  if (from->openHeader == headerIndex) return;
  closeLevelsAbove(from);
  if (static_cast<int>(levels_.size()) >= kMaxLevels) return;
  const std::vector<int> rows = childrenOf(headerIndex);
  if (rows.empty()) return;
  auto* level = new MenuLevel(this, headerIndex, rows, widthFor(rows));
  const QRect screen = screenOf(headerGlobal.topRight());
  QPoint at(headerGlobal.right() + 1, headerGlobal.top());
  if (at.x() + level->width() > screen.right() + 1) at.setX(headerGlobal.left() - level->width());
  if (at.y() + level->height() > screen.bottom() + 1) at.setY(screen.bottom() + 1 - level->height());
  level->move(at);
  from->openHeader = headerIndex;
  levels_.emplace_back(level);
  level->show();
}

MenuLevel* MenuSession::levelAt(const QPoint& global) const {
  for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
    if (*it && (*it)->isVisible() && (*it)->geometry().contains(global)) return *it;
  return nullptr;
}

void MenuSession::choose(int index) {
  const OrvaneMenuItem item = spec_.items[static_cast<std::size_t>(index)];
  QPointer<QObject> owner = spec_.owner;
  const unsigned message = spec_.message;
  const bool idInWParam = spec_.idInWParam;
  const std::intptr_t caller = spec_.callerValue;
  close();  // deletes this session
  if (!owner) return;
  if (idInWParam)
    platform::postMessageTo(owner, message, item.id, caller);
  else
    platform::postMessageTo(owner, message, 0, static_cast<platform::LPARAM>(item.id));
}

MenuLevel::MenuLevel(MenuSession* session, int parentIndex, std::vector<int> rows, int width)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      session_(session),
      parentIndex_(parentIndex),
      rows_(std::move(rows)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAttribute(Qt::WA_NoMouseReplay);
  setMouseTracking(true);
  setObjectName(QStringLiteral("OrvaneMenu"));
  resize(width, static_cast<int>(rows_.size()) * session->spec().itemHeight);
}

QRect MenuLevel::rowRect(int row) const {
  const int h = session_->spec().itemHeight;
  return QRect(0, row * h, width(), h);
}

int MenuLevel::rowAt(const QPoint& local) const {
  if (!rect().contains(local)) return -1;
  const int row = local.y() / session_->spec().itemHeight;
  return row < static_cast<int>(rows_.size()) ? row : -1;
}

void MenuLevel::setHover(int row) {
  if (row == hover_) return;
  hover_ = row;
  update();
}

void MenuLevel::hoverRow(int row) {
  setHover(row);
  if (row < 0) return;
  const int index = rows_[static_cast<std::size_t>(row)];
  if (session_->hasChildren(index)) {
    const QRect r = rowRect(row);
    session_->openSubmenu(this, index, QRect(mapToGlobal(r.topLeft()), r.size()));
  } else {
    session_->closeLevelsAbove(this);
  }
}

void MenuLevel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const MenuSpec& spec = session_->spec();
  p.fillRect(rect(), spec.frame);
  p.setFont(QApplication::font());
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
    const int index = rows_[static_cast<std::size_t>(row)];
    const bool sub = session_->hasChildren(index);
    const bool hover = row == hover_;
    const bool pressed = row == pressed_ && hover;
    const QRect r = rowRect(row);
    const QImage& pic = spec.pictures[static_cast<std::size_t>(pictureIndex(sub, hover, pressed, index == openHeader))];
    if (!pic.isNull())
      p.drawImage(r, pic);
    else if (hover)
      p.fillRect(r, spec.frame.lighter(160));
    p.setPen(pressed ? spec.down : hover ? spec.over : spec.text);
    const QRect textRect = r.adjusted(kTextPadding, 0, -(kTextPadding + (sub ? kArrowSpace : 0)), 0);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(session_->textOf(index), Qt::ElideRight, textRect.width()));
    if (sub && pic.isNull()) {  // the submenu pictures carry their own arrow
      const int cx = r.right() - kTextPadding, cy = r.center().y();
      const QPoint tri[3] = {{cx - 4, cy - 4}, {cx, cy}, {cx - 4, cy + 4}};
      p.setBrush(p.pen().color());
      p.drawPolygon(tri, 3);
    }
  }
}

void MenuLevel::mouseMoveEvent(QMouseEvent* e) {
  // As the topmost pop-up this level gets the moves over every level.
  MenuLevel* target = session_->levelAt(e->globalPos());
  if (target == this) {
    hoverRow(rowAt(e->pos()));
  } else if (target) {
    target->hoverRow(target->rowAt(target->mapFromGlobal(e->globalPos())));
  } else {
    setHover(-1);
  }
}

void MenuLevel::mousePressEvent(QMouseEvent* e) {
  MenuLevel* target = session_->levelAt(e->globalPos());
  if (!target) {
    MenuSession::close();  // a click elsewhere dismisses the menu
    return;
  }
  const int row = target->rowAt(target->mapFromGlobal(e->globalPos()));
  target->pressed_ = row;
  target->hoverRow(row);
  target->update();
}

void MenuLevel::mouseReleaseEvent(QMouseEvent* e) {
  MenuLevel* target = session_->levelAt(e->globalPos());
  if (!target) return;
  const int row = target->rowAt(target->mapFromGlobal(e->globalPos()));
  const bool wasPressed = row >= 0 && row == target->pressed_;
  target->pressed_ = -1;
  if (e->button() == Qt::LeftButton && wasPressed) session_->choose(target->rows_[static_cast<std::size_t>(row)]);
}

void MenuLevel::closeEvent(QCloseEvent* e) {
  // Qt closes pop-ups by itself too (the application lost the focus, for
  // instance): the whole menu goes then.
  if (MenuSession::current() == session_) MenuSession::close();
  QWidget::closeEvent(e);
}

void MenuLevel::keyPressEvent(QKeyEvent* e) {
  const int n = static_cast<int>(rows_.size());
  switch (e->key()) {
    case Qt::Key_Escape:
      MenuSession::close();
      return;
    case Qt::Key_Down:
      hoverRow(hover_ < 0 ? 0 : (hover_ + 1) % n);
      return;
    case Qt::Key_Up:
      hoverRow(hover_ < 0 ? n - 1 : (hover_ + n - 1) % n);
      return;
    case Qt::Key_Left:
      if (parentIndex_ >= 0) {
        const auto& levels = session_->levels();
        if (levels.size() >= 2) session_->closeLevelsAbove(levels[levels.size() - 2]);
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (hover_ >= 0) session_->choose(rows_[static_cast<std::size_t>(hover_)]);
      return;
    default:
      QWidget::keyPressEvent(e);
  }
}

}  // namespace orvane
