// CProgressDlg, the skinned dialog that shows an apply in progress. It is
// found by its title "MyProgressDlg.." and driven by kMsgProgress (1067,
// wParam = position) posted from the apply worker, which closes it with
// WM_CLOSE at the end.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "lumera/app/skin_window.h"

namespace lumera {

class CPngBtn;

class CProgressDlg : public CSkinWnd {
 public:
  static constexpr int kExitId = 1001;

  explicit CProgressDlg(QWidget* parent = nullptr);
  ~CProgressDlg() override;

  // Set before running: picture paths (full paths or names in "skins"), the
  // bar rectangle (left, top, right, bottom, within the bar picture), the
  // text with its rectangle, the range (0 and 10 unless set).
  void SetImages(const QString& background, const QString& bar);
  void SetBarRect(int left, int top, int right, int bottom) { barRect_ = QRect(QPoint(left, top), QPoint(right, bottom)); }
  void SetText(const QString& text, const QRect& rect) {
    text_ = text;
    textRect_ = rect;
  }
  void SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum;
  }
  void SetDebug(bool on) { debug_ = on; }

  int position() const { return pos_; }
  // The right end (exclusive) of the visible part of the bar picture.
  int barEnd() const;
  CPngBtn* exitButton() const { return exit_; }

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnSetPos(platform::WPARAM w, platform::LPARAM l);

  QString backgroundPath_, barPath_;
  QImage bar_;
  QRect barRect_;
  QString text_;
  QRect textRect_;
  int min_ = 0, max_ = 10, pos_ = 0;
  bool debug_ = false;
  CPngBtn* exit_ = nullptr;
};

}  // namespace lumera
