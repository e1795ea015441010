#include "lumera/app/key_macro_dialogs.h"

#include "lumera/app/key_fun_pick_dlg.h"
#include "lumera/app/macro_dlg.h"
#include "lumera/model/keycodes.h"
#include "shared/text_table.h"

namespace lumera {

namespace {
class TableTexts final : public TextLookup {
 public:
  std::u16string text(std::string_view key) const override { return shared::Text(key); }
};
}  // namespace

void installKeyAndMacroDialogs() {
  UiHooks& h = uiHooks();
  h.pickKeyFunction = [](QWidget* parent, int keyIndex, const KeyInfo& current, KeyInfo& picked) {
    CKeyFunPickDlg dlg(parent, keyIndex, current);
    if (dlg.doModal() != CKeyFunPickDlg::kOkId) return false;
    picked = dlg.record();
    return true;
  };
  h.pickMacro = [](QWidget* parent, KeyInfo& picked) {
    CKeyFunPickDlg dlg(parent, 0, picked);
    dlg.SetMacroOnly(true);
    if (dlg.doModal() != CKeyFunPickDlg::kOkId || dlg.record().funA.type() != 5) return false;
    picked = dlg.record();
    return true;
  };
  h.runMacroLibrary = [](QWidget* parent, const std::function<bool(int)>& macroInUse) {
    CMacroDlg dlg(parent, macroInUse);
    dlg.doModal();
  };
  if (!h.functionName)
    h.functionName = [](const KeyFunction& f) {
      static const TableTexts texts;
      return KeyFunctionName(f, theMacroList(), texts);
    };
}

}  // namespace lumera
