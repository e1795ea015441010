#include "lumera/app/macro_dlg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "lumera/app/msg_dlg.h"
#include "lumera/app/png_btn.h"
#include "lumera/model/config.h"
#include "lumera/model/log.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "shared/orvane_binding.h"

namespace lumera {

using platform::LPARAM;
using platform::LRESULT;
using platform::WPARAM;

namespace {

const QColor kTextColour(0xC8, 0xC8, 0xC8);
constexpr unsigned kMaxLoopCount = 65535;

QString q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<int>(s.size())); }
std::u16string u(const QString& s) { return s.toStdU16String(); }
QRect rectOf(const Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

QString rowText(const EditorEvent& r) {
  if (r.kind == EditorEvent::kDelay) return QString::asprintf("%d ms", static_cast<int>(r.value));
  return q(keyNameOf(r.value));
}

// The key code a key capture gives for an inserted or edited event: its
// first key, or, for a capture of modifiers only, the modifier's own code.
unsigned captureToCode(const CMsgDlg::Capture& c, bool inserting) {
  if (c.key1) return c.key1;
  const std::uint8_t m = c.modifiers;
  if (inserting) {
    if (m & 0x01) return 17;
    if (m & 0x10) return 163;
    if (m & 0x08) return 91;
    if (m & 0x04) return 164;
    if (m & 0x40) return 165;
    if (m & 0x02) return 160;
    if (m & 0x20) return 161;
    if (m & 0x80) return 92;
    return 0;
  }
  if (m & 0x01) return 162;
  if (m & 0x02) return 160;
  if (m & 0x04) return 164;
  if (m & 0x08) return 91;
  if (m & 0x10) return 163;
  if (m & 0x20) return 161;
  if (m & 0x40) return 165;
  if (m & 0x80) return 92;
  return 0;
}

// The code a recording keeps for a key event: the right-hand Ctrl, Alt and
// Shift apart from the left ones (which keep the plain codes), the keypad
// Enter apart from the main one.
unsigned recordCode(const QKeyEvent& e) { return CMsgDlg::captureCode(e); }

const char* const kMouseTexts[] = {"tc_click", "tc_menu", "tc_middle", "tc_forward", "tc_back", "tc_scrollup",
                                   "tc_scrolldown"};

}  // namespace

CMacroDlg::CMacroDlg(QWidget* parent, std::function<bool(int)> macroInUse)
    : CSkinWnd(parent), macroInUse_(std::move(macroInUse)), tick_([] { return platform::tickCount(); }) {
  setWindowTitle(QStringLiteral("MacroTopWindow"));
  chooser_.openMacro = [](QWidget* p) {
    return QFileDialog::getOpenFileName(p, QString(), QString(), QStringLiteral("mck(*.mck)"));
  };
  chooser_.saveMacro = [](QWidget* p, const QString& name) {
    QFileDialog d(p, QString(), name, QStringLiteral("mck(*.mck)"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("mck"));
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
  };
  chooser_.chooseFolder = [](QWidget* p) { return QFileDialog::getExistingDirectory(p); };
}

CMacroDlg::~CMacroDlg() {
  if (grabbed_) releaseKeyboard();
  if (filtering_) qApp->removeEventFilter(this);
}

void CMacroDlg::onInitDialog() {
  const QImage bg = loadSkin(QStringLiteral("macro_nr.png"));
  if (bg.isNull()) {
    endDialog(platform::IDCANCEL);
    return;
  }
  setBackground(bg);
  placeOverParent();
  const Options& o = theConfig().options();
  x_ = o.Macro_Opt_X;
  const int w = bg.width();
  open_ = loadSkin("open.png");
  closed_ = loadSkin("close.png");
  pressedIcon_ = loadSkin("DN_N.png");
  releasedIcon_ = loadSkin("UP_N.png");
  delayIcon_ = loadSkin("TM_N.png");

  auto button = [&](const char* nr, const char* ov, const char* dn, bool check, const QString& text, QPoint at,
                    int id) {
    auto* b = new CPngBtn(this);
    b->CreateSkinButton(nr, ov, dn, this, bg, QPoint(), check, o.BtnTips != 0, text, at, id);
    return b;
  };
  exit_ = button("exit_nr.png", "exit_ov.png", "exit_ov.png", false, QString(), QPoint(w - 36, 10), kExitId);
  record_ = button("recbtn_nr.png", "recbtn_nr.png", "recbtn_dn.png", true, uiText("tc_macro_start"), QPoint(x_, 74),
                   kRecordId);
  autoDelay_ = button("check_nr.png", "check_ov.png", "check_dn.png", true, QString(), QPoint(x_, 129), kAutoDelayId);
  autoDelay_->SetAutoCheck(true);
  modeTwo_ = button("radio_nr.png", "radio_ov.png", "radio_dn.png", true, QString(), QPoint(x_, 156), kLoopModeTwoId);
  modeCount_ = button("radio_nr.png", "radio_ov.png", "radio_dn.png", true, QString(), QPoint(x_, 184), kLoopCountId);
  insert_ = button("combo_nr.png", "combo_ov.png", "combo_ov.png", false, uiText("tc_macro_loop"), QPoint(x_, 269),
                   kInsertId);
  insert_->SetTextIndent(6);
  newMacro_ = button("btn_nr.png", "btn_ov.png", "btn_ov.png", false, uiText("tc_macro_msg5"), QPoint(x_, 294),
                     kNewMacroId);

  count_ = new QLineEdit(this);
  count_->setObjectName(QStringLiteral("loopCount"));
  count_->setGeometry(x_, 207, 80, 22);
  // Drawn into the skin's box under the second radio button.
  count_->setFrame(false);
  count_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; color: #c8c8c8; padding-left: 4px; }"));
  count_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), count_));
  QObject::connect(count_, &QLineEdit::textEdited, count_, [this](const QString& t) { onCountEdited(t); });

  library_ = new CTreeCtrlEx(this, kLibraryId);
  library_->setGeometry(rectOf(o.rcMacroList));
  library_->SetFolderKind(kFolderKind);
  library_->SetFolderImages(open_, closed_);
  library_->ApplySkinOptions(bg);
  events_ = new CTreeCtrlEx(this, kEventListId);
  events_->setGeometry(rectOf(o.rcKeyList));
  events_->ApplySkinOptions(bg);

  pendingTimer_ = new QTimer(this);
  pendingTimer_->setSingleShot(true);
  pendingTimer_->setInterval(40);
  QObject::connect(pendingTimer_, &QTimer::timeout, this, [this] { flushPendingRelease(); });

  readLibrary();
  clearEditor();
  qApp->installEventFilter(this);
  filtering_ = true;
}

