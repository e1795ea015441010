#include "lumera/app/tree_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "lumera/model/config.h"
#include "platform/ui/window_look.h"

namespace lumera {

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent, int controlId) : platform::MessageWindow(parent) {
  setControlId(controlId);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(platform::dialogFont(13));
}

CTreeCtrlEx::~CTreeCtrlEx() = default;

void CTreeCtrlEx::SetFolderImages(const QImage& open, const QImage& closed) {
  open_ = open;
  closed_ = closed;
  update();
}

void CTreeCtrlEx::SetColours(QColor text, QColor selectedText, QColor background, QColor selectedRow) {
  text_ = text;
  selectedText_ = selectedText;
  background_ = background;
  selectedRow_ = selectedRow;
  update();
}

void CTreeCtrlEx::SetTransparent(bool on, const QImage& parentBackground) {
  transparent_ = on;
  parentPiece_ = parentBackground;
  update();
}

void CTreeCtrlEx::ApplySkinOptions(const QImage& parentBackground) {
  const Options& o = theConfig().options();
  SetColours(platform::colourFromRef(o.LstBox_txt_clr_nr), platform::colourFromRef(o.LstBox_txt_clr_dn),
             platform::colourFromRef(o.LstBox_bkg_clr), platform::colourFromRef(o.LstBox_item_clr));
  SetTransparent(o.ListTrans != 0, parentBackground.isNull() ? QImage() : parentBackground.copy(geometry()));
}

CTreeCtrlEx::Node* CTreeCtrlEx::node(TreeItem item) {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? nullptr : &it->second;
}

const CTreeCtrlEx::Node* CTreeCtrlEx::node(TreeItem item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? nullptr : &it->second;
}

std::vector<TreeItem>& CTreeCtrlEx::childList(TreeItem parent) {
  if (Node* n = node(parent)) return n->children;
  return top_;
}

const std::vector<TreeItem>* CTreeCtrlEx::childList(TreeItem parent) const {
  if (parent == kTreeRoot) return &top_;
  const Node* n = node(parent);
  return n ? &n->children : nullptr;
}

TreeItem CTreeCtrlEx::InsertItem(const QString& text, int kind, std::int64_t value, TreeItem parent, TreeItem after,
                                 const QImage& icon) {
  if (parent != kTreeRoot && !isItem(parent)) return 0;
  const TreeItem item = next_++;
  Node n;
  n.parent = parent;
  n.text = text;
  n.kind = kind;
  n.value = value;
  n.icon = icon;
  nodes_.emplace(item, std::move(n));
  std::vector<TreeItem>& list = childList(parent);
  if (after == kTreeFirst) {
    list.insert(list.begin(), item);
  } else {
    auto at = std::find(list.begin(), list.end(), after);
    list.insert(at == list.end() ? list.end() : at + 1, item);
  }
  update();
  return item;
}

void CTreeCtrlEx::removeNode(TreeItem item) {
  Node* n = node(item);
  if (!n) return;
  const std::vector<TreeItem> kids = n->children;
  for (TreeItem k : kids) removeNode(k);
  if (selected_ == item) selected_ = 0;
  nodes_.erase(item);
}

bool CTreeCtrlEx::DeleteItem(TreeItem item) {
  Node* n = node(item);
  if (!n) return false;
  std::vector<TreeItem>& list = childList(n->parent);
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
  removeNode(item);
  clampScroll();
  update();
  return true;
}

void CTreeCtrlEx::DeleteAllItems() {
  nodes_.clear();
  top_.clear();
  selected_ = 0;
  scroll_ = 0;
  update();
}

TreeItem CTreeCtrlEx::GetParentItem(TreeItem item) const {
  const Node* n = node(item);
  return n ? n->parent : 0;
}

TreeItem CTreeCtrlEx::GetChildItem(TreeItem item) const {
  const std::vector<TreeItem>* list = childList(item);
  return list && !list->empty() ? list->front() : 0;
}

TreeItem CTreeCtrlEx::GetNextSiblingItem(TreeItem item) const {
  const Node* n = node(item);
  if (!n) return 0;
  const std::vector<TreeItem>& list = *childList(n->parent);
  auto at = std::find(list.begin(), list.end(), item);
  return at != list.end() && at + 1 != list.end() ? *(at + 1) : 0;
}

