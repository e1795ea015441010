#include "q350config/app/hook_library.h"

#include "platform/hid/module.h"

namespace q350app {

bool HookLibrary::load(const std::string& library) {
  *this = HookLibrary();
  platform::ModuleHandle m = platform::loadModule(library);
  if (m) {
    install_ = reinterpret_cast<TessivanInstallHookFn>(platform::moduleSymbol(m, "installhook"));
    remove_ = reinterpret_cast<TessivanRemoveHookFn>(platform::moduleSymbol(m, "removehook"));
    status_ = reinterpret_cast<TessivanSetHookStatusFn>(platform::moduleSymbol(m, "SetHookStatus"));
    receiver_ = reinterpret_cast<TessivanSetReciveWindowFn>(platform::moduleSymbol(m, "SetReciveWindow"));
  }
  if (install_) install_();
  return complete();
}

HookLibrary& hookLibrary() {
  static HookLibrary lib;
  return lib;
}

}  // namespace q350app