// ---- Message map -------------------------------------------------------------

bool CMacroDlg::onMessage(unsigned message, WPARAM w, LPARAM l, LRESULT& result) {
  static const platform::MessageEntry<CMacroDlg> kMap[] = {
      {platform::WM_COMMAND, &CMacroDlg::OnCommand},     {kMsgMenuChoice, &CMacroDlg::OnMenuChoice},
      {kMsgTreeClick, &CMacroDlg::OnTreeClick},          {kMsgTreeDblClick, &CMacroDlg::OnTreeDblClick},
      {kMsgTreeRButtonUp, &CMacroDlg::OnTreeRButtonUp}, {kMsgTreeDeleteKey, &CMacroDlg::OnTreeDeleteKey},
  };
  CSkinWnd::onMessage(message, w, l, result);  // closes an open menu on commands
  return platform::dispatchMessages(this, kMap, message, w, l, result);
}

bool CMacroDlg::refuseWhileRecording() {
  if (!recording_) return false;
  InfoBox(this, uiText("tc_macro_msg17"));
  return true;
}

LRESULT CMacroDlg::OnCommand(WPARAM w, LPARAM) {
  const int id = static_cast<int>(platform::loWord(w));
  if (id == kRecordId) {
    if (recording_)
      stopRecording();
    else
      startRecording();
    return 0;
  }
  if (id == kExitId) {
    // Held keys of a recording must not stay in the macro without their
    // release: stop first, which stores what was recorded.
    if (recording_) stopRecording();
    endDialog(platform::IDCANCEL);
    return 0;
  }
  if (refuseWhileRecording()) {
    showSettings();  // undo what the click did to a check button
    return 0;
  }
  switch (id) {
    case kAutoDelayId:
      if (!current_) {
        showSettings();
        break;
      }
      edit_.autoDelay = autoDelay_->GetCheck() ? 1 : 0;
      edit_.changeBits |= kMacroSettingsChanged;
      save();
      break;
    case kLoopModeTwoId: setRepeatMode(2); break;
    case kLoopCountId: setRepeatMode(0); break;
    case kInsertId: openInsertMenu(); break;
    case kNewMacroId: newMacro(); break;
    default: break;
  }
  return 0;
}

void CMacroDlg::setRepeatMode(std::uint32_t mode) {
  if (!current_) {
    showSettings();
    return;
  }
  edit_.repeatMode = mode;
  edit_.changeBits |= kMacroSettingsChanged;
  showSettings();
  save();
}

LRESULT CMacroDlg::OnMenuChoice(WPARAM w, LPARAM l) {
  closeSkinMenu();
  if (refuseWhileRecording()) return 0;
  const unsigned id = static_cast<unsigned>(w);
  if (l == kInsertMenu) {
    insertChoice(id);
    return 0;
  }
  switch (id) {
    case kNewMacro: newMacro(); break;
    case kNewFolder: newFolder(); break;
    case kDeleteItem: deleteItem(); break;
    case kExportMacro: exportMacro(); break;
    case kImportMacro: importMacro(); break;
    case kRename: renameItem(); break;
    case kEditEvent: editEvent(); break;
    case kImportFolder: importFolder(); break;
    case kExportFolder: exportFolder(); break;
    case kDeleteEvent: deleteEvent(); break;
    default: break;
  }
  return 0;
}

LRESULT CMacroDlg::OnTreeClick(WPARAM w, LPARAM l) {
  if (static_cast<int>(w) != kLibraryId) return 0;
  const auto item = static_cast<TreeItem>(l);
  if (recording_) {
    // The recording goes on into the macro it started with.
    library_->SelectItem(current_);
    return 0;
  }
  if (library_->isItem(item) && library_->kind(item) == kMacroKind)
    loadMacro(item);
  else
    clearEditor();
  return 0;
}

LRESULT CMacroDlg::OnTreeDblClick(WPARAM w, LPARAM l) {
  if (static_cast<int>(w) == kEventListId && events_->isItem(static_cast<TreeItem>(l))) {
    if (refuseWhileRecording()) return 0;
    events_->SelectItem(static_cast<TreeItem>(l));
    editEvent();
  }
  return 0;
}

