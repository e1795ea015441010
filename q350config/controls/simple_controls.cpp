#include "q350config/controls/simple_controls.h"

#include <QIntValidator>
#include <QPainter>
#include <algorithm>

#include "platform/ui/window_look.h"
#include "q350config/controls/control_messages.h"

namespace q350ui {

// ---- CSkinEdit ----

CSkinEdit::CSkinEdit(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setFont(platform::dialogFont(12));
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { userEdited(t); });
  applyStyle();
  hide();
}

void CSkinEdit::Create(const QRect& rect, int controlId, const QImage& backdrop) {
  controlId_ = controlId;
  backdrop_ = cutFace(backdrop, rect);
  setGeometry(rect);
  applyStyle();
  show();
}

void CSkinEdit::SetColours(QColor text, QColor background) {
  textColour_ = text;
  background_ = background;
  applyStyle();
}

void CSkinEdit::applyStyle() {
  // Over a backdrop the box is transparent and the picture shows through.
  setStyleSheet(QStringLiteral("QLineEdit{color:%1;background:%2;border:none;padding:0px;}")
                    .arg(textColour_.name(), backdrop_.isNull() ? background_.name() : QStringLiteral("transparent")));
}

void CSkinEdit::SetNumberRange(int maximum) {
  maximum_ = maximum;
  setValidator(new QIntValidator(0, 999999, this));
}

void CSkinEdit::SetText(const QString& text) {
  setting_ = true;
  setText(text);
  setting_ = false;
}

void CSkinEdit::userEdited(const QString& text) {
  if (setting_) return;
  if (maximum_ >= 0 && !text.isEmpty() && text.toLongLong() > maximum_) SetText(QString::number(maximum_));
  notifyParent(this, WM_EDIT_CHANGED, static_cast<platform::WPARAM>(controlId_), 0);
}

void CSkinEdit::paintEvent(QPaintEvent* e) {
  if (!backdrop_.isNull()) {
    QPainter p(this);
    p.drawImage(0, 0, backdrop_);
  }
  QLineEdit::paintEvent(e);
}

// ---- CColourSwatch ----

CColourSwatch::CColourSwatch(QWidget* parent) : QWidget(parent) { hide(); }

void CColourSwatch::Create(const QRect& rect) {
  setGeometry(rect);
  show();
}

void CColourSwatch::SetColour(std::uint32_t ref) {
  ref_ = ref & 0x00FFFFFFu;
  update();
}

void CColourSwatch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), platform::colourFromRef(ref_));
}

// ---- CSkinPicture ----

CSkinPicture::CSkinPicture(QWidget* parent) : QWidget(parent) { hide(); }

void CSkinPicture::Create(const QRect& rect, int controlId) {
  controlId_ = controlId;
  setGeometry(rect);
  show();
}

void CSkinPicture::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void CSkinPicture::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

// ---- CSkinProgress ----

CSkinProgress::CSkinProgress(QWidget* parent) : QWidget(parent) { hide(); }

void CSkinProgress::Create(const QRect& rect, const QImage& empty, const QImage& filled) {
  empty_ = empty;
  filled_ = filled;
  setGeometry(rect);
  show();
}

void CSkinProgress::SetRange(int minimum, int maximum) {
  min_ = std::min(minimum, maximum);
  max_ = std::max(minimum, maximum);
  SetPos(pos_);
}

void CSkinProgress::SetPos(int pos) {
  pos_ = pos < min_ || pos > max_ ? min_ : pos;
  update();
}

int CSkinProgress::filledWidth() const {
  if (max_ == min_) return 0;
  return static_cast<int>(static_cast<long long>(width()) * (pos_ - min_) / (max_ - min_));
}

void CSkinProgress::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int filled = filledWidth();
  if (!empty_.isNull())
    p.drawImage(rect(), empty_);
  else
    p.fillRect(rect(), QColor(24, 27, 31));
  if (filled <= 0) return;
  const QRect part(0, 0, filled, height());
  p.setClipRect(part);
  if (!filled_.isNull())
    p.drawImage(rect(), filled_);
  else
    p.fillRect(part, QColor(21, 140, 185));
}

}  // namespace q350ui
