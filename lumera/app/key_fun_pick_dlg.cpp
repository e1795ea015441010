#include "lumera/app/key_fun_pick_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/macro_library.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

const QColor kTextColour(0xC8, 0xC8, 0xC8);
const QRect kComboBoxRect(QPoint(245, 144), QPoint(468, 169));
const QPoint kMediaAt(245, 144);
const QRect kTreeRect(QPoint(228, 95), QPoint(457, 280));
const QRect kCategoryArea(QPoint(193, 50), QPoint(538, 310));
const QRect kTitleRect(QPoint(20, 10), QPoint(350, 30));
constexpr int kRadioTops[] = {90, 154, 218};
const char* const kRadioTexts[] = {"tc_page1", "tc_msg25", "tc_page3"};
// The modifier check buttons, left to right, and their bits.
struct CheckDef {
  const char* label;
  std::uint8_t bit;
};
constexpr CheckDef kChecks[] = {{"Shift", 0x02}, {"Ctrl", 0x01}, {"Alt", 0x04}, {"Win", 0x08}};

constexpr int kFolderKind = 2, kMacroKind = 1;

// The bit a modifier key's capture code sets; 0 for other keys.
std::uint8_t modifierBit(unsigned code) {
  switch (code) {
    case 0x10: return 0x02;  // left Shift
    case 0x11: return 0x01;  // left Ctrl
    case 0x12: return 0x04;  // left Alt
    case 0x5B: return 0x08;  // left Win
    case 0x5C: return 0x80;  // right Win
    case 0xA1: return 0x20;  // right Shift
    case 0xA3: return 0x10;  // right Ctrl
    case 0xA5: return 0x40;  // right Alt
    case 0xA0: return 0x02;
    case 0xA2: return 0x01;
    case 0xA4: return 0x04;
    default: return 0;
  }
}

}  // namespace

const QRect CKeyFunPickDlg::kCloseArea(QPoint(429, 11), QPoint(472, 29));
const QRect CKeyFunPickDlg::kRestoreArea(QPoint(479, 5), QPoint(517, 34));

const std::array<CKeyFunPickDlg::MediaEntry, 12>& CKeyFunPickDlg::mediaFunctions() {
  static const std::array<MediaEntry, 12> table = {{
      {"tc_kbmedia_msel", 0x04000021},
      {"tc_PL", 0x04000022},
      {"tc_next_media", 0x04000025},
      {"tc_pre_media", 0x04000024},
      {"tc_stop", 0x04000023},
      {"tc_mute", 0x04000028},
      {"tc_vol_up", 0x04000026},
      {"tc_vol_dw", 0x04000027},
      {"tc_kbmedia_mail", 0x04000030},
      {"tc_kbmedia_cal", 0x04000031},
      {"tc_kbmedia_explore", 0x04000032},
      {"tc_kbmedia_main", 0x04000034},
  }};
  return table;
}

void clearPickedFunction(KeyInfo& k) {
  k.funA.dwFunID = 0;
  k.funA.nMacroId = 0;
  k.funA.stCombo = KeyCombo{};
  k.funA.dwParam = 0;
}

CKeyFunPickDlg::CKeyFunPickDlg(QWidget* parent, int keyIndex, const KeyInfo& current)
    : CSkinWnd(parent), keyIndex_(keyIndex), record_(current), tick_([] { return platform::tickCount(); }) {
  setWindowTitle(QStringLiteral("KeyFunPickTopWindow"));
}

CKeyFunPickDlg::~CKeyFunPickDlg() {
  if (filtering_) qApp->removeEventFilter(this);
}