LRESULT CMacroDlg::OnTreeRButtonUp(WPARAM w, LPARAM l) {
  if (refuseWhileRecording()) return 0;
  const auto item = static_cast<TreeItem>(l);
  const bool folders = theConfig().options().MacroDir != 0;
  std::vector<unsigned> ids;
  CTreeCtrlEx* tree = static_cast<int>(w) == kLibraryId ? library_ : events_;
  if (tree == events_) {
    if (!events_->isItem(item)) return 0;
    ids = {kEditEvent, kDeleteEvent};
  } else if (!library_->isItem(item)) {
    ids = {kNewMacro, kImportMacro};
    if (folders) ids.insert(ids.end(), {kNewFolder, kImportFolder, kExportFolder});
  } else if (library_->kind(item) == kFolderKind) {
    ids = {kNewMacro, kNewFolder, kDeleteItem, kImportMacro, kRename, kImportFolder, kExportFolder};
    if (!folders) ids = {kNewMacro, kDeleteItem, kImportMacro, kRename};
  } else {
    ids = {kRename, kExportMacro, kDeleteItem};
  }
  auto textOf = [](unsigned id) -> const char* {
    switch (id) {
      case kNewMacro: return "tc_macro_msg5";
      case kNewFolder: return "tc_macro_msg6";
      case kDeleteItem: return "tc_macro_msg10";
      case kExportMacro: return "tc_macro_msg4";
      case kImportMacro: return "tc_macro_msg3";
      case kRename: return "tc_macro_msg20";
      case kEditEvent: return "tc_macro_msg7";
      case kImportFolder: return "tc_macro_msg21";
      case kExportFolder: return "tc_macro_msg22";
      default: return "tc_macro_msg10";
    }
  };
  std::vector<OrvaneMenuItem> items;
  for (unsigned id : ids) items.push_back(shared::makeMenuItem(ORVANE_TOP_LEVEL, id, u(uiText(textOf(id)))));
  openSkinMenuAt(this, QCursor::pos(), items, 140, tree == events_ ? kEventMenu : kLibraryMenu);
  return 0;
}

LRESULT CMacroDlg::OnTreeDeleteKey(WPARAM w, LPARAM) {
  if (refuseWhileRecording()) return 0;
  if (static_cast<int>(w) == kLibraryId)
    deleteItem();
  else
    deleteEvent();
  return 0;
}

// ---- Keys --------------------------------------------------------------------

bool CMacroDlg::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
    return CSkinWnd::eventFilter(watched, e);
  auto* target = qobject_cast<QWidget*>(watched);
  if (!isRunningModal() || !target || target->window() != this) return CSkinWnd::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  if (recording_) {
    // Auto-repeat comes as release/press pairs on X11, flagged as repeats.
    if (t != QEvent::ShortcutOverride && !k->isAutoRepeat())
      keyWhileRecording(t == QEvent::KeyPress, recordCode(*k), k->timestamp());
    e->accept();
    return true;
  }
  if (t == QEvent::ShortcutOverride) return false;
  switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
    case Qt::Key_F1: return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (target == count_) return false;
      if (t == QEvent::KeyRelease) moveEventSelection(k->key() == Qt::Key_Up ? -1 : 1);
      return true;
    default: return CSkinWnd::eventFilter(watched, e);
  }
}

bool CMacroDlg::event(QEvent* e) {
  // Keys held when the window loses the keyboard would never be released
  // in the macro: the recording ends there.
  if (e->type() == QEvent::WindowDeactivate && recording_) stopRecording();
  return CSkinWnd::event(e);
}

void CMacroDlg::moveEventSelection(int step) {
  const std::vector<TreeItem> shown = events_->visibleItems();
  if (shown.empty()) return;
  auto at = std::find(shown.begin(), shown.end(), events_->GetSelectedItem());
  int i = at == shown.end() ? (step > 0 ? -1 : static_cast<int>(shown.size())) : static_cast<int>(at - shown.begin());
  i = std::clamp(i + step, 0, static_cast<int>(shown.size()) - 1);
  events_->SelectItem(shown[static_cast<std::size_t>(i)]);
}

void CMacroDlg::startRecording() {
  if (!current_) {
    InfoBox(this, uiText("tc_macro_msg1"));
    record_->SetCheck(false);
    return;
  }
  recording_ = true;
  hasPrevious_ = false;
  record_->SetCheck(true);
  record_->SetText(uiText("tc_macro_stop"));
  events_->DeleteAllItems();
  count_->hide();
  // The keys go to the recorder, not to an input method composing text.
  setFocus(Qt::OtherFocusReason);
  if (QInputMethod* im = QGuiApplication::inputMethod()) {
    im->reset();
    im->hide();
  }
  // On X11 a grab brings the keys the desktop would take (Alt+Tab, the
  // Windows key); Wayland has no such grab for clients.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    grabKeyboard();
    grabbed_ = true;
  }
}

void CMacroDlg::stopRecording() {
  if (!recording_) return;
  flushPendingRelease();
  recording_ = false;
  if (grabbed_) {
    releaseKeyboard();
    grabbed_ = false;
  }
  record_->SetCheck(false);
  record_->SetText(uiText("tc_macro_start"));
  edit_.changeBits |= kMacroSettingsChanged | kMacroEventsChanged;
  save();
  showSettings();
}

void CMacroDlg::keyWhileRecording(bool down, unsigned code, unsigned long stamp) {
  if (pending_.active) {
    if (down && code == pending_.code && stamp != 0 && stamp - pending_.stamp <= 1) {
      pending_.active = false;  // a repeat: the key is still held
      pendingTimer_->stop();
      return;
    }
    flushPendingRelease();
  }
  if (!down && stamp != 0) {
    // Held back until it is clear that no repeat press follows.
    pending_ = {true, code, stamp, tick_()};
    pendingTimer_->start();
    return;
  }
  recordKey(down, code);
}

