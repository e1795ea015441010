// CTreeCtrlEx, the skinned tree of Lumera's macro windows: the macro library
// (folders and macros) and the event list of a macro (a flat tree).
//
// Items carry a kind, a 64-bit value and an optional icon; folders show the
// "open" or "close" picture of their state. The control draws itself in the
// list colours of the configuration, or over its parent's background when
// made transparent, and tells its parent what the user did by posted
// messages (wParam = the control id, lParam = the item):
//   1425  double click on an item (a folder has been opened or closed first)
//   1426  right button released (the item under the pointer, 0 for none)
//   1428  left click on an item that was not selected (0: empty space)
//   1429  Delete key released
// The Up and Down arrow keys are left to the parent.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/ui/message_window.h"

namespace lumera {

constexpr unsigned kMsgTreeDblClick = 1425;
constexpr unsigned kMsgTreeRButtonUp = 1426;
constexpr unsigned kMsgTreeClick = 1428;
constexpr unsigned kMsgTreeDeleteKey = 1429;

// An item of a tree; 0 is none (and, as a parent, the invisible root).
using TreeItem = std::uintptr_t;
constexpr TreeItem kTreeRoot = 0;
// Insert positions besides an item to insert after.
constexpr TreeItem kTreeFirst = ~TreeItem(0) - 1;
constexpr TreeItem kTreeLast = ~TreeItem(0);

class CTreeCtrlEx : public platform::MessageWindow {
 public:
  static constexpr int kRowHeight = 18;
  static constexpr int kIndent = 14;

  explicit CTreeCtrlEx(QWidget* parent = nullptr, int controlId = 0);
  ~CTreeCtrlEx() override;

  // ---- Look ----
  // The folder pictures (open, closed); null images draw none.
  void SetFolderImages(const QImage& open, const QImage& closed);
  // Items of this kind are folders: drawn with the folder pictures and
  // opened or closed by a double click, even while empty (-1: none).
  void SetFolderKind(int kind) { folderKind_ = kind; }
  // Text, selected text, background and selected-row colours.
  void SetColours(QColor text, QColor selectedText, QColor background, QColor selectedRow);
  // Transparent: draws over `parentBackground` (the piece of the parent's
  // background under the control) instead of the background colour.
  void SetTransparent(bool on, const QImage& parentBackground = QImage());
  // The configured list colours and "ListTrans", with the parent's
  // background (the whole of it; the piece under the control is cut).
  void ApplySkinOptions(const QImage& parentBackground);

  // ---- Items ----
  TreeItem InsertItem(const QString& text, int kind, std::int64_t value, TreeItem parent = kTreeRoot,
                      TreeItem after = kTreeLast, const QImage& icon = QImage());
  // Deletes the item with everything below it; false for no item.
  bool DeleteItem(TreeItem item);
  void DeleteAllItems();
  bool isItem(TreeItem item) const { return item != 0 && nodes_.count(item) != 0; }

  TreeItem GetParentItem(TreeItem item) const;
  TreeItem GetChildItem(TreeItem item) const;  // the first child (of the root for 0)
  TreeItem GetNextSiblingItem(TreeItem item) const;
  TreeItem GetPrevSiblingItem(TreeItem item) const;
  std::vector<TreeItem> children(TreeItem item) const;
  int GetCount() const { return static_cast<int>(nodes_.size()); }
  // The depth of an item: 0 for a child of the root.
  int depth(TreeItem item) const;

  QString GetItemText(TreeItem item) const;
  void SetItemText(TreeItem item, const QString& text);
  int kind(TreeItem item) const;
  std::int64_t value(TreeItem item) const;
  void SetValue(TreeItem item, std::int64_t value);
  void SetItemIcon(TreeItem item, const QImage& icon);

  TreeItem GetSelectedItem() const { return selected_; }
  // Selects (0: nothing) and scrolls the item into view. Sends no notice.
  void SelectItem(TreeItem item);

  // Opens or closes a folder's children.
  void Expand(TreeItem item, bool open);
  bool isExpanded(TreeItem item) const;
  // True once the item has been opened at least once (its content read).
  bool wasExpanded(TreeItem item) const;

  // The item drawn at a point of the control, 0 for none.
  TreeItem HitTest(QPoint p) const;
  // The row of a shown item in control coordinates (empty when hidden).
  QRect itemRect(TreeItem item) const;
  void EnsureVisible(TreeItem item);
  int scrollOffset() const { return scroll_; }
  // The items shown, top to bottom (children of open folders only).
  std::vector<TreeItem> visibleItems() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  struct Node {
    TreeItem parent = kTreeRoot;
    std::vector<TreeItem> children;
    QString text;
    int kind = 0;
    std::int64_t value = 0;
    QImage icon;
    bool expanded = false;
    bool everExpanded = false;
  };
  Node* node(TreeItem item);
  const Node* node(TreeItem item) const;
  std::vector<TreeItem>& childList(TreeItem parent);
  const std::vector<TreeItem>* childList(TreeItem parent) const;
  void collectVisible(TreeItem parent, std::vector<TreeItem>& out) const;
  void notifyParent(unsigned message, TreeItem item);
  void clampScroll();
  void removeNode(TreeItem item);

  std::map<TreeItem, Node> nodes_;
  std::vector<TreeItem> top_;
  TreeItem next_ = 1;
  TreeItem selected_ = 0;
  int scroll_ = 0;  // pixels scrolled down
  QImage open_, closed_;
  QColor text_{200, 200, 200}, selectedText_{255, 255, 255}, background_{30, 30, 30}, selectedRow_{60, 60, 60};
  int folderKind_ = -1;
  bool transparent_ = false;
  QImage parentPiece_;
};

}  // namespace lumera
