#include "lumera/app/color_panel.h"

#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "lumera/app/png_btn.h"
#include "platform/ui/window_look.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

QColor qc(Colour c) { return platform::colourFromRef(c); }

constexpr QRgb kSwatchArgb[CColorPanelDlg::kSwatches] = {0xFFFF0000, 0xFFFFFF00, 0xFF00FF00, 0xFF0000FF, 0xFFFF8E00,
                                                         0xFF00FFFF, 0xFFF53B03, 0xFFFFFFFF, 0xFFF3017F};
constexpr QRgb kBlackArgb = 0xFF000000;

struct Stop {
  qreal at;
  QRgb argb;
};
constexpr Stop kSpectrum[] = {{0.0, 0xFF0000FF},  {0.15, 0xFF670874}, {0.30, 0xFFFF0080}, {0.45, 0xFFFF8000},
                              {0.60, 0xFFFFFF00}, {0.75, 0xFF00FF00}, {0.85, 0xFFFF0000}, {1.0, 0xFFFFFFFF}};

const QColor kPanelText(0xC8, 0xC8, 0xC8);
const QColor kBoxBackground(0x14, 0x14, 0x14);

// Where the three boxes sit: (30, 90)-(85, 110), then every 28 pixels lower.
QRect boxRect(int i) { return QRect(QPoint(30, 90 + 28 * i), QPoint(85, 110 + 28 * i)); }

}  // namespace

// ---- CColorBtnDlg -------------------------------------------------------------

CColorBtnDlg::CColorBtnDlg(QWidget* parent) : platform::MessageWindow(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorBtnDlg::SetColour(Colour c) {
  colour_ = c & 0xFFFFFFu;
  update();
}

void CColorBtnDlg::SetSelected(bool on) {
  selected_ = on;
  update();
}

void CColorBtnDlg::SetFrameColours(Colour selected, Colour unselected) {
  frameSelected_ = selected;
  frameUnselected_ = unselected;
  update();
}

void CColorBtnDlg::SetNoColour(bool on) {
  noColour_ = on;
  update();
}

void CColorBtnDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  p.fillRect(rect(), QColor(0x12, 0x12, 0x12));
  if (noColour_) {
    p.setPen(QPen(qc(0x0000FF), 1));
    p.drawLine(QPoint(1, h - 1), QPoint(w - 1, 1));
  } else {
    p.fillRect(QRect(QPoint(3, 3), QPoint(w - 4, h - 4)), qc(colour_));
  }
  p.setPen(QPen(qc(frameColour()), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, w - 1, h - 1);
}

// The press belongs to the button, so that its release comes here too (and
// the main window does not start a drag).
void CColorBtnDlg::mousePressEvent(QMouseEvent* e) { e->accept(); }

void CColorBtnDlg::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !rect().contains(e->pos())) return;
  platform::postMessageTo(parentWidget(), kMsgColourButton, selected_ ? 0 : 1, id_);
}

// ---- CColorPanelDlg -------------------------------------------------------------

CColorPanelDlg::CColorPanelDlg(QWidget* parent, const QImage& mainBackground, QPoint at)
    : CColorPanelBase(parent, mainBackground, QRect(at, QSize(kWidth, kHeight))) {

  ok_ = new CPngBtn(this);
  ok_->CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_ov.png", this, background(), QPoint(), false, false,
                        uiText("tc_ok"), QPoint(194, 140), kOkId);

  QPalette palette;
  palette.setColor(QPalette::Text, kPanelText);
  palette.setColor(QPalette::Base, kBoxBackground);
  palette.setColor(QPalette::Window, kBoxBackground);
  const int ids[3] = {kRedId, kGreenId, kBlueId};
  for (int i = 0; i < 3; ++i) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::number(ids[i]));
    box->setGeometry(boxRect(i));
    box->setFont(platform::dialogFont(14));
    box->setPalette(palette);
    box->setFrame(true);
    boxes_[static_cast<std::size_t>(i)] = box;
  }
  writeBoxes(current_);
  for (int i = 0; i < 3; ++i)
    QObject::connect(boxes_[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this, [this, i] { onBoxChanged(i); });
  hide();
}

void CColorPanelDlg::SetBlackSwatch(bool on) {
  black_ = on;
  update();
}

void CColorPanelDlg::Open(bool blackSwatch) {
  SetBlackSwatch(blackSwatch);
  show();
  raise();
}

void CColorPanelDlg::SetCurrentColour(Colour c) {
  current_ = c & 0xFFFFFFu;
  writeBoxes(current_);
  update();
}

QRect CColorPanelDlg::swatchRect(int i) const { return QRect(10 + 28 * i, 25, 18, 18); }
QRect CColorPanelDlg::spectrumRect() const { return QRect(10, 50, width() - 20, 30); }
QRect CColorPanelDlg::currentRect() const {
  const QRect bar = spectrumRect();
  return QRect(bar.x() + bar.width() - 56, bar.y() + bar.height() + 10, 56, 40);
}