void CMacroDlg::flushPendingRelease() {
  if (!pending_.active) return;
  pending_.active = false;
  pendingTimer_->stop();
  recordKeyAt(false, pending_.code, pending_.tick);
}

bool CMacroDlg::recordKey(bool down, unsigned code) { return recordKeyAt(down, code, tick_()); }

bool CMacroDlg::recordKeyAt(bool down, unsigned code, std::uint64_t now) {
  if (!recording_ || code == 0 || code > 0xFF) return false;
  if (hasPrevious_ && previousDown_ == down && previousCode_ == code) return false;  // key repeat
  hasPrevious_ = true;
  previousDown_ = down;
  previousCode_ = code;
  std::vector<EditorEvent> list = rows();
  std::uint32_t delay = 0;
  if (edit_.autoDelay && !list.empty())
    delay = static_cast<std::uint32_t>(std::min<std::uint64_t>(now - lastKeyTime_, kMaxEditorDelay));
  lastKeyTime_ = now;
  int keys = 0;
  for (const EditorEvent& r : list) keys += r.kind == EditorEvent::kDelay ? 0 : 1;
  const int grown = editorEventsSize(list) + 2 + (delay > 127 ? 4 : 0);
  if (grown >= kMacroBufferBytes || keys >= static_cast<int>(kMaxMacroEvents)) {
    // Full: what came so far is kept, and the user learns why keys stopped
    // arriving.
    stopRecording();
    InfoBox(this, uiText("tc_macro_full"));
    return false;
  }
  if (delay > 0) addRow({EditorEvent::kDelay, delay});
  events_->EnsureVisible(addRow({down ? EditorEvent::kPressed : EditorEvent::kReleased, code}));
  return true;
}

// ---- Library tree ------------------------------------------------------------

void CMacroDlg::readLibrary() {
  library_->DeleteAllItems();
  readFolder(kTreeRoot, macroLibraryFolder(), 0, false);
}

TreeItem CMacroDlg::addMacroItem(TreeItem parent, const MacroRecord& m, const QString& name) {
  return library_->InsertItem(name, kMacroKind, m.id, parent);
}

void CMacroDlg::readFolder(TreeItem parent, const std::string& folder, int depth, bool renumber) {
  const Options& o = theConfig().options();
  for (LibraryEntry& e : readLibraryFolder(folder, o.MacroDir != 0, o.MacroHasMsKey)) {
    if (e.folder) {
      if (depth >= kMacroFolderDepth) continue;
      const QImage icon = e.iconPath.empty() ? QImage() : QImage(QString::fromStdString(e.iconPath));
      const TreeItem f = library_->InsertItem(q(e.name), kFolderKind, 0, parent, kTreeLast, icon);
      readFolder(f, e.path, depth + 1, renumber);
      continue;
    }
    MacroRecord& m = e.macro;
    MacroList& list = theMacroList();
    // Another item of the tree with this id is another file with it.
    const bool taken = itemOfMacro(m.id) != 0;
    if (renumber || taken) {
      if (list.size() >= kMaxMacros) continue;
      if (taken) Log("ReadMacroLibrary: macro id 0x%x of %s is taken", m.id, e.path);
      m.id = freeMacroId(list, MakeMacroId());
      m.changeBits |= kMacroSettingsChanged;
      const TreeItem item = addMacroItem(parent, m, q(e.name));
      if (!writeMacro(item, m)) {
        library_->DeleteItem(item);
        continue;
      }
      list.push_back(m);
      continue;
    }
    if (!findMacro(list, m.id)) {
      if (list.size() >= kMaxMacros) continue;
      list.push_back(m);  // a file added since the start
    }
    addMacroItem(parent, m, q(e.name));
  }
}

TreeItem CMacroDlg::itemOfMacro(std::int32_t id) const {
  std::vector<TreeItem> stack = library_->children(kTreeRoot);
  while (!stack.empty()) {
    const TreeItem i = stack.back();
    stack.pop_back();
    if (library_->kind(i) == kMacroKind && library_->value(i) == id) return i;
    for (TreeItem c : library_->children(i)) stack.push_back(c);
  }
  return 0;
}

TreeItem CMacroDlg::childNamed(TreeItem folder, const QString& name) const {
  for (TreeItem c : library_->children(folder))
    if (sameLibraryName(u(library_->GetItemText(c)), u(name))) return c;
  return 0;
}

std::vector<std::u16string> CMacroDlg::folderNames(TreeItem item) const {
  std::vector<std::u16string> names;
  for (TreeItem p = library_->GetParentItem(item); p != kTreeRoot; p = library_->GetParentItem(p))
    names.insert(names.begin(), u(library_->GetItemText(p)));
  return names;
}

std::string CMacroDlg::itemPath(TreeItem item) const {
  if (!library_->isItem(item)) return std::string();
  return libraryPath(macroLibraryFolder(), folderNames(item), u(library_->GetItemText(item)),
                     library_->kind(item) == kMacroKind);
}

std::string CMacroDlg::folderPath(TreeItem folder) const {
  return folder == kTreeRoot ? macroLibraryFolder() : itemPath(folder);
}

TreeItem CMacroDlg::targetFolder() const {
  const TreeItem sel = library_->GetSelectedItem();
  if (!library_->isItem(sel)) return kTreeRoot;
  return library_->kind(sel) == kFolderKind ? sel : library_->GetParentItem(sel);
}

