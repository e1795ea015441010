// CPngBtn, the image button of Lumera's skinned windows, and CComboBtn, the
// drop-down button that opens a skinned menu of items.
//
// A button is drawn from four pictures of its size (normal, under the mouse,
// down, disabled = normal) over the piece of its parent's background that
// lies under it, with an optional icon and text. A click sends WM_COMMAND
// (wParam: control id, BN_CLICKED; lParam: the button) to the parent.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/ui/message_window.h"

namespace lumera {

class CPngBtn : public platform::MessageWindow {
 public:
  explicit CPngBtn(QWidget* parent = nullptr);

  // Loads "skins/<normal>", "skins/<over>" and "skins/<down>"; when all three
  // load (the normal one with a width), becomes a visible child of `parent`
  // at `pos` with the normal picture's size, cuts its background from
  // `parentBackground` at pos + parentOffset, takes the configured button
  // text colours and the text, and a tool tip with the text when `tips`.
  // False (and nothing created) when a picture is missing.
  bool CreateSkinButton(const QString& normal, const QString& over, const QString& down, QWidget* parent,
                        const QImage& parentBackground, QPoint parentOffset, bool checkStyle, bool tips,
                        const QString& text, QPoint pos, int controlId);
  bool isCreated() const { return created_; }

  void SetCheck(bool checked);
  bool GetCheck() const { return checked_; }
  void SetText(const QString& text);
  QString text() const { return text_; }
  void SetImages(const QImage& normal, const QImage& over, const QImage& down);
  // An icon drawn over push buttons at x, vertically centred.
  void SetIcon(const QImage& icon, int x) {
    icon_ = icon;
    iconX_ = x;
    update();
  }
  void SetTextColours(QColor normal, QColor over, QColor down);
  void SetTextIndent(int indent) { indent_ = indent; update(); }
  // Alignment and wrapping flags (Qt::AlignmentFlag | Qt::TextFlag); 0 gives
  // the default: single line, vertically centred, elided, centred or (with an
  // indent) left-aligned.
  void SetTextFormat(int flags, const QRect& rect = QRect()) {
    textFormat_ = flags;
    textRect_ = rect;
    update();
  }
  void SetAutoCheck(bool on) { autoCheck_ = on; }
  void SetPressedOffset(bool on) { pressedOffset_ = on; }
  bool isCheckStyle() const { return checkStyle_; }
  bool isHovered() const { return hover_; }
  bool isPressed() const { return pressed_; }

  // Which picture and text colour the next paint uses (0 normal, 1 over,
  // 2 down, 3 disabled), and whether the pressed offset applies.
  int stateImage() const;
  bool offsetApplies() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  // Sends the click to the parent.
  virtual void clicked();

  std::array<QImage, 4> images_;  // normal, over, down, disabled
  QImage icon_;
  int iconX_ = 0;
  QImage background_;
  QString text_;
  std::array<QColor, 3> textColours_{QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)};
  int indent_ = 0;
  int textFormat_ = 0;
  QRect textRect_;
  bool created_ = false;
  bool checkStyle_ = false;
  bool checked_ = false;
  bool autoCheck_ = false;
  bool pressedOffset_ = false;
  bool hover_ = false;
  bool pressed_ = false;
};

class CComboBtn : public CPngBtn {
 public:
  static constexpr int kLists = 20;
  static constexpr int kShownItems = 20;

  struct Item {
    std::uint32_t id;
    QString text;
  };

  explicit CComboBtn(QWidget* parent = nullptr);

  void AddItem(int list, std::uint32_t id, const QString& text);
  void ClearList(int list);
  void SetCurList(int list);
  int curList() const { return curList_; }
  const std::vector<Item>& items(int list) const { return lists_[static_cast<std::size_t>(list)]; }
  // Shows the item's text and puts its id into the caller's variable; a
  // negative index clears the text and gives -1.
  void SelectIndex(int index);
  // The first of the current list's first 20 items with this id; false (and
  // nothing changes) when none has it.
  bool SelectId(std::uint32_t id);
  int selectedIndex() const { return selected_; }
  // The variable that receives the selected id (-1 for none).
  void SetTarget(std::int64_t* target) { target_ = target; }
  void SetMenuWidth(int width) { menuWidth_ = width; }

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  std::array<std::vector<Item>, kLists> lists_;
  int curList_ = 0;
  int selected_ = -1;
  int menuWidth_ = 0;
  std::int64_t* target_ = nullptr;
};

}  // namespace lumera
