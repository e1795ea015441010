#include "platform/hid/module.h"

#include <dlfcn.h>

#include "platform/paths.h"

namespace platform {

namespace {
thread_local std::string tError;

std::string fileNameFor(const std::string& name) {
  std::string base = name;
  if (base.size() > 4) {
    const std::string tail = base.substr(base.size() - 4);
    if (tail == ".dll" || tail == ".DLL") base.resize(base.size() - 4);
  }
  if (base.size() > 3 && base.compare(base.size() - 3, 3, ".so") == 0) return base;
  return "lib" + base + ".so";
}

void* open(const std::string& file) { return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }

std::string loaderError() {
  const char* e = ::dlerror();
  return e ? e : "";
}
}  // namespace

ModuleHandle loadModule(const std::string& name) {
  tError.clear();
  if (name.find('/') != std::string::npos) {
    void* h = open(name);
    if (!h) tError = loaderError();
    return h;
  }
  const std::string file = fileNameFor(name);
  void* h = open(joinPath(programFolder(), file));
  if (h) return h;
  const std::string first = loaderError();
  h = open(file);
  if (!h) tError = first + "; " + loaderError();
  return h;
}

void* moduleSymbol(ModuleHandle module, const char* symbol) {
  if (!module || !symbol) return nullptr;
  void* p = ::dlsym(module, symbol);
  if (!p) {
    tError = loaderError();
    if (tError.empty()) tError = std::string("no symbol ") + symbol;
  }
  return p;
}

void freeModule(ModuleHandle module) {
  if (module) ::dlclose(module);
}

std::string moduleError() { return tError; }

}  // namespace platform