Colour CColorPanelDlg::swatchColour(int i) const {
  if (i < 0 || i >= kSwatches) return 0;
  const QRgb argb = i == kSwatches - 1 && black_ ? kBlackArgb : kSwatchArgb[i];
  return platform::refFromColour(QColor::fromRgba(argb));
}

std::uint32_t CColorPanelDlg::ReadNumber(const QString& text) {
  constexpr std::uint32_t kCap = 1000000000u;  // far above any channel, far below overflow
  const QString t = text.left(kMaxBoxChars);
  if (t.isEmpty()) return 0;
  std::uint64_t v = 0;  // at most kCap * 10 + 9 before the cap
  for (const QChar ch : t) {
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) return 0;
    v = std::min<std::uint64_t>(kCap, v * 10 + static_cast<std::uint64_t>(ch.unicode() - '0'));
  }
  return static_cast<std::uint32_t>(v);
}

void CColorPanelDlg::writeBoxes(Colour c) {
  boxes_[0]->setText(QString::number(c & 0xFF));
  boxes_[1]->setText(QString::number((c >> 8) & 0xFF));
  boxes_[2]->setText(QString::number((c >> 16) & 0xFF));
}

bool CColorPanelDlg::readBoxes(Colour& out) const {
  const std::uint32_t r = ReadNumber(boxes_[0]->text()), g = ReadNumber(boxes_[1]->text()),
                      b = ReadNumber(boxes_[2]->text());
  if (r > 255 || g > 255 || b > 255) return false;
  out = rgb(r, g, b);
  return true;
}

void CColorPanelDlg::onBoxChanged(int channel) {
  QLineEdit* box = boxes_[static_cast<std::size_t>(channel)];
  if (box->hasFocus() && ReadNumber(box->text()) >= 256) {
    // Replacing the text reports another change, which then finds 255.
    box->setText(QStringLiteral("255"));
    box->setCursorPosition(box->text().size());
    return;
  }
  Colour c = 0;
  if (readBoxes(c)) {
    current_ = c;
    update();
  } else {
    platform::messageBox(this, u"RGB = 1 ~ 255", u"Warning", platform::MessageBoxIcon::Information);
  }
}

bool CColorPanelDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CColorPanelDlg> kMap[] = {
      {platform::WM_COMMAND, &CColorPanelDlg::OnCommand},
  };
  CSkinWnd::onMessage(message, w, l, result);
  return platform::dispatchMessages(this, kMap, message, w, l, result);
}

LRESULT CColorPanelDlg::OnCommand(WPARAM w, LPARAM) {
  if (static_cast<int>(platform::loWord(w)) != kOkId) return 0;
  Colour c = 0;
  if (!readBoxes(c)) return 0;
  current_ = c;
  platform::postMessageTo(owner_, kMsgColourPicked, c, 0);
  hide();
  return 0;
}

void CColorPanelDlg::paintPicture(QPainter& p) const {
  if (background().isNull())
    p.fillRect(rect(), QColor(0x32, 0x32, 0x32));
  else
    p.drawImage(rect(), background());
  for (int i = 0; i < kSwatches; ++i) p.fillRect(swatchRect(i), qc(swatchColour(i)));
  const QRect bar = spectrumRect();
  const QRect filled(bar.x() + 1, bar.y(), bar.width() - 1, bar.height());
  QLinearGradient gradient(filled.left(), 0, filled.left() + filled.width(), 0);
  for (const Stop& s : kSpectrum) gradient.setColorAt(s.at, QColor::fromRgba(s.argb));
  p.fillRect(filled, gradient);
  p.fillRect(currentRect(), qc(current_));
}

void CColorPanelDlg::paintEvent(QPaintEvent*) {
  QImage picture(size(), QImage::Format_ARGB32_Premultiplied);
  {
    QPainter off(&picture);
    paintPicture(off);
  }
  QPainter p(this);
  p.drawImage(0, 0, picture);
  p.setFont(font());
  p.setPen(kPanelText);
  const QRect title(QPoint(0, 2), QPoint(width() - 1, 21));
  p.drawText(title, Qt::AlignCenter | Qt::TextSingleLine,
             p.fontMetrics().elidedText(uiText("tc_adv_str15"), Qt::ElideRight, title.width()));
  const char* labels[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    const QRect b = boxRect(i);
    p.drawText(QRect(QPoint(b.left() - 24, b.top()), QPoint(b.left() - 11, b.bottom())),
               Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromLatin1(labels[i]));
  }
}

void CColorPanelDlg::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) closeSkinMenu();
  e->accept();  // the release must come here, not start a drag of the main window
}

void CColorPanelDlg::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const QPoint at = e->pos();
  bool hit = spectrumRect().contains(at);
  for (int i = 0; i < kSwatches && !hit; ++i) hit = swatchRect(i).contains(at);
  if (!hit) return;
  // The pixel as the panel itself draws it: neither Wayland nor the
  // offscreen platform lets a program read the screen.
  const QImage pixel = grab(QRect(at, QSize(1, 1))).toImage();
  if (pixel.isNull()) return;
  SetCurrentColour(platform::refFromColour(pixel.pixelColor(0, 0)));
}

}  // namespace lumera
