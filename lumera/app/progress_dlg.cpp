#include "lumera/app/progress_dlg.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>

#include "lumera/app/png_btn.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "platform/ui/window_look.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {
QImage loadPicture(const QString& path) {
  if (QFileInfo(path).isAbsolute()) {
    QImage img;
    return img.load(path) ? img : QImage();
  }
  return loadSkin(path);
}
}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : CSkinWnd(parent) {}

CProgressDlg::~CProgressDlg() {
  if (debug_) platform::debugOutput("CProgressDlg::DestroyWindow");
}

void CProgressDlg::SetImages(const QString& background, const QString& bar) {
  backgroundPath_ = background;
  barPath_ = bar;
}

void CProgressDlg::onInitDialog() {
  const QImage bg = loadPicture(backgroundPath_);
  bar_ = loadPicture(barPath_);
  if (bg.isNull() || bar_.isNull()) {
    platform::messageBox(parentWidget(), u"ProgressDlg skin loss", u"Error", platform::MessageBoxIcon::Error);
    endDialog(platform::IDCANCEL);
    return;
  }
  setBackground(bg);
  placeOverParent();
  setWindowTitle(QString::fromUtf16(kProgressDlgTitle));
  exit_ = new CPngBtn(this);
  exit_->CreateSkinButton("exit_nr.png", "exit_ov.png", "exit_ov.png", this, bg, QPoint(), false, false, QString(),
                          QPoint(bg.width() - 36, 10), kExitId);
}

bool CProgressDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CProgressDlg> kMap[] = {{kMsgProgress, &CProgressDlg::OnSetPos}};
  if (platform::dispatchMessages(this, kMap, message, w, l, result)) return true;
  CSkinWnd::onMessage(message, w, l, result);
  if (message == platform::WM_COMMAND && platform::loWord(w) == kExitId) {
    // Only the window goes; the apply carries on.
    endDialog(platform::IDCANCEL);
    return true;
  }
  return false;
}

LRESULT CProgressDlg::OnSetPos(WPARAM w, LPARAM) {
  int pos = static_cast<int>(static_cast<std::intptr_t>(w));
  if (pos < min_ || pos > max_) pos = min_;
  pos_ = pos;
  if (debug_) platform::debugOutput(platform::format("CProgressDlg::OnSetPos = %d", pos_));
  repaint();
  return 0;
}

int CProgressDlg::barEnd() const {
  if (max_ <= min_) return barRect_.left();  // an empty range shows no progress
  const long long span = static_cast<long long>(barRect_.right()) - barRect_.left();
  return barRect_.left() + static_cast<int>(static_cast<long long>(pos_ - min_) * span / (max_ - min_));
}

void CProgressDlg::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
      return;
    default:
      CSkinWnd::keyPressEvent(e);
  }
}

void CProgressDlg::paintEvent(QPaintEvent* e) {
  CSkinWnd::paintEvent(e);
  QPainter p(this);
  const int end = std::max(0, barEnd());
  if (!bar_.isNull() && end > 0) p.drawImage(QPoint(0, 0), bar_, QRect(0, 0, end, bar_.height()));
  if (text_.isEmpty()) return;
  p.setFont(font());
  p.setPen(Qt::white);
  p.drawText(textRect_, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             p.fontMetrics().elidedText(text_, Qt::ElideRight, textRect_.width()));
}

}  // namespace lumera
