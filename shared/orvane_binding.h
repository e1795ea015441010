// The programs' binding to the skinned menu library: loads "libOrvane.so"
// by absolute path from the program folder, looks its entries up by name and
// calls them. No Qt here: the owner window travels as an opaque pointer (the
// owning QWidget).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "outside/orvane/orvane_api.h"

namespace shared {

using MenuPictures = std::array<std::string, ORVANE_PICTURES>;

// One menu item record; the text is cut to 39 characters.
OrvaneMenuItem makeMenuItem(std::int32_t parent, std::uint32_t id, std::u16string_view text);

// Lumera's eight pictures in the "skins" folder of its program folder.
MenuPictures lumeraMenuPictures(const std::string& programFolder);
// Q350Config's eight pictures in the "Menu" folder under its skin folder.
MenuPictures q350MenuPictures(const std::string& skinFolder);

class OrvaneBinding {
 public:
  enum class Form { Q350, Lumera };

  OrvaneBinding() = default;
  ~OrvaneBinding();
  OrvaneBinding(const OrvaneBinding&) = delete;
  OrvaneBinding& operator=(const OrvaneBinding&) = delete;

  // Loads "<programFolder>/libOrvane.so" and looks up DllPreTranslateMessage,
  // CreateOrvane, DestroyOrvane and (Lumera) SetGdiInit. True when the
  // library loaded. A copy whose CreateOrvane has the other program's form
  // counts as having no CreateOrvane (calling it would break the stack).
  // Lumera: the menu pictures are prepared when all four entries were found.
  bool load(const std::string& programFolder, Form form);
  // Forgets the entries. The library itself stays mapped: pop-ups it made
  // may still have events queued.
  void unload();

  bool isLoaded() const { return handle_ != nullptr; }
  Form form() const { return form_; }
  bool hasCreate() const { return createQ350_ || createLumera_; }
  bool hasDestroy() const { return destroy_ != nullptr; }
  bool hasPreTranslate() const { return preTranslate_ != nullptr; }
  bool hasSetGdiInit() const { return setGdiInit_ != nullptr; }
  const std::string& error() const { return error_; }

  void setPictures(const MenuPictures& pictures) { pictures_ = pictures; }
  const MenuPictures& pictures() const { return pictures_; }

  // Opens a menu (the form must match the loaded copy). True when it opened.
  bool createQ350(void* owner, int itemHeight, int x, int y, const std::array<std::uint32_t, 3>& textColours,
                  const std::vector<OrvaneMenuItem>& items);
  bool createLumera(void* owner, int itemHeight, int width, int x, int y,
                    const std::array<std::uint32_t, 3>& textColours, std::intptr_t callerValue,
                    const std::vector<OrvaneMenuItem>& items);
  // Closes an open menu (DestroyOrvane), when the entry was found.
  void destroy();

 private:
  void* handle_ = nullptr;
  Form form_ = Form::Lumera;
  OrvaneCreateQ350Fn createQ350_ = nullptr;
  OrvaneCreateLumeraFn createLumera_ = nullptr;
  OrvaneDestroyFn destroy_ = nullptr;
  OrvanePreTranslateFn preTranslate_ = nullptr;
  OrvaneSetGdiInitFn setGdiInit_ = nullptr;
  MenuPictures pictures_;
  std::string error_;
};

// The program's binding (one per process, used on the user-interface thread).
OrvaneBinding& orvane();

}  // namespace shared
