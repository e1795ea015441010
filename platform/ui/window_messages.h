// Window messages without Qt: the numbers, the handle type and the small
// interface through which code that has no user interface of its own (the
// apply worker, for instance) finds a window by its title and posts to it.
//
// Including this header pulls in no Qt; the implementation behind
// windowMessenger() lives in kavro_platform_ui and is handed to such code by
// the program that owns the windows.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window of this process, identified by a number that is never reused
// while the process runs. 0 is no window.
using WindowHandle = std::uint64_t;

// The standard message numbers the programs use by name.
constexpr unsigned WM_NULL = 0x0000;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_USER = 0x0400;

// Dialog results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Notification code of a clicked button, in the high word of WM_COMMAND's
// wParam (the low word holds the control id).
constexpr unsigned BN_CLICKED = 0;
constexpr WPARAM makeWParam(unsigned low, unsigned high) {
  return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr LPARAM makeLParam(int low, int high) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<unsigned>(low) & 0xFFFFu) |
                                                        ((static_cast<unsigned>(high) & 0xFFFFu) << 16)));
}
constexpr unsigned loWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned hiWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }

// Finding and posting, callable from any thread.
class WindowMessenger {
 public:
  virtual ~WindowMessenger() = default;
  // The first top-level window of this process whose title equals `title`
  // (ASCII case ignored, as window titles are compared); 0 when none.
  virtual WindowHandle findWindow(std::u16string_view title) = 0;
  // Queues a message for the window; false when the window no longer exists.
  virtual bool postMessage(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam) = 0;
  // True while the window exists.
  virtual bool isWindow(WindowHandle window) = 0;
};

// The process's windows (implemented in kavro_platform_ui).
WindowMessenger& windowMessenger();

}  // namespace platform
