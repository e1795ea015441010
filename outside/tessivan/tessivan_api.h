/* The C interface of the keyboard-hook library libTessivan.so.
 *
 * Q350Config loads it by name from its folder and resolves the four entries
 * by name. Once installed, the hook watches every key event that reaches a
 * window of the calling process (an application-wide event filter; keys
 * typed into other programs are never seen) and, while delivery is on,
 * sends each key to the receive window as message TESSIVAN_MSG_HOOK_KEY:
 *   wParam  the virtual-key code, with left and right kept apart for the
 *           modifiers (0xA0/0xA1 Shift, 0xA2/0xA3 Ctrl, 0xA4/0xA5 Alt,
 *           0x5B/0x5C Windows keys); both Enter keys are 0x0D, the keypad
 *           one with the extended flag;
 *   lParam  flags: TESSIVAN_FLAG_EXTENDED for the keys of the extended set
 *           (right Ctrl and Alt, keypad Enter and '/', the navigation block,
 *           the Windows and menu keys, NumLock, Print), TESSIVAN_FLAG_ALTDOWN
 *           for an Alt press and keys typed while Alt is held, TESSIVAN_FLAG_UP for a release.
 * A key delivered is taken: it does not also reach the program's controls,
 * so a Space recorded into a macro presses no button. With delivery off, or
 * without a receive window, keys pass untouched. Key repeats are delivered
 * as further presses. The receive window is the receiving QObject passed as
 * void*; the message is a platform::PostedMessage sent on the
 * user-interface thread (the receiver's result is the handler's).
 */
#ifndef KAVRO_TESSIVAN_API_H
#define KAVRO_TESSIVAN_API_H

#ifdef __cplusplus
extern "C" {
#endif

#define TESSIVAN_MSG_HOOK_KEY 0x040A
#define TESSIVAN_FLAG_EXTENDED 0x01
#define TESSIVAN_FLAG_ALTDOWN 0x20
#define TESSIVAN_FLAG_UP 0x80

/* Installs the filter on the running application: 1 on success, 0 without
 * an application object. Installing twice keeps one filter. */
typedef int (*TessivanInstallHookFn)(void);
/* Removes it; delivery and the receive window are forgotten. 1 when a hook
 * was installed. */
typedef int (*TessivanRemoveHookFn)(void);
/* Delivery on (non-zero) or off; the second argument is unused (always 0). */
typedef void (*TessivanSetHookStatusFn)(int on, int reserved);
/* The window that receives the keys (null: none). A window that goes away
 * is forgotten by itself. */
typedef void (*TessivanSetReciveWindowFn)(void* window);

#ifdef __cplusplus
}
#endif

#endif