void CKeyFunPickDlg::onInitDialog() {
  const QImage bg = loadSkin(QStringLiteral("pickfundlg.png"));
  if (bg.isNull()) {
    endDialog(kCancelId);
    return;
  }
  setBackground(bg);
  placeOverParent();
  title_ = uiText("tc_msg34") + QString::fromStdU16String(functionNameOf(record_.funA));

  for (int c = 0; c < 3; ++c) {
    auto* b = new CPngBtn(this);
    b->CreateSkinButton("btn2_nr.png", "btn2_nr.png", "btn2_nr.png", this, bg, QPoint(), true, false,
                        uiText(kRadioTexts[c]), QPoint(27, kRadioTops[c]), kRadioBaseId + c + 1);
    radios_[static_cast<std::size_t>(c)] = b;
  }
  ok_ = new CPngBtn(this);
  ok_->CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_ov.png", this, bg, QPoint(), false, false, uiText("tc_ok"),
                        QPoint(390, 312), kOkId);
  cancel_ = new CPngBtn(this);
  cancel_->CreateSkinButton("btn_nr.png", "btn_ov.png", "btn_ov.png", this, bg, QPoint(), false, false,
                            uiText("tc_cancel"), QPoint(465, 312), kCancelId);

  comboBox_ = new CPngBtn(this);
  comboBox_->CreateSkinButton("button_nr.png", "button_nr.png", "button_nr.png", this, bg, QPoint(), false, false,
                              QString(), kComboBoxRect.topLeft(), 0);
  comboBox_->setAttribute(Qt::WA_TransparentForMouseEvents);  // a display, not a button
  for (int i = 0; i < 4; ++i) {
    auto* c = new CPngBtn(this);
    c->CreateSkinButton("Check_nr.png", "Check_nr.png", "Check_dn.png", this, bg, QPoint(), true, false, QString(),
                        QPoint(kComboBoxRect.left() + 2 + 50 * i, kComboBoxRect.bottom() + 1 + 15), kCheckBaseId + i);
    c->SetAutoCheck(true);
    checks_[static_cast<std::size_t>(i)] = c;
  }
  media_ = new CComboBtn(this);
  media_->CreateSkinButton("combo_nr.png", "combo_ov.png", "combo_ov.png", this, bg, QPoint(), false, false, QString(),
                           kMediaAt, kMediaId);
  media_->SetTextIndent(6);
  for (const MediaEntry& m : mediaFunctions()) media_->AddItem(0, m.functionId, uiText(m.textKey));
  media_->SetTarget(&mediaValue_);

  tree_ = new CTreeCtrlEx(this, kTreeId);
  tree_->setGeometry(kTreeRect);
  tree_->SetFolderKind(kFolderKind);
  tree_->SetFolderImages(loadSkin("open.png"), loadSkin("close.png"));
  tree_->ApplySkinOptions(bg);

  OpenCategory(kNoCategory);
  if (macroOnly_) {
    radios_[kComboCategory - 1]->hide();
    radios_[kMediaCategory - 1]->hide();
    fillMacroTree();
    OpenCategory(kMacroCategory);
  } else {
    const KeyInfo& layout = theConfig().keyLayout()[static_cast<std::size_t>(
        std::clamp(keyIndex_, 0, static_cast<int>(kKeyCount) - 1))];
    const KeyCombo& a = record_.funA.stCombo;
    const KeyCombo& b = layout.funA.stCombo;
    const bool changed = record_.funA.dwFunID != layout.funA.dwFunID || a.mask != b.mask || a.VkCode1 != b.VkCode1 ||
                         a.VkCode2 != b.VkCode2;
    const std::uint32_t type = record_.funA.type();
    if (changed && (type == 3 || type == 4)) {
      OpenCategory(kMediaCategory);
      // A function of the other media type is not in the list: it stays the
      // value, so that OK keeps it rather than asking for a choice.
      if (!media_->SelectId(record_.funA.dwFunID)) mediaValue_ = record_.funA.dwFunID;
      showMediaName();
    }
  }
  // Keys are taken before any control sees them, shortcuts included.
  qApp->installEventFilter(this);
  filtering_ = true;
}

void CKeyFunPickDlg::OpenCategory(int category) {
  category_ = category;
  for (int c = 0; c < 3; ++c)
    if (radios_[static_cast<std::size_t>(c)]) radios_[static_cast<std::size_t>(c)]->SetCheck(c + 1 == category);
  const bool combo = category == kComboCategory, macro = category == kMacroCategory, media = category == kMediaCategory;
  if (comboBox_) comboBox_->setVisible(combo);
  const bool checks = combo && theConfig().options().ModifyOpt != 0;
  for (CPngBtn* c : checks_)
    if (c) c->setVisible(checks);
  if (media_) media_->setVisible(media);
  if (tree_) {
    if (macro && tree_->GetCount() == 0) fillMacroTree();
    tree_->setVisible(macro);
  }
  if (macro && tree_) tree_->setFocus();
  update(kCategoryArea);
}

void CKeyFunPickDlg::fillMacroTree() {
  tree_->DeleteAllItems();
  treeMacros_.clear();
  fillFolder(kTreeRoot, macroLibraryFolder(), 0);
  update();
}

