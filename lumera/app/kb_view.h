// What the lighting page needs of the keyboard view (CKBColorDlg): its
// mode, its 132 key colours and the preview it runs. The page never
// switches the mode itself when the user turns lighting on or off: it posts
// kMsgViewMode to its parent, the main window, which switches the view.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "lumera/model/config.h"

namespace lumera {

// Lighting page -> main window: wParam non-zero puts the keyboard view into
// lighting mode, zero into key-assignment mode with every key colour cleared.
constexpr unsigned kMsgViewMode = 1430;
// Keyboard view -> main window: a key was clicked (wParam = key index); in
// lighting mode the main window passes it on to the lighting page.
constexpr unsigned kMsgKeyClicked = 1153;

using KeyColours = std::array<Colour, kKeyCount>;  // by view slot (slot i is key i of the key table)

class KeyboardView {
 public:
  enum Mode { kKeyAssignment = 1, kLighting = 2 };

  virtual ~KeyboardView() = default;

  virtual int mode() const = 0;
  virtual void setMode(int mode) = 0;

  // All 132 colours at once (0 = no colour); setting them also clears the
  // selected key.
  virtual void SetKeyColours(const KeyColours& colours) = 0;
  virtual KeyColours GetKeyColours() const = 0;
  // One slot; an index above 131 is ignored.
  virtual void SetKeyColour(int index, Colour colour) = 0;
  virtual void ClearHover() = 0;

  // Runs the preview the block describes (effect_preview.h) from its first
  // step; a block of kind 0 stops any preview and leaves the keys without
  // colour at the normal alpha.
  virtual void StartPreview(const std::vector<std::uint8_t>& descriptor) = 0;
};

}  // namespace lumera
