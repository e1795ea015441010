// CKeyFunPickDlg, the key function picker: gives a key a key combination
// (captured from the keyboard), a macro of the library or a multimedia
// function, or restores the key's default. Also the macro choice of the
// gesture page (macro-only mode).
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "lumera/app/skin_window.h"
#include "lumera/app/tree_ctrl.h"
#include "lumera/model/macro.h"
#include "lumera/model/records.h"

namespace lumera {

class CPngBtn;
class CComboBtn;

class CKeyFunPickDlg : public CSkinWnd {
 public:
  enum Category { kNoCategory = 0, kComboCategory = 1, kMacroCategory = 2, kMediaCategory = 3 };
  static constexpr int kOkId = 1, kCancelId = 2;
  static constexpr int kRadioBaseId = 1000;  // + category
  static constexpr int kMediaId = 1010;
  static constexpr int kCheckBaseId = 1020;  // Shift, Ctrl, Alt, Win
  static constexpr int kTreeId = 17;
  // Keys of one combination come at most this far apart.
  static constexpr std::uint64_t kComboGapMs = 300;

  static constexpr std::uint32_t kComboFunction = 0x02000000;
  static constexpr std::uint32_t kMacroFunction = 0x05000000;

  struct MediaEntry {
    const char* textKey;
    std::uint32_t functionId;
  };
  static const std::array<MediaEntry, 12>& mediaFunctions();

  // The capture of the combination box.
  struct Capture {
    std::uint8_t modifiers = 0;  // 1/2/4/8 left Ctrl/Shift/Alt/Win, 0x10..0x80 the right ones
    std::uint8_t key = 0;
    std::uint8_t extra = 0;
    bool empty() const { return modifiers == 0 && key == 0; }
  };

  // The hot areas the background draws.
  static const QRect kCloseArea;
  static const QRect kRestoreArea;

  CKeyFunPickDlg(QWidget* parent, int keyIndex, const KeyInfo& current);
  ~CKeyFunPickDlg() override;

  // Set before doModal: only the macro list, opened at once.
  void SetMacroOnly(bool on) { macroOnly_ = on; }
  // The clock of the 300 ms rule (milliseconds; default the steady tick).
  void SetTickSource(std::function<std::uint64_t()> tick) { tick_ = std::move(tick); }

  // The record: the caller's copy, changed by OK.
  const KeyInfo& record() const { return record_; }
  int category() const { return category_; }
  const Capture& capture() const { return capture_; }
  QString captureText() const;

  // Feeds one key message (already turned into a capture code, see
  // CMsgDlg::captureCode) to the combination capture; false when ignored.
  bool captureKey(bool down, unsigned code);

  void OpenCategory(int category);
  CPngBtn* categoryButton(int category) const { return radios_[static_cast<std::size_t>(category - 1)]; }
  CPngBtn* okButton() const { return ok_; }
  CPngBtn* cancelButton() const { return cancel_; }
  CPngBtn* comboBox() const { return comboBox_; }
  CPngBtn* modifierCheck(int i) const { return checks_[static_cast<std::size_t>(i)]; }
  CComboBtn* mediaButton() const { return media_; }
  CTreeCtrlEx* macroTree() const { return tree_; }
  std::int64_t mediaValue() const { return mediaValue_; }
  // The macro item with this id in the tree (0 for none).
  TreeItem macroItem(std::int32_t id) const;

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTreeNotice(platform::WPARAM w, platform::LPARAM l);
  void onOk();
  void onRestoreDefault();
  void fillMacroTree();
  void fillFolder(TreeItem parent, const std::string& folder, int depth);
  void showMediaName();

  int keyIndex_;
  KeyInfo record_;
  bool macroOnly_ = false;
  int category_ = kNoCategory;
  std::function<std::uint64_t()> tick_;
  Capture capture_;
  bool hasPrevious_ = false;
  bool previousDown_ = false;
  unsigned previousCode_ = 0;
  std::uint64_t lastDown_ = 0;
  bool hasLastDown_ = false;
  bool filtering_ = false;
  QString title_;

  std::array<CPngBtn*, 3> radios_{};
  CPngBtn* ok_ = nullptr;
  CPngBtn* cancel_ = nullptr;
  CPngBtn* comboBox_ = nullptr;
  std::array<CPngBtn*, 4> checks_{};
  CComboBtn* media_ = nullptr;
  std::int64_t mediaValue_ = -1;
  CTreeCtrlEx* tree_ = nullptr;
  std::map<TreeItem, MacroRecord> treeMacros_;  // the records the tree was read from
};

// Clears what the picker sets in a key's base function (type, macro, the
// combination), keeping its place on the keyboard and its Fn layer.
void clearPickedFunction(KeyInfo& k);

}  // namespace lumera
