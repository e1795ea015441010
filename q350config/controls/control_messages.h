// The messages Q350Config's skinned controls send to their parent window,
// and the few helpers every control shares. Numbers are fixed: the pages'
// message maps are written against them.
#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>

#include "platform/ui/window_messages.h"

class QObject;

namespace q350ui {

// A list box item was clicked: wParam = the list's control id, lParam = the
// index of the item under the mouse (-1 below the last item).
constexpr unsigned WM_LIST_CLICKED = 0x0465;
// An in-place rename ended with Enter or the loss of focus (Esc cancels it
// without a notice): wParam = control id, lParam = the item's index.
constexpr unsigned WM_LIST_EDIT_DONE = 0x0470;
// A skinned menu item was chosen (the menu library's Q350Config form):
// lParam = the item's id.
constexpr unsigned WM_POPUP_SELECT = 0x0501;
// A slider was moved by the user: wParam = the new position, lParam = the
// slider's control id.
constexpr unsigned WM_SLIDER_MOVED = 0x0800;
// The text of an edit box was changed by the user: wParam = control id.
constexpr unsigned WM_EDIT_CHANGED = 0x0802;
// Show hint n in the main window's status line: lParam = n (99 clears it).
constexpr unsigned WM_SHOW_HINT = 2053;
constexpr int kNoHint = -1;

// A rectangle given as left, top, right, bottom with the right and bottom
// edges outside it (the way the layout tables give them).
constexpr QRect rectLTRB(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

// The piece of `picture` at `rect`, padded with transparent pixels where
// the rectangle leaves the picture (a null picture gives a null piece).
QImage cutFace(const QImage& picture, const QRect& rect);

// Where hovering a control with a hint id posts WM_SHOW_HINT: the program's
// main window. Without one hints are dropped.
void setHintWindow(QObject* window);
QObject* hintWindow();
// Posts WM_SHOW_HINT with `hint` to the hint window (nothing for kNoHint).
void postHint(int hint);

// Sends a control's notice to its parent synchronously, as a control
// notifies its dialog; nothing without a parent.
platform::LRESULT notifyParent(QObject* control, unsigned message, platform::WPARAM w, platform::LPARAM l);

}  // namespace q350ui