bool CMacroDlg::acceptName(const QString& name, TreeItem parent, TreeItem except) {
  if (checkLibraryName(u(name)) != NameCheck::Ok) {
    InfoBox(this, uiText("tc_tip1"));
    return false;
  }
  for (TreeItem c : library_->children(parent))
    if (c != except && sameLibraryName(u(library_->GetItemText(c)), u(name))) {
      InfoBox(this, uiText("tc_macro_msg8"));
      return false;
    }
  return true;
}

// ---- Editor ------------------------------------------------------------------

std::vector<EditorEvent> CMacroDlg::rows() const {
  std::vector<EditorEvent> out;
  for (TreeItem i : events_->children(kTreeRoot))
    out.push_back({events_->kind(i), static_cast<std::uint32_t>(events_->value(i))});
  return out;
}

TreeItem CMacroDlg::addRow(const EditorEvent& row, TreeItem after) {
  const QImage& icon =
      row.kind == EditorEvent::kPressed ? pressedIcon_ : row.kind == EditorEvent::kReleased ? releasedIcon_ : delayIcon_;
  return events_->InsertItem(rowText(row), row.kind, row.value, kTreeRoot, after, icon);
}

void CMacroDlg::fillEventList(const std::vector<EditorEvent>& list) {
  events_->DeleteAllItems();
  for (const EditorEvent& r : list) addRow(r);
}

void CMacroDlg::loadMacro(TreeItem item) {
  const MacroRecord* m = findMacro(theMacroList(), static_cast<std::int32_t>(library_->value(item)));
  if (!m) {
    clearEditor();
    return;
  }
  current_ = item;
  edit_ = *m;
  edit_.changeBits = 0;
  fillEventList(editorEventsOf(edit_));
  showSettings();
}

void CMacroDlg::clearEditor() {
  current_ = 0;
  edit_ = MacroRecord{};
  events_->DeleteAllItems();
  showSettings();
}

void CMacroDlg::showSettings() {
  autoDelay_->SetCheck(current_ && edit_.autoDelay != 0);
  modeTwo_->SetCheck(current_ && edit_.repeatMode == 2);
  modeCount_->SetCheck(current_ && edit_.repeatMode == 0);
  const bool countShown = current_ && edit_.repeatMode == 0 && !recording_;
  count_->setVisible(countShown);
  if (countShown) count_->setText(QString::number(edit_.loopCount == 0 ? 1 : edit_.loopCount));
  update();
}

void CMacroDlg::onCountEdited(const QString& text) {
  bool ok = false;
  const qulonglong v = text.toULongLong(&ok);
  if (ok && v > kMaxLoopCount) {
    count_->setText(QString::number(kMaxLoopCount));
    count_->setCursorPosition(count_->text().size());
  } else if (!ok || v == 0) {
    count_->setText(QStringLiteral("1"));
    count_->setCursorPosition(1);
  } else if (current_ && !recording_) {
    edit_.loopCount = static_cast<std::uint16_t>(v);
    edit_.changeBits |= kMacroSettingsChanged;
    save();
  }
}

bool CMacroDlg::save() {
  if (!current_) return false;
  if (edit_.changeBits & kMacroEventsChanged) {
    std::vector<EditorEvent> list = rows();
    tidyEditorEvents(list);
    if (list != rows()) fillEventList(list);
    storeEditorEvents(list, edit_);
  }
  if (!edit_.changeBits) return true;
  if (!writeMacro(current_, edit_)) return false;
  updateList(edit_);
  return true;
}

bool CMacroDlg::writeMacro(TreeItem item, MacroRecord& m) {
  const std::string path = itemPath(item);
  if (path.empty()) {
    Log("Flush_Dirty_Macro: TreeItem_To_FilePath failed");
    InfoBox(this, QStringLiteral("Get file path failed."));
    return false;
  }
  if (!writeMacroFile(path, m)) {
    const int err = errno;
    InfoBox(this, uiText("tc_macro_savefail") + QStringLiteral("\n") + QString::fromStdString(path) +
                      QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(err)) + QStringLiteral(")"));
    return false;
  }
  m.changeBits = 0;
  return true;
}

void CMacroDlg::updateList(const MacroRecord& m) {
  for (MacroRecord& r : theMacroList())
    if (r.id == m.id) {
      const std::uint32_t buffer = r.Macro_Buffer_ID;  // the apply pipeline's, not the file's
      r = m;
      r.Macro_Buffer_ID = buffer;
      r.changeBits = 0;
      return;
    }
  if (theMacroList().size() < kMaxMacros) theMacroList().push_back(m);
}

void CMacroDlg::removeFromList(std::int32_t id) {
  MacroList& list = theMacroList();
  list.erase(std::remove_if(list.begin(), list.end(), [id](const MacroRecord& m) { return m.id == id; }), list.end());
}

// ---- Library commands -------------------------------------------------------

void CMacroDlg::newMacro() {
  if (theMacroList().size() >= kMaxMacros) {
    InfoBox(this, QStringLiteral("The number of macro is up to the maximum"));
    return;
  }
  const TreeItem parent = targetFolder();
  QString name;
  if (AskText(this, uiText("tc_macro_msg11"), name) != 1 || !acceptName(name, parent, 0)) return;
  MacroRecord m = NewMacro(u(name));
  m.id = freeMacroId(theMacroList(), m.id);
  m.changeBits = kMacroSettingsChanged;
  const TreeItem item = addMacroItem(parent, m, name);
  if (!writeMacro(item, m)) {
    library_->DeleteItem(item);  // not stored, so not shown
    return;
  }
  theMacroList().push_back(m);
  library_->SelectItem(item);
  loadMacro(item);
}

