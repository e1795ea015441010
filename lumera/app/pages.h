// The pages of the main window that come from their own windows: the
// lighting page and the colour panel. The main window knows them only
// through these classes and creates them through the two factories at the
// end (CLedDlg and CColorPanelDlg), so that each can be tested alone.
#pragma once

#include <QImage>
#include <QRect>
#include <functional>

#include "lumera/app/skin_window.h"
#include "lumera/model/profile.h"

namespace lumera {

class CKBColorDlg;
class CColorPanelBase;

// What the lighting page gets from the main window.
struct LightingPartners {
  CKBColorDlg* view = nullptr;           // the keyboard view (colours, mode, previews)
  CColorPanelBase* colourPanel = nullptr;
  // Requests an apply of the current profile with these flags ("ApplyNow").
  std::function<void(unsigned flags)> requestApply;
};

// The lighting page (a child page at "rcLED"). It edits the current profile
// in place. Message 1153 (a key clicked in lighting mode) is posted to it
// with the key index in wParam; message 1430 goes from it to the main
// window to switch the keyboard view's mode.
class CLightingPageBase : public CSkinWnd {
 public:
  CLightingPageBase(QWidget* parent, const QImage& mainBackground, const QRect& pageRect);

  // The profile the page shows and edits from now on (nullptr: none). Called
  // by the main window's view refresh; reloads every control.
  virtual void LoadFromProfile(ProfileRecord* profile) = 0;
  // Stores the controls into the profile (before OK and Apply).
  virtual void StoreToProfile() = 0;
};

// The colour panel (a hidden child page at (280, 420)-(540, 610)); the
// main window only hides it when the user clicks elsewhere.
class CColorPanelBase : public CSkinWnd {
 public:
  CColorPanelBase(QWidget* parent, const QImage& mainBackground, const QRect& pageRect);
  // The lighting page that receives the chosen colours.
  virtual void SetOwnerPage(CLightingPageBase* page) { (void)page; }
};

// The pages the main window creates.
CLightingPageBase* createLightingPage(QWidget* parent, const QImage& mainBackground, const QRect& pageRect,
                                      const LightingPartners& partners);
CColorPanelBase* createColourPanel(QWidget* parent, const QImage& mainBackground, const QRect& pageRect);

}  // namespace lumera
