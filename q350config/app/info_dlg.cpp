#include "q350config/app/info_dlg.h"

#include <QPainter>

#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/language.h"
#include "q350config/controls/control_messages.h"

namespace q350app {

using q350ui::rectLTRB;

namespace {
int g_tickMs = 1000;

// Faces of a dialog's buttons from its background: the picture itself,
// lighter under the mouse, darker pressed.
q350ui::FaceSet facesFrom(const QImage& background) {
  q350ui::FaceSet f;
  f.normal = background.convertToFormat(QImage::Format_ARGB32);
  f.over = f.normal;
  f.down = f.normal;
  QPainter over(&f.over);
  over.fillRect(f.over.rect(), QColor(255, 255, 255, 40));
  over.end();
  QPainter down(&f.down);
  down.fillRect(f.down.rect(), QColor(0, 0, 0, 70));
  down.end();
  return f;
}

// Text drawn word-wrapped and centred on the middle line of `box`: a text of
// several lines grows up and down alike, as far as `room` allows; the last
// line that fits then ends with an ellipsis.
void drawBoxText(QPainter& p, const QRect& box, const QRect& room, const QString& text) {
  const int flags = Qt::AlignLeft | Qt::TextWordWrap;
  auto measure = [&](const QString& t) {
    return p.fontMetrics().boundingRect(QRect(0, 0, box.width(), 100000), flags, t).height();
  };
  QString shown = text;
  if (measure(shown) > room.height()) {
    while (!shown.isEmpty() && measure(shown + QChar(0x2026)) > room.height()) shown.chop(1);
    shown += QChar(0x2026);
  }
  const int h = measure(shown);
  p.drawText(QRect(box.x(), box.center().y() - h / 2, box.width(), h), flags, shown);
}
}  // namespace

void CInfoDlg::setTickMs(int ms) { g_tickMs = ms > 0 ? ms : 1000; }

CInfoDlg::CInfoDlg(QWidget* parent, const QString& text, bool withCancel, bool autoClose)
    : q350ui::CSkinDialog(parent), text_(text), withCancel_(withCancel && !autoClose), autoClose_(autoClose) {
  setWindowTitle(QString::fromUtf16(kInfoDlgTitle));
  const QImage bg = orPlain(resPicture(withCancel_ ? 136 : 135), QSize(330, 180), QColor(0x2A, 0x2E, 0x33));
  setBackground(bg);
  sizeToBackground();
  const q350ui::FaceSet faces = facesFrom(bg);
  auto make = [&](const QRect& r, int id, const QString& caption) {
    auto* b = new q350ui::CSkinButton(this);
    b->Create(faces, r, id);
    b->SetCaption(caption);
    b->SetCaptionPixelSize(14);
    return b;
  };
  close_ = make(rectLTRB(300, 0, 329, 29), kCloseId, QString());
  if (withCancel_) {
    ok_ = make(rectLTRB(178, 127, 244, 159), kOkId, QStringLiteral("OK"));
    cancel_ = make(rectLTRB(245, 127, 311, 159), kCancelId, QStringLiteral("Cancel"));
  } else {
    ok_ = make(rectLTRB(240, 127, 306, 159), kOkId, QStringLiteral("OK"));
  }
  centreOnScreen();
}

void CInfoDlg::onInitDialog() {
  if (!autoClose_) return;
  countdown_ = 4;
  setWindowTimer(kCountdownTimer, g_tickMs);
  const QRect area = platform::workArea();
  move(area.right() + 1 - width() - 10, area.bottom() + 1 - height());
  ok_->SetCaption(QStringLiteral("OK (5s)"));
}

bool CInfoDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  if (message == platform::WM_TIMER && w == kCountdownTimer) {
    if (countdown_ == 0) {
      killWindowTimer(kCountdownTimer);
      postMessage(platform::WM_CLOSE);
    }
    ok_->SetCaption(QStringLiteral("OK (%1)").arg(countdown_));
    --countdown_;
    return true;
  }
  if (message == platform::WM_COMMAND) {
    q350ui::closeSkinMenus();
    switch (platform::loWord(w)) {
      case kOkId: endDialog(platform::IDOK); break;
      case kCancelId:
      case kCloseId: endDialog(platform::IDCANCEL); break;
      default: break;
    }
    return true;
  }
  if (message == platform::WM_CLOSE) killWindowTimer(kCountdownTimer);
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

void CInfoDlg::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  QPainter p(this);
  p.setFont(platform::dialogFont(20, QFont::Light));
  p.setPen(Qt::white);
  p.drawText(rectLTRB(10, 9, 100, 23), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tips"));
  // The text box proper is one line high; longer texts take the free
  // space between the title bar and the buttons.
  drawBoxText(p, rectLTRB(90, 73, 305, 91), rectLTRB(90, 36, 305, 124), text_);
}

int ShowInfo(QWidget* parent, const QString& text, bool withCancel) {
  CInfoDlg dlg(parent, text, withCancel);
  return dlg.doModal();
}

int ShowInfoAutoClose(QWidget* parent, const QString& text) {
  CInfoDlg dlg(parent, text, false, true);
  return dlg.doModal();
}

namespace {
std::size_t g_shown = 0;
}

void InfoMessageSink::show(const q350::UserMessage& m) {
  ++g_shown;
  QWidget* owner = static_cast<QWidget*>(const_cast<void*>(m.owner));
  if (m.style == q350::MessageStyle::SystemBox)
    platform::messageBox(owner, m.text, m.caption, platform::MessageBoxIcon::Information);
  else
    ShowInfo(owner, QString::fromStdU16String(m.text));
}

InfoMessageSink& infoMessageSink() {
  static InfoMessageSink sink;
  return sink;
}

std::size_t messagesShown() { return g_shown; }

// ---- CProgressDlg ----

CProgressDlg::CProgressDlg(QWidget* parent) : q350ui::CSkinDialog(parent) {
  setWindowTitle(QString::fromUtf16(kProgressDlgTitle));
  const QImage bg = orPlain(resPicture(133), QSize(330, 90), QColor(0x2A, 0x2E, 0x33));
  setBackground(bg);
  sizeToBackground();
  bar_ = new q350ui::CSkinProgress(this);
  bar_->Create(rectLTRB(35, 47, 295, 56), skinPicture("ProgressBar/Progress_Normal.png"),
               skinPicture("ProgressBar/Progress_Over.png"));
  bar_->SetRange(0, 100);
  bar_->SetPos(0);
  centreOnScreen();
}

void CProgressDlg::onInitDialog() {
  raise();
  activateWindow();
}

bool CProgressDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  if (message == kMsgProgress) {
    bar_->SetPos(w <= 100 ? static_cast<int>(w) : 0);
    bar_->repaint();
    repaint();
    return true;
  }
  return q350ui::CSkinDialog::onMessage(message, w, l, result);
}

void CProgressDlg::paintEvent(QPaintEvent* e) {
  q350ui::CSkinDialog::paintEvent(e);
  QPainter p(this);
  QFont f(QStringLiteral("Sans Serif"));
  f.setPointSize(8);
  p.setFont(f);
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawText(QRect(35, 20, 310, 40), Qt::AlignLeft | Qt::AlignTop,
             builtInQ(u"Updating is in progress, please wait\u2026", u"更新进行中，请稍候..."));
}

}  // namespace q350app