void CKeyFunPickDlg::fillFolder(TreeItem parent, const std::string& folder, int depth) {
  const Options& o = theConfig().options();
  for (const LibraryEntry& e : readLibraryFolder(folder, o.MacroDir != 0, o.MacroHasMsKey)) {
    const QString name = QString::fromStdU16String(e.name);
    if (e.folder) {
      if (depth >= kMacroFolderDepth) continue;
      const TreeItem f = tree_->InsertItem(name, kFolderKind, 0, parent, kTreeLast,
                                           e.iconPath.empty() ? QImage() : QImage(QString::fromStdString(e.iconPath)));
      fillFolder(f, e.path, depth + 1);
    } else {
      const TreeItem m = tree_->InsertItem(name, kMacroKind, e.macro.id, parent);
      treeMacros_[m] = e.macro;
    }
  }
}

TreeItem CKeyFunPickDlg::macroItem(std::int32_t id) const {
  for (const auto& [item, m] : treeMacros_)
    if (m.id == id) return item;
  return 0;
}

QString CKeyFunPickDlg::captureText() const {
  QStringList parts;
  if (capture_.modifiers & 0x11) parts << QStringLiteral("Ctrl");
  if (capture_.modifiers & 0x44) parts << QStringLiteral("Alt");
  if (capture_.modifiers & 0x22) parts << QStringLiteral("Shift");
  if (capture_.modifiers & 0x88) parts << QStringLiteral("Win");
  if (capture_.key) parts << QString::fromStdU16String(keyNameOf(capture_.key));
  return parts.join(QStringLiteral(" + "));
}

bool CKeyFunPickDlg::captureKey(bool down, unsigned code) {
  if (code == 0 || code > 0xFF) return false;
  if (hasPrevious_ && previousDown_ == down && previousCode_ == code) return false;  // key repeat
  hasPrevious_ = true;
  previousDown_ = down;
  previousCode_ = code;
  if (!down) return false;
  const std::uint8_t bit = modifierBit(code);
  if (bit) {
    // With the check buttons the modifiers come from them, not the keys.
    if (theConfig().options().ModifyOpt != 0) return false;
    if (capture_.modifiers & bit) capture_ = Capture{};
  }
  const std::uint64_t now = tick_();
  if (hasLastDown_ && now - lastDown_ >= kComboGapMs) capture_ = Capture{};
  hasLastDown_ = true;
  lastDown_ = now;
  if (bit)
    capture_.modifiers |= bit;
  else
    capture_.key = static_cast<std::uint8_t>(code);
  if (comboBox_) comboBox_->SetText(captureText());
  return true;
}

bool CKeyFunPickDlg::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  auto* target = qobject_cast<QWidget*>(watched);
  if (category_ == kComboCategory && isRunningModal() && target && target->window() == this &&
      (t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride)) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (t != QEvent::ShortcutOverride && !k->isAutoRepeat())
      captureKey(t == QEvent::KeyPress, CMsgDlg::captureCode(*k));
    e->accept();
    return true;
  }
  return CSkinWnd::eventFilter(watched, e);
}

bool CKeyFunPickDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CKeyFunPickDlg> kMap[] = {
      {platform::WM_COMMAND, &CKeyFunPickDlg::OnCommand},
      {kMsgTreeDblClick, &CKeyFunPickDlg::OnTreeNotice},
  };
  CSkinWnd::onMessage(message, w, l, result);  // closes an open menu on commands
  return platform::dispatchMessages(this, kMap, message, w, l, result);
}

LRESULT CKeyFunPickDlg::OnCommand(WPARAM w, LPARAM) {
  const int id = static_cast<int>(platform::loWord(w));
  if (id > kRadioBaseId && id <= kRadioBaseId + 3) {
    OpenCategory(id - kRadioBaseId);
  } else if (id == kOkId) {
    onOk();
  } else if (id == kCancelId) {
    endDialog(kCancelId);
  } else if (id == kMediaId) {
    if (mediaValue_ >= 0) {
      record_.funA.dwFunID = static_cast<std::uint32_t>(mediaValue_);
      showMediaName();
    }
  }
  return 0;
}

LRESULT CKeyFunPickDlg::OnTreeNotice(WPARAM, LPARAM) { return 0; }

