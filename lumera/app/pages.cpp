#include "lumera/app/pages.h"

namespace lumera {

CLightingPageBase::CLightingPageBase(QWidget* parent, const QImage& mainBackground, const QRect& pageRect)
    : CSkinWnd(parent, true) {
  setGeometry(pageRect);
  if (!mainBackground.isNull()) setBackground(mainBackground.copy(pageRect));
}

CColorPanelBase::CColorPanelBase(QWidget* parent, const QImage& mainBackground, const QRect& pageRect)
    : CSkinWnd(parent, true) {
  setGeometry(pageRect);
  if (!mainBackground.isNull()) setBackground(mainBackground.copy(pageRect));
}

namespace {

// Until the lighting page exists: the window's own background, no controls,
// nothing stored. Keys clicked in lighting mode end here.
class PlainLightingPage final : public CLightingPageBase {
 public:
  using CLightingPageBase::CLightingPageBase;
  void LoadFromProfile(ProfileRecord*) override {}
  void StoreToProfile() override {}
};

class PlainColourPanel final : public CColorPanelBase {
 public:
  using CColorPanelBase::CColorPanelBase;
};

}  // namespace

CLightingPageBase* createLightingPage(QWidget* parent, const QImage& mainBackground, const QRect& pageRect,
                                      const LightingPartners&) {
  return new PlainLightingPage(parent, mainBackground, pageRect);
}

CColorPanelBase* createColourPanel(QWidget* parent, const QImage& mainBackground, const QRect& pageRect) {
  return new PlainColourPanel(parent, mainBackground, pageRect);
}

}  // namespace lumera