TreeItem CTreeCtrlEx::GetPrevSiblingItem(TreeItem item) const {
  const Node* n = node(item);
  if (!n) return 0;
  const std::vector<TreeItem>& list = *childList(n->parent);
  auto at = std::find(list.begin(), list.end(), item);
  return at != list.end() && at != list.begin() ? *(at - 1) : 0;
}

std::vector<TreeItem> CTreeCtrlEx::children(TreeItem item) const {
  const std::vector<TreeItem>* list = childList(item);
  return list ? *list : std::vector<TreeItem>();
}

int CTreeCtrlEx::depth(TreeItem item) const {
  int d = 0;
  for (const Node* n = node(item); n && n->parent != kTreeRoot; n = node(n->parent)) ++d;
  return d;
}

QString CTreeCtrlEx::GetItemText(TreeItem item) const {
  const Node* n = node(item);
  return n ? n->text : QString();
}

void CTreeCtrlEx::SetItemText(TreeItem item, const QString& text) {
  if (Node* n = node(item)) {
    n->text = text;
    update();
  }
}

int CTreeCtrlEx::kind(TreeItem item) const {
  const Node* n = node(item);
  return n ? n->kind : 0;
}

std::int64_t CTreeCtrlEx::value(TreeItem item) const {
  const Node* n = node(item);
  return n ? n->value : 0;
}

void CTreeCtrlEx::SetValue(TreeItem item, std::int64_t value) {
  if (Node* n = node(item)) n->value = value;
}

void CTreeCtrlEx::SetItemIcon(TreeItem item, const QImage& icon) {
  if (Node* n = node(item)) {
    n->icon = icon;
    update();
  }
}

void CTreeCtrlEx::SelectItem(TreeItem item) {
  selected_ = isItem(item) ? item : 0;
  if (selected_) {
    // Open the folders above it so that it can be seen.
    for (TreeItem p = GetParentItem(selected_); p != kTreeRoot; p = GetParentItem(p)) {
      Node* n = node(p);
      n->expanded = n->everExpanded = true;
    }
    EnsureVisible(selected_);
  }
  update();
}

void CTreeCtrlEx::Expand(TreeItem item, bool open) {
  Node* n = node(item);
  if (!n) return;
  n->expanded = open;
  if (open) n->everExpanded = true;
  // A selection inside a closed folder moves to the folder.
  if (!open)
    for (TreeItem p = GetParentItem(selected_); selected_ && p != kTreeRoot; p = GetParentItem(p))
      if (p == item) selected_ = item;
  clampScroll();
  update();
}

bool CTreeCtrlEx::isExpanded(TreeItem item) const {
  const Node* n = node(item);
  return n && n->expanded;
}

bool CTreeCtrlEx::wasExpanded(TreeItem item) const {
  const Node* n = node(item);
  return n && n->everExpanded;
}

void CTreeCtrlEx::collectVisible(TreeItem parent, std::vector<TreeItem>& out) const {
  const std::vector<TreeItem>* list = childList(parent);
  if (!list) return;
  for (TreeItem i : *list) {
    out.push_back(i);
    if (node(i)->expanded) collectVisible(i, out);
  }
}

std::vector<TreeItem> CTreeCtrlEx::visibleItems() const {
  std::vector<TreeItem> out;
  collectVisible(kTreeRoot, out);
  return out;
}

TreeItem CTreeCtrlEx::HitTest(QPoint p) const {
  if (!rect().contains(p)) return 0;
  const int row = (p.y() + scroll_) / kRowHeight;
  const std::vector<TreeItem> shown = visibleItems();
  return row >= 0 && row < static_cast<int>(shown.size()) ? shown[static_cast<std::size_t>(row)] : 0;
}

QRect CTreeCtrlEx::itemRect(TreeItem item) const {
  const std::vector<TreeItem> shown = visibleItems();
  auto at = std::find(shown.begin(), shown.end(), item);
  if (at == shown.end()) return QRect();
  const int row = static_cast<int>(at - shown.begin());
  return QRect(0, row * kRowHeight - scroll_, width(), kRowHeight);
}

