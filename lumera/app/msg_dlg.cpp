#include "lumera/app/msg_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "lumera/app/png_btn.h"
#include "platform/ui/virtual_keys.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

const QColor kTextColour(0xC8, 0xC8, 0xC8);

struct ModifierName {
  std::uint8_t bit;
  const char* name;
};
// The order in which a capture names its modifiers.
constexpr ModifierName kModifierNames[] = {{0x01, "Ctrl"},   {0x04, "Alt"},   {0x02, "Shift"},   {0x08, "Win"},
                                           {0x10, "R_Ctrl"}, {0x40, "R_Alt"}, {0x20, "R_Shift"}, {0x80, "R_Win"}};

std::uint8_t modifierBit(unsigned code) {
  switch (code) {
    case 0x11: return 0x01;
    case 0x10: return 0x02;
    case 0x12: return 0x04;
    case 0x5B: return 0x08;
    case 0xA3: return 0x10;
    case 0xA1: return 0x20;
    case 0xA5: return 0x40;
    case 0x5C: return 0x80;
    default: return 0;
  }
}

}  // namespace

CMsgDlg::CMsgDlg(QWidget* parent, int mode, const QString& text) : CSkinWnd(parent), mode_(mode), text_(text) {
  setWindowTitle(QString::fromUtf16(kMsgDlgTitle));
}

CMsgDlg::~CMsgDlg() {
  if (filtering_) qApp->removeEventFilter(this);
}

void CMsgDlg::onInitDialog() {
  const QImage bg = loadSkin(QStringLiteral("msg_nr.png"));
  if (bg.isNull()) {
    endDialog(kCancelId);
    return;
  }
  setBackground(bg);
  icon_ = loadSkin(QStringLiteral("msgico.png"));
  placeOverParent();
  const int w = bg.width(), h = bg.height();

  exit_ = new CPngBtn(this);
  exit_->CreateSkinButton("exit_nr.png", "exit_ov.png", "exit_ov.png", this, bg, QPoint(), false, false, QString(),
                          QPoint(w - 36, 10), kExitId);
  cancel_ = new CPngBtn(this);
  cancel_->CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_ov.png", this, bg, QPoint(), false, false,
                            uiText("tc_cancel"), QPoint(w - 87, h - 45), kCancelId);
  ok_ = new CPngBtn(this);
  const QPoint okAt = mode_ == kInfo ? QPoint(w - 87, h - 45) : QPoint(w - 164, h - 45);
  ok_->CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_ov.png", this, bg, QPoint(), false, false, uiText("tc_ok"),
                        okAt, kOkId);
  if (mode_ == kInfo) cancel_->hide();

  if (mode_ == kText || mode_ == kNumber || mode_ == kKeyCapture) {
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("edit513"));
    edit_->setGeometry((w - 400) / 2, 100, 400, 24);
    edit_->installEventFilter(this);
    if (mode_ == kNumber) {
      edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
      QObject::connect(edit_, &QLineEdit::textChanged, edit_, [this](const QString& t) { onNumberEdited(t); });
    }
    if (mode_ == kKeyCapture) {
      edit_->setReadOnly(true);
      // Keys are taken before any control sees them, shortcuts included.
      qApp->installEventFilter(this);
      filtering_ = true;
    }
    edit_->show();
    edit_->setFocus();
  }
}

bool CMsgDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  CSkinWnd::onMessage(message, w, l, result);  // closes an open menu on commands
  if (message != platform::WM_COMMAND) return false;
  switch (platform::loWord(w)) {
    case kOkId: onOk(); break;
    case kCancelId:
    case kExitId: endDialog(kCancelId); break;
    default: break;
  }
  return true;
}

void CMsgDlg::onOk() {
  if (mode_ == kNumber) number_ = edit_ ? edit_->text().toUInt() : 0;
  if (mode_ == kText) {
    resultText_ = edit_ ? edit_->text() : QString();
    if (resultText_.isEmpty()) {
      endDialog(kCancelId);
      return;
    }
  }
  endDialog(kOkId);
}

void CMsgDlg::onNumberEdited(const QString& text) {
  if (text.isEmpty()) return;
  bool ok = false;
  const qulonglong v = text.toULongLong(&ok);
  if (!ok || v > kMaxNumber) edit_->setText(QString::number(kMaxNumber));
}

