// The exported C entries of one copy of libOrvane.so. Built twice: with
// ORVANE_FORM set to ORVANE_FORM_Q350 for the Q350Config copy and to
// ORVANE_FORM_LUMERA for the Lumera copy.
#include <QApplication>

#include "outside/orvane/menu_popup.h"
#include "outside/orvane/orvane_api.h"

#ifndef ORVANE_FORM
#error "ORVANE_FORM must be defined"
#endif

#define ORVANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool prepare(orvane::MenuSpec& spec, void* owner, int itemHeight, uint32_t text, uint32_t over, uint32_t down,
             const char* const* paths, const OrvaneMenuItem* items, int count) {
  if (!owner || !items || count <= 0) return false;
  auto colour = [](uint32_t ref) { return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF); };
  spec.owner = static_cast<QObject*>(owner);
  spec.itemHeight = itemHeight;
  spec.text = colour(text);
  spec.over = colour(over);
  spec.down = colour(down);
  spec.pictures.assign(ORVANE_PICTURES, QImage());
  if (paths)
    for (int i = 0; i < ORVANE_PICTURES; ++i)
      if (paths[i]) spec.pictures[static_cast<std::size_t>(i)].load(QString::fromUtf8(paths[i]));
  spec.items.assign(items, items + count);
  return true;
}

}  // namespace

#if ORVANE_FORM == ORVANE_FORM_Q350
ORVANE_EXPORT int CreateOrvane(void* owner, int itemHeight, int x, int y, uint32_t clrText, uint32_t clrOver,
                               uint32_t clrDown, const char* const* paths, const OrvaneMenuItem* items, int count) {
  orvane::MenuSpec spec;
  if (!prepare(spec, owner, itemHeight, clrText, clrOver, clrDown, paths, items, count)) return 0;
  spec.at = QPoint(x, y);
  spec.message = ORVANE_MSG_Q350_CHOICE;
  spec.idInWParam = false;
  return orvane::MenuSession::open(std::move(spec)) ? 1 : 0;
}
#else
ORVANE_EXPORT int CreateOrvane(void* owner, int itemHeight, int width, int x, int y, uint32_t clrText,
                               uint32_t clrOver, uint32_t clrDown, const char* const* paths, intptr_t callerValue,
                               const uint32_t* frameColour, const OrvaneMenuItem* items, int count) {
  orvane::MenuSpec spec;
  if (!prepare(spec, owner, itemHeight, clrText, clrOver, clrDown, paths, items, count)) return 0;
  spec.width = width;
  spec.at = QPoint(x, y);
  if (frameColour) spec.frame = QColor(*frameColour & 0xFF, (*frameColour >> 8) & 0xFF, (*frameColour >> 16) & 0xFF);
  spec.message = ORVANE_MSG_LUMERA_CHOICE;
  spec.idInWParam = true;
  spec.callerValue = callerValue;
  return orvane::MenuSession::open(std::move(spec)) ? 1 : 0;
}

ORVANE_EXPORT void SetGdiInit(int) {}
#endif

ORVANE_EXPORT void DestroyOrvane(void) { orvane::MenuSession::close(); }

// Messages are not pre-translated: the menu is a Qt pop-up and gets its own
// events. Answers 0 (not handled).
ORVANE_EXPORT int DllPreTranslateMessage(void*) { return 0; }

ORVANE_EXPORT int OrvaneCallForm(void) { return ORVANE_FORM; }
