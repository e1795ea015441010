// The small skinned controls of Q350Config: the edit box drawn over a
// picture, the colour swatch, the picture (the language flag) and the
// progress bar drawn from two pictures.
#pragma once

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>

namespace q350ui {

// CSkinEdit: a one-line edit box drawn over the piece of a backdrop
// picture under it (or over a flat colour), in the page's text colour.
// Promises:
// - A change of the text by the user sends WM_EDIT_CHANGED (wParam: control
//   id) to the parent; SetText never does.
// - SetNumberRange limits typing to digits; a typed value above the maximum
//   is replaced by the maximum (the box never shows more than it allows).
// - Enter, Esc, Space and F1 reach the box (skinned windows let edit boxes
//   have them).
class CSkinEdit : public QLineEdit {
 public:
  explicit CSkinEdit(QWidget* parent);

  void Create(const QRect& rect, int controlId, const QImage& backdrop = QImage());
  int controlId() const { return controlId_; }
  void SetColours(QColor text, QColor background);
  QColor textColour() const { return textColour_; }
  void SetNumberRange(int maximum);
  void SetText(const QString& text);
  // The number shown (0 for an empty or non-numeric text).
  int number() const { return text().toInt(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  void userEdited(const QString& text);
  void applyStyle();

  int controlId_ = 0;
  QImage backdrop_;
  QColor textColour_{21, 140, 185};
  QColor background_{15, 15, 15};
  int maximum_ = -1;
  bool setting_ = false;
};

// CColourSwatch: a rectangle filled with a colour reference (0x00BBGGRR).
class CColourSwatch : public QWidget {
 public:
  explicit CColourSwatch(QWidget* parent);
  void Create(const QRect& rect);
  void SetColour(std::uint32_t ref);
  std::uint32_t colour() const { return ref_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::uint32_t ref_ = 0;
};

// CSkinPicture: a picture shown at its place (the top-left corner of the
// rectangle, cut to it); a null picture shows nothing over the parent.
class CSkinPicture : public QWidget {
 public:
  explicit CSkinPicture(QWidget* parent);
  void Create(const QRect& rect, int controlId = 0);
  int controlId() const { return controlId_; }
  void SetPicture(const QImage& picture);
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage picture_;
  int controlId_ = 0;
};

// CSkinProgress: a bar drawn from an empty and a filled picture: the filled
// one from the left up to the position's share of the width, the empty one
// for the rest. Range 0..100 unless set; positions outside it show as the
// minimum.
class CSkinProgress : public QWidget {
 public:
  explicit CSkinProgress(QWidget* parent);
  void Create(const QRect& rect, const QImage& empty, const QImage& filled);
  void SetRange(int minimum, int maximum);
  void SetPos(int pos);
  int GetPos() const { return pos_; }
  // Pixels of the filled picture shown.
  int filledWidth() const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage empty_, filled_;
  int min_ = 0, max_ = 100, pos_ = 0;
};

}  // namespace q350ui
