/* The C interface of the skinned menu library libOrvane.so.
 *
 * Each configuration program loads its own copy by name from its folder and
 * resolves the entries by name. The copies differ only in the opening call
 * (CreateOrvane) and in the message that carries the choice back:
 *   Q350Config form: message 0x0501, lParam = the chosen item's id;
 *   Lumera form:     message 1143, wParam = the item's id, lParam = the
 *                    caller value given to CreateOrvane.
 * The owner window is the owning QWidget (passed as void*); the choice is
 * posted to it as a platform::PostedMessage event, so the library must run
 * in the caller's process, on its user-interface thread. */
#ifndef KAVRO_ORVANE_API_H
#define KAVRO_ORVANE_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One menu item: 88 bytes, laid out as the callers build their arrays. */
typedef struct OrvaneMenuItem {
  int32_t parent;     /* ORVANE_TOP_LEVEL, or the index of the item that opens this submenu */
  uint32_t id;        /* sent back when the item is chosen */
  uint16_t text[40];  /* UTF-16, at most 39 characters, zero-terminated */
} OrvaneMenuItem;

#define ORVANE_TOP_LEVEL 255
#define ORVANE_TEXT_CHARS 39
#define ORVANE_PICTURES 8

#define ORVANE_MSG_Q350_CHOICE 0x0501
#define ORVANE_MSG_LUMERA_CHOICE 1143

#define ORVANE_FORM_Q350 1
#define ORVANE_FORM_LUMERA 2

/* paths: ORVANE_PICTURES UTF-8 file names: item normal, under the mouse,
 * pressed, normal again; then the same four for an item with a submenu.
 * Both forms answer 1 when the menu opened, 0 otherwise. */
typedef int (*OrvaneCreateQ350Fn)(void* owner, int itemHeight, int x, int y, uint32_t clrText, uint32_t clrOver,
                                  uint32_t clrDown, const char* const* paths, const OrvaneMenuItem* items,
                                  int count);
typedef int (*OrvaneCreateLumeraFn)(void* owner, int itemHeight, int width, int x, int y, uint32_t clrText,
                                    uint32_t clrOver, uint32_t clrDown, const char* const* paths,
                                    intptr_t callerValue, const uint32_t* frameColour, const OrvaneMenuItem* items,
                                    int count);
/* Closes the open menu, if any, without a choice. */
typedef void (*OrvaneDestroyFn)(void);
typedef int (*OrvanePreTranslateFn)(void* message);
typedef void (*OrvaneSetGdiInitFn)(int initialised);
/* Which form this copy's CreateOrvane has (ORVANE_FORM_...). */
typedef int (*OrvaneCallFormFn)(void);

#ifdef __cplusplus
}
static_assert(sizeof(OrvaneMenuItem) == 88, "menu item record is 88 bytes");
static_assert(offsetof(OrvaneMenuItem, text) == 8, "menu item text at offset 8");
#endif

#endif
