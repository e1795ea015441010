// What the device-side fuzz targets share: windows that take every message
// (1 and 2 exist, 2 being the progress window every search finds) and the
// controls of a loaded HID stand-in library (fake_hid.h).
#pragma once

#include <string>

#include "platform/hid/module.h"
#include "platform/ui/window_messages.h"
#include "tests/fuzz/fake_hid.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzzsupport {

class StubWindows final : public platform::WindowMessenger {
 public:
  platform::WindowHandle findWindow(std::u16string_view) override { return 2; }
  bool postMessage(platform::WindowHandle, unsigned, platform::WPARAM, platform::LPARAM) override { return true; }
  bool isWindow(platform::WindowHandle w) override { return w == 1 || w == 2; }
};

// The stand-in library at `path`, loaded once; the driver under test loads
// the same copy by the same path.
struct FakeHid {
  FakeHidSetScriptFn setScript = nullptr;
  FakeHidOpenHandlesFn openHandles = nullptr;

  explicit FakeHid(const std::string& path) {
    scratch();
    const platform::ModuleHandle library = platform::loadModule(path);
    if (!library) fail("cannot load the stand-in HID library");
    setScript = reinterpret_cast<FakeHidSetScriptFn>(platform::moduleSymbol(library, "FakeHidSetScript"));
    openHandles = reinterpret_cast<FakeHidOpenHandlesFn>(platform::moduleSymbol(library, "FakeHidOpenHandles"));
    if (!setScript || !openHandles) fail("stand-in HID library without its controls");
  }
};

}  // namespace fuzzsupport