void CTreeCtrlEx::EnsureVisible(TreeItem item) {
  const QRect r = itemRect(item);
  if (r.isNull()) return;
  if (r.top() < 0) scroll_ += r.top();
  if (r.bottom() >= height()) scroll_ += r.bottom() - height() + 1;
  clampScroll();
  update();
}

void CTreeCtrlEx::clampScroll() {
  const int content = static_cast<int>(visibleItems().size()) * kRowHeight;
  scroll_ = std::max(0, std::min(scroll_, content - height()));
}

void CTreeCtrlEx::notifyParent(unsigned message, TreeItem item) {
  if (auto* p = qobject_cast<platform::MessageWindow*>(parentWidget()))
    p->postMessage(message, static_cast<platform::WPARAM>(controlId()), static_cast<platform::LPARAM>(item));
}

void CTreeCtrlEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (transparent_ && !parentPiece_.isNull())
    p.drawImage(0, 0, parentPiece_);
  else
    p.fillRect(rect(), background_);
  p.setFont(font());
  const std::vector<TreeItem> shown = visibleItems();
  const int first = scroll_ / kRowHeight;
  for (int row = first; row < static_cast<int>(shown.size()); ++row) {
    const int y = row * kRowHeight - scroll_;
    if (y >= height()) break;
    const TreeItem item = shown[static_cast<std::size_t>(row)];
    const Node& n = *node(item);
    const bool sel = item == selected_;
    const QRect rowRect(0, y, width(), kRowHeight);
    if (sel) p.fillRect(rowRect, selectedRow_);
    int x = 2 + depth(item) * kIndent;
    auto drawPicture = [&](const QImage& img) {
      if (img.isNull()) return;
      const QImage fit = img.height() > kRowHeight - 2 ? img.scaledToHeight(kRowHeight - 2, Qt::SmoothTransformation) : img;
      p.drawImage(x, y + (kRowHeight - fit.height()) / 2, fit);
      x += fit.width() + 3;
    };
    if (n.kind == folderKind_ || !n.children.empty()) drawPicture(n.expanded ? open_ : closed_);
    drawPicture(n.icon);
    p.setPen(sel ? selectedText_ : text_);
    p.drawText(QRect(x, y, width() - x - 2, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               p.fontMetrics().elidedText(n.text, Qt::ElideRight, width() - x - 2));
  }
}

void CTreeCtrlEx::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  const TreeItem hit = HitTest(e->pos());
  if (e->button() == Qt::LeftButton) {
    if (hit != selected_ || hit == 0) {
      selected_ = hit;
      update();
      notifyParent(kMsgTreeClick, hit);
    }
  } else if (e->button() == Qt::RightButton) {
    // The context menu acts on what is under the pointer.
    if (hit != selected_) {
      selected_ = hit;
      update();
      notifyParent(kMsgTreeClick, hit);
    }
  }
  e->accept();
}

void CTreeCtrlEx::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) notifyParent(kMsgTreeRButtonUp, HitTest(e->pos()));
  e->accept();
}

void CTreeCtrlEx::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const TreeItem hit = HitTest(e->pos());
  if (!hit) return;
  Node* n = node(hit);
  if (n->kind == folderKind_ || !n->children.empty()) Expand(hit, !n->expanded);
  notifyParent(kMsgTreeDblClick, hit);
  e->accept();
}

void CTreeCtrlEx::mouseMoveEvent(QMouseEvent* e) { e->accept(); }

void CTreeCtrlEx::wheelEvent(QWheelEvent* e) {
  scroll_ -= e->angleDelta().y() / 120 * kRowHeight;
  clampScroll();
  update();
  e->accept();
}

void CTreeCtrlEx::keyPressEvent(QKeyEvent* e) {
  // The arrow keys are the dialog's: it moves the selection and loads it.
  if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
    e->ignore();
    return;
  }
  if (e->key() == Qt::Key_Delete) {
    e->accept();
    return;
  }
  platform::MessageWindow::keyPressEvent(e);
}

void CTreeCtrlEx::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
    e->ignore();
    return;
  }
  if (e->key() == Qt::Key_Delete && !e->isAutoRepeat()) {
    notifyParent(kMsgTreeDeleteKey, selected_);
    e->accept();
    return;
  }
  platform::MessageWindow::keyReleaseEvent(e);
}

}  // namespace lumera
