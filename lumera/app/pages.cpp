#include "lumera/app/pages.h"

#include "lumera/app/color_panel.h"
#include "lumera/app/kb_color_dlg.h"
#include "lumera/app/led_dlg.h"

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

CLightingPageBase* createLightingPage(QWidget* parent, const QImage& mainBackground, const QRect& pageRect,
                                      const LightingPartners& partners) {
  return new CLedDlg(parent, mainBackground, pageRect, partners.view,
                     dynamic_cast<CColorPanelDlg*>(partners.colourPanel), partners.requestApply);
}

CColorPanelBase* createColourPanel(QWidget* parent, const QImage& mainBackground, const QRect& pageRect) {
  return new CColorPanelDlg(parent, mainBackground, pageRect.topLeft());
}

}  // namespace lumera
