// The visual language shared by every skin picture: palette, fonts and the
// few shapes (panels, buttons, key caps, check marks) the windows are built
// from. Both programs use the same look: near-black faces with a brushed
// texture, thin grey edges and a teal accent.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <functional>

namespace skingen {

// The three looks of every skinned control: the pictures of a window come in
// these variants and the programs cut each control's face from them.
enum class Face { Normal, Over, Down };

namespace palette {
inline const QColor kBase{13, 15, 18};          // window face
inline const QColor kBaseHigh{24, 27, 31};      // top of the window gradient
inline const QColor kPanel{19, 22, 26};         // inset panels
inline const QColor kPanelDeep{11, 12, 15};     // lists, wells
inline const QColor kRaised{36, 41, 47};        // button faces
inline const QColor kRaisedLow{24, 28, 33};
inline const QColor kEdge{52, 59, 67};          // 1-pixel borders
inline const QColor kEdgeSoft{34, 39, 45};
inline const QColor kText{206, 212, 218};
inline const QColor kTextDim{128, 138, 148};
inline const QColor kTeal{8, 124, 144};         // the brand accent
inline const QColor kTealBright{40, 214, 236};
inline const QColor kTealDeep{4, 62, 74};
inline const QColor kRecord{222, 48, 56};
}  // namespace palette

// Fonts present on Debian: DejaVu Sans for Latin and Cyrillic, Noto Sans CJK
// for Chinese and Korean. Sizes are in pixels so pictures do not depend on
// the screen's resolution.
QFont uiFont(int pixelSize, int weight = QFont::Normal, bool cjk = false);
QFont headingFont(int pixelSize, bool cjk = false);

// A transparent (alpha) or opaque picture, cleared.
QImage newImage(int w, int h, bool alpha);
// A new picture painted by `body` with a prepared painter.
QImage drawn(int w, int h, bool alpha, const std::function<void(QPainter&)>& body);

// Sets up a painter for crisp, anti-aliased drawing.
void prepare(QPainter& p);

// The window face: a vertical gradient with a faint diagonal brushed texture.
void fillFace(QPainter& p, const QRectF& r);
// An inset panel with a 1-pixel edge and a lit top line.
void panel(QPainter& p, const QRectF& r, qreal radius = 4, const QColor& fill = palette::kPanel);
// A dark well (list boxes, edit boxes).
void well(QPainter& p, const QRectF& r, const QColor& fill = palette::kPanelDeep);
// Rectangle with cut corners: the frame shape of the windows.
QPainterPath chamfered(const QRectF& r, qreal cut);
// Teal rule with a soft glow, for headers and separators.
void accentLine(QPainter& p, QPointF a, QPointF b, qreal width = 2);

// A push button face in one of the three looks, with an optional caption.
void buttonFace(QPainter& p, const QRectF& r, Face face, const QString& caption = QString(),
                const QFont& font = uiFont(12, QFont::DemiBold), qreal radius = 3);
// A button face shaped by any outline (the Q350's quadrilateral tabs).
void shapedFace(QPainter& p, const QPainterPath& shape, Face face);
// Radio and check marks in a square box.
void radioMark(QPainter& p, const QRectF& r, Face face, bool on);
void checkMark(QPainter& p, const QRectF& r, Face face, bool on);
// A key cap with its legend (legends with "\n" get two lines).
void keyCap(QPainter& p, const QRectF& r, const QString& legend, Face face, int fontPx = 9);

// Text helpers.
void drawText(QPainter& p, const QRectF& r, int flags, const QString& text, const QFont& font,
              const QColor& colour = palette::kText);
// A caption with a small teal marker in front of it (section titles).
void sectionTitle(QPainter& p, QPointF at, const QString& text, const QFont& font);

// The brand mark "KAVRO" with the product name beside it.
void brandMark(QPainter& p, QPointF at, const QString& product, qreal scale = 1.0);

// Simple glyphs drawn with lines, so they need no icon font.
void glyphArrow(QPainter& p, const QRectF& r, int direction, const QColor& colour);  // 0 up,1 right,2 down,3 left
void glyphMinus(QPainter& p, const QRectF& r, const QColor& colour);
void glyphClose(QPainter& p, const QRectF& r, const QColor& colour);

}  // namespace skingen

namespace skingen {
// A pop-up window's face: brushed background, chamfered edge, a header band
// of `headerHeight` pixels with a teal rule under it. Everything outside the
// chamfer is filled with `outside` (the colour the window's region cuts away).
void dialogFrame(QPainter& p, const QRectF& r, int headerHeight, const QColor& outside, qreal cut = 8);
// Glyphs for the small icon buttons.
void glyphGear(QPainter& p, const QRectF& r, const QColor& colour);
void glyphKeyboard(QPainter& p, const QRectF& r, const QColor& colour);
void glyphHand(QPainter& p, const QRectF& r, const QColor& colour);
void glyphFolder(QPainter& p, const QRectF& r, bool open);
void glyphRestore(QPainter& p, const QRectF& r, const QColor& colour);
void glyphClock(QPainter& p, const QRectF& r, const QColor& colour);
// The teal "i" disc of information messages.
void glyphInfo(QPainter& p, const QRectF& r);
// Fills a shape with the brand's teal gradient (bright at the top).
void tealFill(QPainter& p, const QPainterPath& shape);
// The keyboard's case under its keys: dark plate with a teal inner rim.
void keyboardBody(QPainter& p, const QRectF& r, qreal radius);
// One item of a skinned pop-up menu (w x h), with a chevron when it opens a
// submenu; Over and Down light it in teal.
QImage menuItemPicture(int w, int h, bool hasSub, Face face);
}  // namespace skingen