void CMacroDlg::newFolder() {
  const TreeItem parent = targetFolder();
  if (library_->depth(parent) + (parent == kTreeRoot ? 0 : 1) + 1 > kMacroFolderDepth) {
    InfoBox(this, uiText("tc_macro_deep"));
    return;
  }
  QString name;
  if (AskText(this, uiText("tc_macro_msg13"), name) != 1 || !acceptName(name, parent, 0)) return;
  const std::string path = platform::joinPath(folderPath(parent), name.toStdString());
  // Made at once: an empty folder that exists only in the tree would be
  // gone the next time the library is read.
  if (!platform::makeFolders(path)) {
    Log("MakeSureFolderExist: create dir %s, err=0x%x", path, errno);
    InfoBox(this, uiText("tc_macro_savefail") + QStringLiteral("\n") + QString::fromStdString(path));
    return;
  }
  const TreeItem item = library_->InsertItem(name, kFolderKind, 0, parent);
  library_->SelectItem(item);
  clearEditor();
}

void CMacroDlg::renameItem() {
  const TreeItem item = library_->GetSelectedItem();
  if (!library_->isItem(item)) return;
  const bool macro = library_->kind(item) == kMacroKind;
  QString name;
  if (AskText(this, uiText(macro ? "tc_macro_msg11" : "tc_macro_msg13"), name) != 1) return;
  const TreeItem parent = library_->GetParentItem(item);
  if (!acceptName(name, parent, item)) return;
  const QString oldName = library_->GetItemText(item);
  const std::string from = itemPath(item);
  const std::string to = libraryPath(macroLibraryFolder(), folderNames(item), u(name), macro);
  auto failed = [this](int err) {
    Log("Rename failed. err=0x%x", err);
    InfoBox(this, QStringLiteral("Rename failed."));
  };
  if (macro) {
    if (from != to && std::rename(from.c_str(), to.c_str()) != 0) {
      failed(errno);
      return;
    }
    library_->SetItemText(item, name);
    if (current_ != item) loadMacro(item);
    setMacroName(edit_, u(name));
    edit_.changeBits |= kMacroSettingsChanged;
    save();
    return;
  }
  // The folder's icon is named after it and lives inside it.
  const std::string icon = platform::findFileNoCase(from, oldName.toStdString() + ".png");
  const std::string renamedIcon = platform::joinPath(from, name.toStdString() + ".png");
  const bool iconMoved = isPlainFile(icon) && std::rename(icon.c_str(), renamedIcon.c_str()) == 0;
  if (from != to && std::rename(from.c_str(), to.c_str()) != 0) {
    const int err = errno;
    if (iconMoved) std::rename(renamedIcon.c_str(), icon.c_str());
    failed(err);
    return;
  }
  library_->SetItemText(item, name);
  // Rebuild the folder from the disk.
  for (TreeItem c : library_->children(item)) library_->DeleteItem(c);
  readFolder(item, to, library_->depth(item) + 1, false);
  const std::string newIcon = platform::joinPath(to, name.toStdString() + ".png");
  library_->SetItemIcon(item, isPlainFile(newIcon) ? QImage(QString::fromStdString(newIcon)) : QImage());
  clearEditor();
}

void CMacroDlg::deleteItem() {
  const TreeItem item = library_->GetSelectedItem();
  if (!library_->isItem(item)) {
    InfoBox(this, QString::asprintf("Operation failed, hItem = 0x%x, pItem = 0x%x.", static_cast<unsigned>(item), 0u));
    return;
  }
  if (AskYesNo(this, uiText("tc_msg6")) != 1) return;
  const std::string path = itemPath(item);
  if (path.empty()) {
    InfoBox(this, QStringLiteral("Get file path failed."));
    return;
  }
  const bool macro = library_->kind(item) == kMacroKind;
  std::vector<std::int32_t> ids;
  if (macro) {
    ids.push_back(static_cast<std::int32_t>(library_->value(item)));
  } else {
    // What is on the disk, also below folders the tree never read.
    ids = macroIdsUnder(path, theConfig().options().MacroHasMsKey);
    std::vector<TreeItem> stack = library_->children(item);
    while (!stack.empty()) {
      const TreeItem i = stack.back();
      stack.pop_back();
      if (library_->kind(i) == kMacroKind) ids.push_back(static_cast<std::int32_t>(library_->value(i)));
      for (TreeItem c : library_->children(i)) stack.push_back(c);
    }
  }
  if (macroInUse_)
    for (std::int32_t id : ids)
      if (macroInUse_(id)) return;
  if (macro) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT && errno != ENOTDIR) {
      const int err = errno;
      Log("DeleteFile %s, err=%d", path, err);
      InfoBox(this, QString::asprintf("Delete File failed, err = %d.", err));
      return;
    }
  } else {
    int err = 0;
    if (!removeLibraryFolder(path, &err)) {
      InfoBox(this, QString::asprintf("Remove Directory failed, err = %d.", err));
      return;
    }
  }
  for (std::int32_t id : ids) removeFromList(id);
  library_->DeleteItem(item);
  clearEditor();
}