unsigned CMsgDlg::captureCode(const QKeyEvent& e) {
  const platform::VirtualKey vk = platform::virtualKeyOf(e);
  if (vk.right && (vk.code == 0x10 || vk.code == 0x11 || vk.code == 0x12)) return vk.sided();
  if (vk.code == 0x0D && vk.keypad) return 0xFD;
  return vk.code;
}

bool CMsgDlg::captureKey(bool down, unsigned code) {
  if (code == 0 || code > 0xFF) return false;
  if (hasPrevious_ && previousDown_ == down && previousCode_ == code) return false;  // repeats
  hasPrevious_ = true;
  previousDown_ = down;
  previousCode_ = code;
  if (!down) return true;
  if (const std::uint8_t bit = modifierBit(code)) {
    capture_.modifiers |= bit;
  } else if (capture_.key1 == 0 || capture_.key1 == code) {
    capture_.key1 = static_cast<std::uint8_t>(code);
  } else if (capture_.key2 == 0) {
    capture_.key2 = static_cast<std::uint8_t>(code);
  }
  if (edit_) edit_->setText(captureText(capture_));
  return true;
}

QString CMsgDlg::captureText(const Capture& c) {
  QStringList parts;
  for (const ModifierName& m : kModifierNames)
    if (c.modifiers & m.bit) parts << QString::fromLatin1(m.name);
  for (std::uint8_t k : {c.key1, c.key2})
    if (k) parts << QString::fromStdU16String(keyNameOf(k));
  return parts.join(QStringLiteral(" + "));
}

bool CMsgDlg::handleDialogKey(QKeyEvent* e, bool inEdit) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (mode_ == kText || mode_ == kNumber) onOk();
      return true;
    case Qt::Key_Space:
      // Swallowed so that it never presses a button; typed into a text it
      // is just a space (names may hold spaces).
      return !(mode_ == kText && inEdit);
    case Qt::Key_Escape:
    case Qt::Key_F1:
      return true;
    default:
      return false;
  }
}

bool CMsgDlg::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if (mode_ == kKeyCapture && isRunningModal() &&
      (t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride)) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (t != QEvent::ShortcutOverride && !k->isAutoRepeat()) captureKey(t == QEvent::KeyPress, captureCode(*k));
    e->accept();
    return true;
  }
  if (watched == edit_ && t == QEvent::KeyPress && handleDialogKey(static_cast<QKeyEvent*>(e), true)) return true;
  return CSkinWnd::eventFilter(watched, e);
}

void CMsgDlg::keyPressEvent(QKeyEvent* e) {
  if (!handleDialogKey(e, false)) CSkinWnd::keyPressEvent(e);
}

void CMsgDlg::paintEvent(QPaintEvent* e) {
  CSkinWnd::paintEvent(e);
  QPainter p(this);
  if (mode_ == kInfo && !icon_.isNull()) p.drawImage(45, 85, icon_);
  p.setFont(font());
  p.setPen(kTextColour);
  const QRect box = mode_ == kInfo ? QRect(QPoint(110, 98), QPoint(509, 117)) : QRect(QPoint(65, 75), QPoint(464, 94));
  // Word-wrapped and centred on the box's middle line; longer texts grow
  // upwards and downwards alike.
  const int flags = Qt::AlignLeft | Qt::TextWordWrap;
  QRect needed = p.fontMetrics().boundingRect(QRect(0, 0, box.width(), 10000), flags, text_);
  needed.setWidth(box.width());
  needed.moveCenter(box.center());
  p.drawText(needed, flags, text_);
}

void InfoBox(QWidget* parent, const QString& text) {
  CMsgDlg dlg(parent, CMsgDlg::kInfo, text);
  dlg.doModal();
}

int AskYesNo(QWidget* parent, const QString& text) {
  CMsgDlg dlg(parent, CMsgDlg::kQuestion, text);
  return dlg.doModal() == CMsgDlg::kOkId ? 1 : 0;
}

int AskText(QWidget* parent, const QString& text, QString& out) {
  CMsgDlg dlg(parent, CMsgDlg::kText, text);
  if (dlg.doModal() != CMsgDlg::kOkId || dlg.resultText().isEmpty()) return 0;
  out = dlg.resultText();
  return 1;
}

}  // namespace lumera