void CKeyFunPickDlg::showMediaName() {
  KeyFunction f;
  f.dwFunID = static_cast<std::uint32_t>(mediaValue_);
  const std::u16string name = functionNameOf(f);
  if (!name.empty()) media_->SetText(QString::fromStdU16String(name));
}

void CKeyFunPickDlg::onOk() {
  switch (category_) {
    case kComboCategory: {
      Capture c = capture_;
      if (c.key == 0 && (c.modifiers == 0 || theConfig().options().ModifyOpt != 0)) {
        InfoBox(this, uiText("tc_msg3"));
        return;
      }
      if (theConfig().options().ModifyOpt != 0)
        for (std::size_t i = 0; i < checks_.size(); ++i)
          if (checks_[i]->GetCheck()) c.modifiers |= kChecks[i].bit;
      clearPickedFunction(record_);
      record_.funA.dwFunID = kComboFunction;
      record_.funA.stCombo.mask = c.modifiers;
      record_.funA.stCombo.VkCode1 = c.key;
      record_.funA.stCombo.VkCode2 = c.extra;
      break;
    }
    case kMacroCategory: {
      const TreeItem item = tree_->GetSelectedItem();
      auto it = treeMacros_.find(item);
      if (!item || tree_->kind(item) != kMacroKind || it == treeMacros_.end()) {
        InfoBox(this, uiText("tc_msg3"));
        return;
      }
      // A macro file added after the start is not in the program's list
      // yet: the apply would find no macro for the key.
      MacroList& list = theMacroList();
      if (!findMacro(list, it->second.id) && list.size() < kMaxMacros) list.push_back(it->second);
      clearPickedFunction(record_);
      record_.funA.dwFunID = kMacroFunction;
      record_.funA.nMacroId = it->second.id & 0xFFFFFF;
      break;
    }
    case kMediaCategory:
      if (mediaValue_ < 0) {
        InfoBox(this, uiText("tc_msg3"));
        return;
      }
      clearPickedFunction(record_);
      record_.funA.dwFunID = static_cast<std::uint32_t>(mediaValue_);
      break;
    default:
      break;
  }
  endDialog(kOkId);
}

void CKeyFunPickDlg::onRestoreDefault() {
  if (AskYesNo(this, uiText("tc_msg14")) != 1) return;
  record_ = theConfig().keyLayout()[static_cast<std::size_t>(std::clamp(keyIndex_, 0, static_cast<int>(kKeyCount) - 1))];
  endDialog(kOkId);
}

void CKeyFunPickDlg::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && !macroOnly_) {
    if (kCloseArea.contains(e->pos())) {
      closeSkinMenu();
      endDialog(kCancelId);
      return;
    }
    if (kRestoreArea.contains(e->pos())) {
      closeSkinMenu();
      onRestoreDefault();
      return;
    }
  }
  CSkinWnd::mousePressEvent(e);
}

void CKeyFunPickDlg::paintEvent(QPaintEvent* e) {
  CSkinWnd::paintEvent(e);
  QPainter p(this);
  p.setFont(font());
  p.setPen(kTextColour);
  const int single = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  p.drawText(kTitleRect, single, p.fontMetrics().elidedText(title_, Qt::ElideRight, kTitleRect.width()));
  auto caption = [&](const QWidget* control, const QString& text, int above, int below) {
    const QRect r(QPoint(control->x(), control->y() - above), QPoint(control->x() + 260, control->y() - below - 1));
    p.drawText(r, single, text);
  };
  if (category_ == kComboCategory && comboBox_) {
    caption(comboBox_, uiText("tc_combo_tips"), 25, 5);
    if (checks_[0] && checks_[0]->isVisible())
      for (std::size_t i = 0; i < checks_.size(); ++i) {
        const QRect c = checks_[i]->geometry();
        p.drawText(QRect(QPoint(c.right() + 1 + 3, c.top() - 3), QPoint(c.right() + 1 + 30 + 20, c.bottom() + 3)), single,
                   QString::fromLatin1(kChecks[i].label));
      }
  } else if (category_ == kMediaCategory && media_) {
    caption(media_, uiText("tc_page3"), 25, 5);
  } else if (category_ == kMacroCategory && tree_) {
    caption(tree_, uiText("tc_macro_list"), 20, 2);
    if (tree_->GetCount() == 0)
      p.drawText(QRect(tree_->x(), tree_->geometry().bottom() + 4, 300, 20), single, uiText("tc_msg9"));
  }
}

}  // namespace lumera