void CMacroDlg::importMacro() {
  const QString file = chooser_.openMacro ? chooser_.openMacro(this) : QString();
  if (file.isEmpty()) return;
  const TreeItem parent = targetFolder();
  const QString name = QFileInfo(file).completeBaseName();
  if (!acceptName(name, parent, 0)) return;
  const std::string path = file.toStdString();
  if (!isPlainFile(path)) {
    InfoBox(this, QString::asprintf("%s  0x%x", uiText("tc_tip2").toUtf8().constData(), EINVAL));
    return;
  }
  MacroRecord m;
  const MacroFileStatus status = readMacroFile(path, theConfig().options().MacroHasMsKey, m);
  switch (status) {
    case MacroFileStatus::Ok: break;
    case MacroFileStatus::CannotRead:
      InfoBox(this, QString::asprintf("%s  0x%x", uiText("tc_tip2").toUtf8().constData(), errno));
      return;
    case MacroFileStatus::WrongSize:
      InfoBox(this, QString::asprintf("Read macro file failed. error=0x%x", 0));
      return;
    case MacroFileStatus::WrongMagic: InfoBox(this, uiText("tc_tip3")); return;
    case MacroFileStatus::UnsupportedKey: InfoBox(this, QStringLiteral("This macro contains unsupported key.")); return;
  }
  if (theMacroList().size() >= kMaxMacros) {
    InfoBox(this, QStringLiteral("The number of macro is up to the maximum"));
    return;
  }
  setMacroName(m, u(name).substr(0, kLibraryNameChars));
  m.id = freeMacroId(theMacroList(), MakeMacroId());
  m.Macro_Buffer_ID = 0;
  m.changeBits = kMacroSettingsChanged;
  const TreeItem item = addMacroItem(parent, m, name);
  if (!writeMacro(item, m)) {
    library_->DeleteItem(item);
    return;
  }
  theMacroList().push_back(m);
  library_->SelectItem(item);
  loadMacro(item);
}

void CMacroDlg::exportMacro() {
  const TreeItem item = library_->GetSelectedItem();
  if (!library_->isItem(item) || library_->kind(item) != kMacroKind) return;
  const MacroRecord* m = findMacro(theMacroList(), static_cast<std::int32_t>(library_->value(item)));
  const QString name = q(m ? macroName(*m) : u(library_->GetItemText(item)));
  const QString to = chooser_.saveMacro ? chooser_.saveMacro(this, name + ".mck") : QString();
  if (to.isEmpty()) return;
  if (!copyMacroFile(itemPath(item), to.toStdString())) {
    const int err = errno;
    Log("ExportMacro: copy file err=0x%x", err);
    InfoBox(this, uiText("tc_macro_savefail") + QStringLiteral("\n") + to);
  }
}

void CMacroDlg::importFolder() {
  const QString from = chooser_.chooseFolder ? chooser_.chooseFolder(this) : QString();
  if (from.isEmpty()) return;
  const TreeItem parent = targetFolder();
  const QString name = QFileInfo(QDir::cleanPath(from)).fileName();
  if (!acceptName(name, parent, 0)) return;
  if (library_->depth(parent) + (parent == kTreeRoot ? 0 : 1) + 1 > kMacroFolderDepth) {
    InfoBox(this, uiText("tc_macro_deep"));
    return;
  }
  std::string copied;
  const CopyStatus status = copyLibraryFolder(from.toStdString(), folderPath(parent), &copied);
  if (status == CopyStatus::IntoItself || status == CopyStatus::NotAFolder) {
    InfoBox(this, uiText("tc_macro_itself"));
    return;
  }
  if (status == CopyStatus::Failed) InfoBox(this, uiText("tc_macro_savefail") + QStringLiteral("\n") + QString::fromStdString(copied));
  const std::string icon = platform::findFileNoCase(copied, name.toStdString() + ".png");
  const TreeItem item = library_->InsertItem(name, kFolderKind, 0, parent, kTreeLast,
                                             isPlainFile(icon) ? QImage(QString::fromStdString(icon)) : QImage());
  readFolder(item, copied, library_->depth(item) + 1, true);
  library_->SelectItem(item);
  clearEditor();
}

void CMacroDlg::exportFolder() {
  const TreeItem sel = library_->GetSelectedItem();
  const TreeItem folder = library_->isItem(sel) && library_->kind(sel) == kFolderKind ? sel : kTreeRoot;
  const QString to = chooser_.chooseFolder ? chooser_.chooseFolder(this) : QString();
  if (to.isEmpty()) return;
  const CopyStatus status = copyLibraryFolder(folderPath(folder), to.toStdString());
  if (status == CopyStatus::IntoItself)
    InfoBox(this, uiText("tc_macro_itself"));
  else if (status != CopyStatus::Ok)
    InfoBox(this, uiText("tc_macro_savefail") + QStringLiteral("\n") + to);
}

// ---- Event editing ------------------------------------------------------------

void CMacroDlg::openInsertMenu() {
  if (!current_) {
    InfoBox(this, uiText("tc_macro_msg1"));
    return;
  }
  std::vector<OrvaneMenuItem> items = {
      shared::makeMenuItem(ORVANE_TOP_LEVEL, kInsertPressed, u(uiText("tc_macro_msg14"))),
      shared::makeMenuItem(ORVANE_TOP_LEVEL, kInsertReleased, u(uiText("tc_macro_msg15"))),
      shared::makeMenuItem(ORVANE_TOP_LEVEL, kInsertDelay, u(uiText("tc_macro_msg16")))};
  const auto mask = static_cast<std::uint32_t>(theConfig().options().MacroHasMsKey);
  for (unsigned n = 0; n < 7; ++n)
    if (mask & (1u << n)) items.push_back(shared::makeMenuItem(ORVANE_TOP_LEVEL, kInsertMouse + 0x10000 * n, u(uiText(kMouseTexts[n]))));
  openSkinMenu(this, insert_, items, 0, kInsertMenu);
}

