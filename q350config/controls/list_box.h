// CListBoxEx: the owner-drawn skinned list of Q350Config (macro list, event
// list, the key setting dialog's macro list).
//
// What it promises the pages:
// - Items carry a text and a 32-bit item value. The item's kind is the top
//   byte of its value (value >> 24); an item is drawn with the picture set
//   for its kind (SetKindPicture) at its left edge and its text beside it.
// - Item height, background, text and selected-text colours are set by the
//   page. The selected item is drawn in the selected-text colour over the
//   selection picture (or a slightly lighter band without one).
// - AddItem appends and selects the new item and scrolls it into view;
//   InsertItem puts an item before an index and selects it too. With the
//   rename flag the in-place editor opens over the new item.
// - A left click selects the item under the mouse and sends WM_LIST_CLICKED
//   (wParam: control id, lParam: that index, -1 below the last item, which
//   leaves the selection as it was) to the parent.
// - In-place rename (EditItem): an edit box over the item with its whole
//   text selected and at most 20 characters. Enter or the loss of focus
//   takes the text into the item and sends WM_LIST_EDIT_DONE (wParam:
//   control id, lParam: the index); Esc closes it without a change or a
//   notice. An empty text is taken as it is; the page decides.
// - A skinned scroll bar appears at the right edge when the items do not fit:
//   the wheel scrolls by three rows, a click above or below the thumb by a
//   page, and the thumb can be dragged.
// Setting items or the selection by calls never notifies anyone.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/ui/message_window.h"

class QLineEdit;

namespace q350ui {

class CListBoxEx : public platform::MessageWindow {
 public:
  static constexpr int kRenameLimit = 20;
  static constexpr int kScrollBarWidth = 10;

  struct Item {
    QString text;
    std::uint32_t value;
  };

  explicit CListBoxEx(QWidget* parent);

  // Places the list at `rect` (parent coordinates) with its control id.
  void Create(const QRect& rect, int controlId, int itemHeight = 18);

  void SetItemHeight(int h);
  int itemHeight() const { return itemHeight_; }
  void SetColours(QColor background, QColor text, QColor selectedText);
  QColor backgroundColour() const { return background_; }
  QColor textColour() const { return text_; }
  QColor selectedTextColour() const { return selectedText_; }
  void SetKindPicture(int kind, const QImage& picture);
  void SetSelectionPicture(const QImage& picture) { selectionPicture_ = picture; update(); }
  // Scroll bar track and thumb pictures (stretched); flat colours without.
  void SetScrollPictures(const QImage& track, const QImage& thumb);

  int AddItem(const QString& text, std::uint32_t value, bool rename = false);
  int InsertItem(int index, const QString& text, std::uint32_t value, bool rename = false);
  bool DeleteItem(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  QString GetText(int index) const;
  bool SetItemText(int index, const QString& text);
  std::uint32_t GetItemData(int index) const;
  bool SetItemData(int index, std::uint32_t value);
  static int kindOf(std::uint32_t value) { return static_cast<int>(value >> 24); }
  const std::vector<Item>& items() const { return items_; }

  int GetCurSel() const { return selected_; }
  // -1 clears the selection; an index out of range is refused.
  bool SetCurSel(int index);

  // Opens the in-place editor over an item; false for a bad index.
  bool EditItem(int index);
  bool isEditing() const { return editor_ != nullptr; }
  int editingIndex() const { return editing_; }
  QLineEdit* editor() const { return editor_; }
  // Ends the rename as Enter (take = true) or Esc would.
  void EndEdit(bool take);

  // Scrolling: the first row shown.
  int topIndex() const { return top_; }
  void SetTopIndex(int index);
  int visibleRows() const;
  bool hasScrollBar() const { return GetCount() > visibleRows(); }
  QRect scrollBarRect() const;
  QRect thumbRect() const;
  // The item at a point of the list (-1 for none).
  int itemAt(QPoint local) const;
  QRect itemRect(int index) const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void ensureVisible(int index);
  int maxTop() const;
  void placeEditor();

  std::vector<Item> items_;
  std::map<int, QImage> kindPictures_;
  QImage selectionPicture_, trackPicture_, thumbPicture_;
  int itemHeight_ = 18;
  QColor background_{20, 20, 20}, text_{83, 97, 103}, selectedText_{21, 140, 185};
  int selected_ = -1;
  int top_ = 0;
  QLineEdit* editor_ = nullptr;
  int editing_ = -1;
  bool ending_ = false;
  bool draggingThumb_ = false;
  int dragStartY_ = 0;
  int dragStartTop_ = 0;
};

}  // namespace q350ui
