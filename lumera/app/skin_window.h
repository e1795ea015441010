// What every skinned window of Lumera shares: pictures from the "skins"
// folder beside the program, texts from the text table, the message numbers
// the windows exchange, the hooks to parts that other windows provide, and
// CSkinWnd, the base of the pop-up windows and pages (background picture,
// dialog font, dragging by the background, closing an open skinned menu on
// a click or a command, opening skinned menus at a control).
#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lumera/model/records.h"
#include "lumera/model/services.h"
#include "outside/orvane/orvane_api.h"
#include "platform/ui/message_window.h"

namespace lumera {

// Message numbers of the skinned windows (decimal, as the windows use them).
constexpr unsigned kMsgProgress = 1067;    // progress dialog: wParam = position
constexpr unsigned kMsgMenuChoice = 1143;  // skinned menu: wParam = id, lParam = caller value
constexpr unsigned kMsgSliderSet = 2048;   // slider: wParam = position or scale value, lParam = control id
constexpr unsigned kMsgSliderDrag = 2049;  // slider while dragged

// Window titles by which pop-up windows are found.
inline constexpr char16_t kMsgDlgTitle[] = u"LumeraMsgTopWindow";
inline constexpr char16_t kProgressDlgTitle[] = u"MyProgressDlg..";

// "<program folder>skins/<name>", the name matched without regard to case
// ("Gest/gest1_nr.png" works too).
QString skinPath(const QString& name);
// The decoded picture, or a null image when it is missing or unreadable.
QImage loadSkin(const QString& name);
// A text of the text table.
QString uiText(std::string_view key);
// The text table as the model's text lookup.
const TextLookup& programTexts();

// What these windows need from windows and tables other parts provide; the
// program fills them in at start. Unset hooks give the fallbacks noted.
struct UiHooks {
  // The name of a key by virtual-key code (fallback: the model's key names
  // with the text table, in a US layout).
  std::function<std::u16string(unsigned virtualKey)> keyName;
  // The display name of a key function (fallback: empty).
  std::function<std::u16string(const KeyFunction&)> functionName;
  // The key function picker in macro-only mode; true with the picked record
  // when it ended with OK (fallback: nothing is picked).
  std::function<bool(QWidget* parent, KeyInfo& picked)> pickMacro;
  // The key function picker for key `keyIndex` of the key table, opened on
  // the key's current record; true with the picked record when it ended with
  // OK (fallback: nothing is picked).
  std::function<bool(QWidget* parent, int keyIndex, const KeyInfo& current, KeyInfo& picked)> pickKeyFunction;
  // The macro library and editor, run modally. `macroInUse(id)` answers
  // whether a macro must not be deleted (and has told the user why)
  // (fallback: nothing opens).
  std::function<void(QWidget* parent, const std::function<bool(int macroId)>& macroInUse)> runMacroLibrary;
};
UiHooks& uiHooks();
std::u16string keyNameOf(unsigned virtualKey);
std::u16string functionNameOf(const KeyFunction& f);

// The skinned menu of a page or control: item height 20, the width of the
// control minus 4 (or `width`), at the control's left edge + 2 and its bottom
// edge, or above the control when the menu would pass the bottom of the
// screen; the menu text colours of the configuration. The choice comes back
// to `owner` as kMsgMenuChoice. False when no menu library is loaded.
bool openSkinMenu(QWidget* owner, QWidget* control, const std::vector<OrvaneMenuItem>& items, int width = 0,
                  std::intptr_t callerValue = 0);
// The same menu with its corner at a screen point (a context menu at the
// pointer), `width` pixels wide.
bool openSkinMenuAt(QWidget* owner, QPoint global, const std::vector<OrvaneMenuItem>& items, int width,
                    std::intptr_t callerValue = 0);
// Where such a menu goes, for a control at `controlGlobal` (screen
// coordinates) with `itemCount` items.
QPoint skinMenuPosition(const QRect& controlGlobal, int itemCount, int screenHeight);
// Closes an open skinned menu.
void closeSkinMenu();

// The base of Lumera's skinned windows: a frameless top-level window (or a
// page when given a parent and asChild) drawn from a background picture.
class CSkinWnd : public platform::MessageWindow {
 public:
  explicit CSkinWnd(QWidget* parent = nullptr, bool asChild = false);

  void setBackground(const QImage& image) {
    background_ = image;
    update();
  }
  const QImage& background() const { return background_; }

 protected:
  // WM_COMMAND first closes an open skinned menu.
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  // A left click first closes an open skinned menu, then drags the window.
  void mousePressEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  // Size to the background and centre over the parent window; when that
  // would put an edge off the screen, centre on the screen instead (10
  // pixels from the left or top when the picture is not smaller than it).
  void placeOverParent();

  QImage background_;
};

}  // namespace lumera