void CMacroDlg::insertChoice(unsigned id) {
  if (!current_) return;
  const std::vector<EditorEvent> before = rows();
  std::vector<EditorEvent> add;
  if (id == kInsertPressed || id == kInsertReleased) {
    CMsgDlg dlg(this, CMsgDlg::kKeyCapture, uiText("tc_msg7"));
    if (dlg.doModal() != CMsgDlg::kOkId) return;
    const unsigned code = captureToCode(dlg.capture(), true);
    if (!code) return;
    add.push_back({id == kInsertPressed ? EditorEvent::kPressed : EditorEvent::kReleased, code});
  } else if (id == kInsertDelay) {
    CMsgDlg dlg(this, CMsgDlg::kNumber, uiText("tc_macro_msg12"));
    if (dlg.doModal() != CMsgDlg::kOkId) return;
    add.push_back({EditorEvent::kDelay, std::max(1u, dlg.resultNumber())});
  } else {
    const unsigned code = (id >> 16) & 0xFF;
    const unsigned n = code - kMouseLeft;
    if (code < kMouseLeft || code > kMouseScrollDown ||
        !(static_cast<std::uint32_t>(theConfig().options().MacroHasMsKey) & (1u << n)))
      return;
    if (code == kMouseScrollUp) {
      add.push_back({EditorEvent::kReleased, code});
    } else if (code == kMouseScrollDown) {
      add.push_back({EditorEvent::kPressed, code});
    } else {
      add.push_back({EditorEvent::kPressed, code});
      if (edit_.autoDelay) add.push_back({EditorEvent::kDelay, 50});
      add.push_back({EditorEvent::kReleased, code});
    }
  }
  std::vector<EditorEvent> grown = before;
  grown.insert(grown.end(), add.begin(), add.end());
  int keys = 0;
  for (const EditorEvent& r : grown) keys += r.kind == EditorEvent::kDelay ? 0 : 1;
  if (editorEventsSize(grown) >= kMacroBufferBytes || keys > static_cast<int>(kMaxMacroEvents)) return;
  TreeItem after = events_->isItem(events_->GetSelectedItem()) ? events_->GetSelectedItem() : kTreeLast;
  TreeItem last = 0;
  for (const EditorEvent& r : add) {
    last = addRow(r, after);
    if (after != kTreeLast) after = last;
  }
  edit_.changeBits |= kMacroEventsChanged;
  save();
  if (events_->isItem(last)) events_->EnsureVisible(last);
}

void CMacroDlg::editEvent() {
  const TreeItem item = events_->GetSelectedItem();
  if (!current_ || !events_->isItem(item)) {
    InfoBox(this, uiText("tc_macro_msg1"));
    return;
  }
  EditorEvent row{events_->kind(item), static_cast<std::uint32_t>(events_->value(item))};
  if (row.kind == EditorEvent::kDelay) {
    CMsgDlg dlg(this, CMsgDlg::kNumber, uiText("tc_macro_msg12"));
    if (dlg.doModal() != CMsgDlg::kOkId) return;
    row.value = std::clamp(dlg.resultNumber(), 1u, kMaxEditorDelay);
  } else {
    CMsgDlg dlg(this, CMsgDlg::kKeyCapture, uiText("tc_msg7"));
    if (dlg.doModal() != CMsgDlg::kOkId) return;
    const unsigned code = captureToCode(dlg.capture(), false);
    if (!code) return;
    row.value = code;
  }
  if (!events_->isItem(item)) return;
  events_->SetValue(item, row.value);
  events_->SetItemText(item, rowText(row));
  edit_.changeBits |= kMacroEventsChanged;
  save();
}

void CMacroDlg::deleteEvent() {
  const TreeItem item = events_->GetSelectedItem();
  if (!current_ || !events_->isItem(item)) return;
  events_->DeleteItem(item);
  edit_.changeBits |= kMacroEventsChanged;
  save();
}

// ---- Painting ----------------------------------------------------------------

void CMacroDlg::paintEvent(QPaintEvent* e) {
  CSkinWnd::paintEvent(e);
  if (!library_) return;
  QPainter p(this);
  p.setFont(font());
  p.setPen(kTextColour);
  const int single = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  auto above = [&](const QWidget* w, const QString& text) {
    p.drawText(QRect(w->x(), w->y() - 20, 200, 18), single, text);
  };
  above(library_, uiText("tc_macro_list"));
  above(events_, uiText("tc_macro_key_list"));
  p.drawText(QRect(QPoint(library_->x(), library_->geometry().bottom() + 11),
                   QPoint(library_->x() + 300, library_->geometry().bottom() + 30)),
             single, uiText("tc_macro_msg9"));
  // A label beside a control may use the room up to the window's edge; a
  // text longer than that (a translation) ends in "…" rather than cut off.
  auto beside = [&](const QWidget* w, const QString& text) {
    const int left = w->geometry().right() + 8, room = std::max(0, width() - left - 10);
    p.drawText(QRect(left, w->y() - 2, room, w->height() + 4), single,
               p.fontMetrics().elidedText(text, Qt::ElideRight, room));
  };
  beside(autoDelay_, uiText("tc_macro_auto"));
  beside(modeTwo_, uiText("tc_macro_loop2"));
  beside(modeCount_, uiText("tc_macro_loop1"));
  if (count_->isVisible()) beside(count_, QString::asprintf("1 ~ %d", kMaxLoopCount));
}

}  // namespace lumera
