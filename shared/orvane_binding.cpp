#include "shared/orvane_binding.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "platform/paths.h"

namespace shared {

namespace {

// The colour whose address Lumera hands to the menu (the frame colour).
const std::uint32_t kFrameColour = 0x323232;

template <typename Fn>
Fn lookup(void* handle, const char* name) {
  return reinterpret_cast<Fn>(::dlsym(handle, name));
}

std::array<const char*, ORVANE_PICTURES> pathPointers(const MenuPictures& pictures) {
  std::array<const char*, ORVANE_PICTURES> p{};
  for (int i = 0; i < ORVANE_PICTURES; ++i) p[static_cast<std::size_t>(i)] = pictures[static_cast<std::size_t>(i)].c_str();
  return p;
}

}  // namespace

OrvaneMenuItem makeMenuItem(std::int32_t parent, std::uint32_t id, std::u16string_view text) {
  OrvaneMenuItem item;
  std::memset(&item, 0, sizeof item);
  item.parent = parent;
  item.id = id;
  const std::size_t n = std::min<std::size_t>(text.size(), ORVANE_TEXT_CHARS);
  for (std::size_t i = 0; i < n; ++i) item.text[i] = static_cast<std::uint16_t>(text[i]);
  return item;
}

MenuPictures lumeraMenuPictures(const std::string& programFolder) {
  const char* names[ORVANE_PICTURES] = {"menu_nr.bmp",    "menu_ov.bmp",    "menu_ov.bmp",    "menu_nr.bmp",
                                        "menusub_nr.bmp", "menusub_ov.bmp", "menusub_ov.bmp", "menusub_nr.bmp"};
  MenuPictures out;
  for (int i = 0; i < ORVANE_PICTURES; ++i)
    out[static_cast<std::size_t>(i)] = platform::resolveNoCase(programFolder, std::string("skins/") + names[i]);
  return out;
}

MenuPictures q350MenuPictures(const std::string& skinFolder) {
  const char* names[ORVANE_PICTURES] = {"MenuNorL.BMP",       "MenuOverL.BMP",       "MenuDownL.BMP",
                                        "MenuNorL.BMP",       "MenuNorHaveSub.BMP",  "MenuOverHaveSub.BMP",
                                        "MenuDownHaveSub.BMP", "MenuNorHaveSub.BMP"};
  MenuPictures out;
  for (int i = 0; i < ORVANE_PICTURES; ++i)
    out[static_cast<std::size_t>(i)] = platform::resolveNoCase(skinFolder, std::string("Menu/") + names[i]);
  return out;
}

OrvaneBinding::~OrvaneBinding() { unload(); }

bool OrvaneBinding::load(const std::string& programFolder, Form form) {
  unload();
  form_ = form;
  // Always by absolute path: dlopen would otherwise search the run path of
  // its caller, never the program's folder.
  const std::string path = platform::findFileNoCase(programFolder, "libOrvane.so");
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle_) {
    const char* e = ::dlerror();
    error_ = e ? e : "dlopen failed";
    return false;
  }
  error_.clear();
  preTranslate_ = lookup<OrvanePreTranslateFn>(handle_, "DllPreTranslateMessage");
  destroy_ = lookup<OrvaneDestroyFn>(handle_, "DestroyOrvane");
  if (form == Form::Lumera) setGdiInit_ = lookup<OrvaneSetGdiInitFn>(handle_, "SetGdiInit");
  void* create = ::dlsym(handle_, "CreateOrvane");
  const auto callForm = lookup<OrvaneCallFormFn>(handle_, "OrvaneCallForm");
  const int wanted = form == Form::Q350 ? ORVANE_FORM_Q350 : ORVANE_FORM_LUMERA;
  if (create && callForm && callForm() != wanted) {
    error_ = "libOrvane.so is the other program's copy";
    create = nullptr;
  }
  if (form == Form::Q350)
    createQ350_ = reinterpret_cast<OrvaneCreateQ350Fn>(create);
  else
    createLumera_ = reinterpret_cast<OrvaneCreateLumeraFn>(create);
  if (form == Form::Lumera && createLumera_ && destroy_ && preTranslate_ && setGdiInit_)
    pictures_ = lumeraMenuPictures(programFolder);
  return true;
}

void OrvaneBinding::unload() {
  if (handle_) {
    if (destroy_) destroy_();
    ::dlclose(handle_);  // RTLD_NODELETE keeps the code mapped
  }
  handle_ = nullptr;
  createQ350_ = nullptr;
  createLumera_ = nullptr;
  destroy_ = nullptr;
  preTranslate_ = nullptr;
  setGdiInit_ = nullptr;
  pictures_ = MenuPictures{};
}

bool OrvaneBinding::createQ350(void* owner, int itemHeight, int x, int y,
                               const std::array<std::uint32_t, 3>& colours,
                               const std::vector<OrvaneMenuItem>& items) {
  if (!createQ350_ || items.empty()) return false;
  const auto paths = pathPointers(pictures_);
  return createQ350_(owner, itemHeight, x, y, colours[0], colours[1], colours[2], paths.data(), items.data(),
                     static_cast<int>(items.size())) != 0;
}

bool OrvaneBinding::createLumera(void* owner, int itemHeight, int width, int x, int y,
                                 const std::array<std::uint32_t, 3>& colours, std::intptr_t callerValue,
                                 const std::vector<OrvaneMenuItem>& items) {
  if (!createLumera_ || items.empty()) return false;
  const auto paths = pathPointers(pictures_);
  return createLumera_(owner, itemHeight, width, x, y, colours[0], colours[1], colours[2], paths.data(), callerValue,
                       &kFrameColour, items.data(), static_cast<int>(items.size())) != 0;
}

void OrvaneBinding::destroy() {
  if (destroy_) destroy_();
}

OrvaneBinding& orvane() {
  // Never destroyed: closing a menu after the application object is gone
  // would touch dead widgets.
  static OrvaneBinding* binding = new OrvaneBinding;
  return *binding;
}

}  // namespace shared
