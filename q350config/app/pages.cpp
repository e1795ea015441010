#include "q350config/app/pages.h"

#include "q350config/app/app_files.h"
#include "q350config/app/led_dlg.h"
#include "q350config/app/macro_dlg.h"
#include "q350config/app/main_set_dlg.h"
#include "q350config/app/support_dlg.h"

namespace q350app {

CQ350Page::CQ350Page(QWidget* parent, const std::string& picture) : q350ui::CSkinDialog(parent, true) {
  setBackground(orPlain(skinPicture(picture), QSize(925, 456), QColor(0x16, 0x18, 0x1B)));
  sizeToBackground();
}

PageFactories& pageFactories() {
  static PageFactories f{
      [](QWidget* p) -> CQ350Page* { return new CMainSetDlg(p); },
      [](QWidget* p) -> CQ350Page* { return new CMacroDlg(p); },
      [](QWidget* p) -> CQ350Page* { return new CDlgLedMain(p); },
      [](QWidget* p) -> CQ350Page* { return new CDlgSupport(p); },
  };
  return f;
}

}  // namespace q350app
