#include "q350config/app/macro_dlg.h"

#include <QHideEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/window_look.h"
#include "q350config/app/app_files.h"
#include "q350config/app/hook_library.h"
#include "q350config/app/info_dlg.h"
#include "q350config/app/language.h"
#include "q350config/controls/control_messages.h"
#include "q350config/device/macro_encoder.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/settings_store.h"
#include "shared/orvane_binding.h"

namespace q350app {

using q350ui::CSkinButton;
using q350ui::rectLTRB;

namespace {

CMacroDlg::TickSource& tickSource() {
  static CMacroDlg::TickSource source;
  return source;
}

std::uint32_t tickNow() {
  if (tickSource()) return tickSource()();
  return static_cast<std::uint32_t>(platform::tickCount());
}

bool chinese() { return languageFlag() == 1; }

struct Category {
  const char16_t* chinese;
  const char16_t* english;
  const char16_t* chineseMenu;  // nullptr: the caption
  const char16_t* englishMenu;
};

const Category kCategories[21] = {
    {u"战地 3", u"Battlefield 3", u"战地 3 ", u"Battlefield 3 "},
    {u"星球大战:旧共和国", u"Star Wars: The Old Republic", nullptr, nullptr},
    {u"反恐精英:全球攻势", u"Counter-Strike: Global Offensive", nullptr, nullptr},
    {u"上古卷轴5：天际", u"Elder Scrolls V: Skyrim", nullptr, nullptr},
    {u"军团要塞 2", u"Team Fortress 2", u"军团要塞2", nullptr},
    {u"蝙蝠侠：阿甘之城", u"Batman Arkham City", nullptr, nullptr},
    {u"文明 5 ", u"Civilization 5 ", nullptr, nullptr},
    {u"坦克世界", u"World of Tanks", nullptr, nullptr},
    {u"无主之地 2", u"Borderlands 2", nullptr, nullptr},
    {u"纪元 2070：雷诺起源", u"Anno 2070", nullptr, nullptr},
    {u"英雄联盟(LOL)", u"League of Legends", nullptr, nullptr},
    {u"足球经理 2013 (EA)", u"Football Manager 2013 (EA)", nullptr, nullptr},
    {u"远古遗迹守卫2（Dota 2）", u"Dota 2 ", u"远古遗迹守卫2（Dota 2） ", nullptr},
    {u"战地 4", u"Battlefield 4", nullptr, nullptr},
    {u"战机世界", u"World of Warplanes", nullptr, nullptr},
    {u"足球经理 2013 (SEGA)", u"Football Manager 2013 (SEGA)", nullptr, nullptr},
    {u"我的世界", u"Minecraft", nullptr, nullptr},
    {u"无冬之夜", u"Neverwinter", nullptr, nullptr},
    {u"流亡黯道", u"Path of Exile", nullptr, nullptr},
    {u"战争雷霆", u"War Thunder", nullptr, nullptr},
    {u"玩家自定义", u"Customisze", nullptr, u"Customize"},
};

std::uint32_t itemValue(std::uint32_t kind, std::uint32_t value) { return kind << 24 | (value & 0xFFFFFF); }

QString delayText(std::uint32_t ms) { return QStringLiteral("%1  ms").arg(ms); }
QString keyText(std::uint32_t code) { return QString::fromStdU16String(q350::MacroKeyName(code)); }

// A whole decimal number (no sign, no blanks); nothing otherwise.
std::optional<long> wholeNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 9) return std::nullopt;
  for (QChar c : text)
    if (!c.isDigit()) return std::nullopt;
  return text.toLong();
}

// Key entries the keyboard receives of a macro (the rest stays behind in
// the keyboard's buffer and is never played).
constexpr std::size_t kKeyboardKeyEntries =
    (q350::DeviceMacro::kSentSize - q350::DeviceMacro::kHeaderSize) / q350::DeviceMacro::kEntrySize;

std::size_t keyEvents(const std::vector<std::uint32_t>& events) {
  return static_cast<std::size_t>(std::count_if(events.begin(), events.end(), [](std::uint32_t e) {
    return q350::eventKind(e) != q350::kEventDelay;
  }));
}

// The small marks the event list draws before its items: an arrow down for
// a press, up for a release, a clock for a delay.
QImage kindMark(std::uint32_t kind) {
  QImage img(16, 18, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(21, 140, 185), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (kind == kItemDelay) {
    p.drawEllipse(QRectF(3, 4, 10, 10));
    p.drawLine(QPointF(8, 9), QPointF(8, 6));
    p.drawLine(QPointF(8, 9), QPointF(10.5, 9));
  } else {
    const bool down = kind == kItemPress;
    const double tip = down ? 14 : 4, tail = down ? 4 : 14, wing = down ? 10 : 8;
    p.drawLine(QPointF(8, tail), QPointF(8, tip));
    p.drawLine(QPointF(8, tip), QPointF(4.5, wing));
    p.drawLine(QPointF(8, tip), QPointF(11.5, wing));
  }
  return img;
}

}  // namespace

QString CategoryCaption(int n) {
  if (n < 1 || n > 21) return {};
  const Category& c = kCategories[n - 1];
  return QString::fromUtf16(chinese() ? c.chinese : c.english);
}

QString CategoryMenuText(int n) {
  if (n < 1 || n > 21) return {};
  const Category& c = kCategories[n - 1];
  const char16_t* menu = chinese() ? c.chineseMenu : c.englishMenu;
  return menu ? QString::fromUtf16(menu) : CategoryCaption(n);
}

void CMacroDlg::setTickSource(TickSource source) { tickSource() = std::move(source); }

CMacroDlg::CMacroDlg(QWidget* parent) : CQ350Page(parent, "Macro/Macro_normal.bmp") {
  faces_ = skinFaces(background(), "Macro/Macro_");
  buildControls();
  category_ = 21;
  current_ = macroList_->GetCurSel();
}

CMacroDlg::~CMacroDlg() { hookStatus(false); }

CSkinButton* CMacroDlg::button(ButtonId id) const { return buttons_[id - kIdPreset]; }

CSkinButton* CMacroDlg::makeButton(const QRect& rect, int id, int hint, CSkinButton::Kind kind) {
  auto* b = new CSkinButton(this);
  b->Create(faces_, rect, id, kind);
  b->SetHint(hint);
  buttons_[id - kIdPreset] = b;
  return b;
}

void CMacroDlg::buildControls() {
  CSkinButton* preset = makeButton(rectLTRB(25, 49, 326, 70), kIdPreset, q350ui::kNoHint);
  preset->SetCaption(CategoryCaption(21));
  makeButton(rectLTRB(26, 412, 67, 440), kIdNewMacro, 33);
  makeButton(rectLTRB(77, 412, 119, 440), kIdDeleteMacro, 34);
  makeButton(rectLTRB(361, 412, 391, 440), kIdInsertEvent, 35);
  makeButton(rectLTRB(394, 412, 424, 440), kIdDeleteEvent, 36);
  makeButton(rectLTRB(427, 412, 457, 440), kIdModifyEvent, 37);
  CSkinButton* record = makeButton(rectLTRB(782, 20, 900, 53), kIdRecord, 38);
  record->SetCaptionPixelSize(13);
  setRecordCaption();
  makeButton(rectLTRB(642, 87, 797, 113), kIdNoDelays, 39, CSkinButton::Kind::Check);
  const struct {
    QRect rect;
    int id, hint;
  } radios[] = {{rectLTRB(642, 126, 738, 148), kIdRepeatCount, 60},
                {rectLTRB(642, 161, 895, 187), kIdRepeatToggle, 61},
                {rectLTRB(642, 197, 787, 222), kIdRepeatHeld, 62}};
  for (const auto& r : radios) makeButton(r.rect, r.id, r.hint, CSkinButton::Kind::Radio)->SetGroup(1);
  button(kIdRepeatCount)->SetCheck(true);
  makeButton(rectLTRB(641, 275, 786, 295), kIdInsertKey, 41);
  makeButton(rectLTRB(850, 298, 894, 320), kIdKeyOk, 63);
  makeButton(rectLTRB(640, 321, 777, 345), kIdInsertDelay, 42);
  makeButton(rectLTRB(850, 347, 894, 390), kIdDelayOk, 64);

  macroList_ = new q350ui::CListBoxEx(this);
  macroList_->Create(rectLTRB(27, 89, 324, 405), kIdMacroList, 18);
  eventList_ = new q350ui::CListBoxEx(this);
  eventList_->Create(rectLTRB(345, 51, 625, 405), kIdEventList, 18);
  for (q350ui::CListBoxEx* list : {macroList_, eventList_})
    list->SetColours(QColor(20, 20, 20), QColor(83, 97, 103), QColor(21, 140, 185));
  for (std::uint32_t kind : {kItemPress, kItemRelease, kItemDelay})
    eventList_->SetKindPicture(static_cast<int>(kind), kindMark(kind));

  auto makeEdit = [this](const QRect& rect, int id, int length) {
    auto* e = new q350ui::CSkinEdit(this);
    e->Create(rect, id, background());
    e->SetColours(QColor(21, 140, 185), QColor(15, 15, 15));
    e->setMaxLength(length);
    return e;
  };
  repeatEdit_ = makeEdit(rectLTRB(856, 131, 890, 144), kIdRepeatEdit, 2);
  repeatEdit_->SetText(QStringLiteral("1"));
  // The key edit shows the captured key's name; the key itself comes from
  // the hook, never from typing.
  keyEdit_ = makeEdit(rectLTRB(666, 302, 821, 314), kIdKeyEdit, 32);
  keyEdit_->setReadOnly(true);
  delayEdit_ = makeEdit(rectLTRB(666, 351, 821, 363), kIdDelayEdit, 5);
  hideEventEditors();
}

void CMacroDlg::setRecordCaption() {
  CSkinButton* record = button(kIdRecord);
  record->SetCaption(recording_ ? builtInQ(u"Stop Record", u"停止录制") : builtInQ(u"Start Record", u"开始录制"));
  record->SetHint(recording_ ? 65 : 38);
  record->SetCheck(recording_);
}

void CMacroDlg::hookStatus(bool on) {
  if (on) hookLibrary().SetReciveWindow(this);
  hookLibrary().SetHookStatus(on);
}

// ---- Message map ----

bool CMacroDlg::onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) {
  static const platform::MessageEntry<CMacroDlg> map[] = {
      {platform::WM_COMMAND, &CMacroDlg::OnCommand},
      {WM_HOOK_KEY, &CMacroDlg::OnHookKey},
      {q350ui::WM_LIST_CLICKED, &CMacroDlg::OnListClicked},
      {q350ui::WM_LIST_EDIT_DONE, &CMacroDlg::OnListEditDone},
      {q350ui::WM_POPUP_SELECT, &CMacroDlg::OnPopupSelect},
      {q350ui::WM_EDIT_CHANGED, &CMacroDlg::OnEditChanged},
  };
  if (platform::dispatchMessages(this, map, message, w, l, result)) return true;
  return CQ350Page::onMessage(message, w, l, result);
}

platform::LRESULT CMacroDlg::OnCommand(platform::WPARAM w, platform::LPARAM) {
  switch (static_cast<int>(platform::loWord(w))) {
    case kIdPreset: openCategoryMenu(); break;
    case kIdNewMacro: newMacro(); break;
    case kIdDeleteMacro: deleteMacro(); break;
    case kIdInsertEvent: insertEvent(); break;
    case kIdDeleteEvent: deleteEvent(); break;
    case kIdModifyEvent: modifyEvent(); break;
    case kIdRecord: toggleRecording(); break;
    case kIdRepeatCount:
    case kIdRepeatToggle:
    case kIdRepeatHeld: SaveListToMacro(); break;
    case kIdInsertKey: chooseInsertKey(); break;
    case kIdInsertDelay: chooseInsertDelay(); break;
    case kIdKeyOk: okPressed(false); break;
    case kIdDelayOk: okPressed(true); break;
    default: break;
  }
  return 0;
}

platform::LRESULT CMacroDlg::OnHookKey(platform::WPARAM w, platform::LPARAM l) {
  const int n = eventList_->GetCount();
  eventCount_ = n;
  if (3 * n + 4 > 255) return 0;
  const auto code = static_cast<std::uint32_t>(w);
  const auto flags = static_cast<std::uint32_t>(l);
  if (code == lastKey_ && (flags & 0x80) == (lastFlags_ & 0x80)) return 0;  // an auto-repeat
  if (capture_) {
    keyEdit_->SetText(keyText(code));
    captured_ = code;
    return 1;
  }
  if (!recording_) return 0;
  if (!button(kIdNoDelays)->GetCheck()) {
    const std::uint32_t now = tickNow();
    // A pause longer than an event can hold is kept at the longest one.
    if (lastTick_) eventList_->AddItem(delayText(std::min(now - *lastTick_, kMaxDelayMs)),
                                       itemValue(kItemDelay, std::min(now - *lastTick_, kMaxDelayMs)));
    lastTick_ = now;
  }
  const std::uint32_t kind = (flags & 0x80) ? kItemRelease : kItemPress;
  eventList_->AddItem(keyText(code), itemValue(kind, code));
  eventCount_ += 1;
  lastKey_ = code;
  lastFlags_ = flags;
  return 1;
}

platform::LRESULT CMacroDlg::OnListClicked(platform::WPARAM w, platform::LPARAM l) {
  if (static_cast<int>(w) != kIdMacroList) return 0;
  if (static_cast<int>(l) == current_) return 0;
  if (recording_) stopRecording();
  current_ = macroList_->GetCurSel();
  ShowSelectedMacro();
  if (eventList_->GetCount() == 0) repeatEdit_->SetText(QStringLiteral("1"));
  eventCount_ = eventList_->GetCount();
  return 0;
}

platform::LRESULT CMacroDlg::OnListEditDone(platform::WPARAM w, platform::LPARAM l) {
  if (static_cast<int>(w) != kIdMacroList) return 0;
  const int index = static_cast<int>(l);
  if (index < 0 || index >= macroList_->GetCount()) return 0;
  const std::uint32_t id = macroList_->GetItemData(index);
  q350::SettingsStore& s = q350::settings();
  const q350::StoredMacro* stored = s.macroLibrary.find(id);
  QString name = macroList_->GetText(index).left(q350ui::CListBoxEx::kRenameLimit);
  if (name.trimmed().isEmpty()) {
    // A macro without a name could not be told apart in any list; it keeps
    // the one it had.
    name = stored ? QString::fromStdU16String(stored->nameText()) : builtInQ(u"New Macro", u"新建宏");
    macroList_->SetItemText(index, name);
  }
  // The new name is stored now, not only with the next change of events.
  if (stored && stored->tag != 0) {
    q350::MacroImage image;
    image.size = stored->size;
    image.tag = stored->tag;
    image.id = stored->id;
    image.reserved = stored->reserved;
    image.repeat = stored->repeat;
    image.events.assign(stored->events.begin(), stored->events.begin() + static_cast<long>(stored->eventCount()));
    image.setName(name.toStdU16String());
    if (!s.StoreMacroImage(image, this))
      ShowInfo(this, builtInQ(u"The macro could not be renamed.", u"宏重命名失败。"));
  }
  renameStoredCopy(id, name);
  return 0;
}

platform::LRESULT CMacroDlg::OnPopupSelect(platform::WPARAM, platform::LPARAM l) {
  q350ui::closeSkinMenus();
  const int n = static_cast<int>(l);
  if (n < 1 || n > 21) return 0;
  if (recording_) stopRecording();
  button(kIdPreset)->SetCaption(CategoryCaption(n));
  category_ = n;
  FillMacroList(n);
  return 0;
}

platform::LRESULT CMacroDlg::OnEditChanged(platform::WPARAM w, platform::LPARAM) {
  if (static_cast<int>(w) == kIdRepeatEdit) SaveListToMacro();
  return 0;
}

// ---- Lists ----

void CMacroDlg::FillMacroList(int category) {
  if (category >= 1 && category <= 21) category_ = category;
  macroList_->ResetContent();
  eventList_->ResetContent();
  const q350::MacroLibrary& lib = q350::settings().macroLibrary;
  for (std::size_t i : lib.listed(static_cast<std::uint32_t>(category_))) {
    const q350::StoredMacro& m = lib.at(i);
    macroList_->AddItem(QString::fromStdU16String(m.nameText()), m.id);
  }
  current_ = macroList_->GetCurSel();
  ShowSelectedMacro();
  eventCount_ = eventList_->GetCount();
}

void CMacroDlg::ShowSelectedMacro() {
  const int sel = macroList_->GetCurSel();
  if (sel < 0) return;
  eventList_->ResetContent();
  const q350::StoredMacro* m = q350::settings().macroLibrary.find(macroList_->GetItemData(sel));
  if (m) LoadMacroToList(*m);
  setRepeatMode(m ? m->repeat : 1);
}

void CMacroDlg::setRepeatMode(std::uint32_t repeat) {
  const int on = repeat == q350::kRepeatToggle ? kIdRepeatToggle
                 : repeat == q350::kRepeatWhilePressed ? kIdRepeatHeld
                                                       : kIdRepeatCount;
  for (int id : {kIdRepeatCount, kIdRepeatToggle, kIdRepeatHeld}) button(static_cast<ButtonId>(id))->SetCheck(id == on);
}

void CMacroDlg::LoadMacroToList(const q350::StoredMacro& record) {
  eventList_->ResetContent();
  const bool mode = record.repeat == q350::kRepeatToggle || record.repeat == q350::kRepeatWhilePressed;
  repeatEdit_->SetText(mode ? QStringLiteral("1") : QString::number(record.repeat));
  // eventCount() keeps a damaged count from reading past the record.
  for (std::size_t i = 0; i < record.eventCount(); ++i) {
    const std::uint32_t e = record.events[i];
    const std::uint32_t v = q350::eventValue(e);
    switch (q350::eventKind(e)) {
      case q350::kEventRelease: eventList_->AddItem(keyText(v), itemValue(kItemRelease, v)); break;
      case q350::kEventPress: eventList_->AddItem(keyText(v), itemValue(kItemPress, v)); break;
      case q350::kEventDelay: eventList_->AddItem(delayText(v), itemValue(kItemDelay, v)); break;
      default: platform::debugOutput("LoadMacroToList:  Not a vaild item"); return;
    }
  }
}

void CMacroDlg::SaveListToMacro() {
  const int count = eventList_->GetCount();
  if (count == 0) return;
  // Neighbouring delays become one.
  for (int i = 1; i < eventList_->GetCount();) {
    const std::uint32_t a = eventList_->GetItemData(i - 1), b = eventList_->GetItemData(i);
    if (q350ui::CListBoxEx::kindOf(a) == kItemDelay && q350ui::CListBoxEx::kindOf(b) == kItemDelay) {
      const std::uint32_t sum = std::min((a & 0xFFFFFF) + (b & 0xFFFFFF), kMaxDelayMs);
      const int sel = eventList_->GetCurSel();
      eventList_->SetItemText(i - 1, delayText(sum));
      eventList_->SetItemData(i - 1, itemValue(kItemDelay, sum));
      eventList_->DeleteItem(i);
      eventList_->SetCurSel(sel >= i ? sel - 1 : sel);
    } else {
      ++i;
    }
  }
  q350::MacroImage image;
  image.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * eventList_->GetCount());
  bool keySeen = false;
  for (const q350ui::CListBoxEx::Item& item : eventList_->items()) {
    const std::uint32_t value = item.value & 0xFFFFFF;
    switch (q350ui::CListBoxEx::kindOf(item.value)) {
      case kItemPress: image.events.push_back(q350::makeEvent(q350::kEventPress, value)); keySeen = true; break;
      case kItemRelease: image.events.push_back(q350::makeEvent(q350::kEventRelease, value)); keySeen = true; break;
      case kItemDelay:
        if (keySeen) image.events.push_back(q350::makeEvent(q350::kEventDelay, value));  // never a leading delay
        break;
      default: break;
    }
  }
  if (button(kIdRepeatToggle)->GetCheck()) {
    image.repeat = q350::kRepeatToggle;
  } else if (button(kIdRepeatHeld)->GetCheck()) {
    image.repeat = q350::kRepeatWhilePressed;
  } else {
    const std::optional<long> n = wholeNumber(repeatEdit_->text().trimmed());
    image.repeat = !n || *n == 0 ? 1u : static_cast<std::uint32_t>(std::min<long>(*n, 255));
  }
  const int index = recording_ ? current_ : macroList_->GetCurSel();
  if (index < 0 || index >= macroList_->GetCount()) return;
  image.id = macroList_->GetItemData(index);
  image.setName(macroList_->GetText(index).toStdU16String());

  q350::SettingsStore& s = q350::settings();
  const q350::StoredMacro* before = s.macroLibrary.find(image.id);
  const std::size_t keysBefore = before ? keyEvents({before->events.begin(), before->events.begin() +
                                                                                 static_cast<long>(before->eventCount())})
                                        : 0;
  if (!s.StoreMacroImage(image, this)) {
    ShowInfo(this, image.events.size() > q350::StoredMacro::kMaxEvents
                       ? builtInQ(u"The macro has too many events and was not stored.", u"宏事件过多，未能保存。")
                       : builtInQ(u"The macro could not be stored: the macro library is full.",
                                  u"宏未能保存：宏列表已满。"));
    // What the library did not take is not shown as if it had.
    if (index == macroList_->GetCurSel()) ShowSelectedMacro();
    eventCount_ = eventList_->GetCount();
    return;
  }
  const std::size_t keys = keyEvents(image.events);
  if (keys > kKeyboardKeyEntries && keysBefore <= kKeyboardKeyEntries)
    ShowInfo(this, chinese() ? QStringLiteral("此宏有%1个按键事件，键盘只执行前%2个。").arg(keys).arg(kKeyboardKeyEntries)
                             : QStringLiteral("This macro has %1 key events; the keyboard plays only the first %2.")
                                   .arg(keys)
                                   .arg(kKeyboardKeyEntries));
}

// ---- Macros ----

void CMacroDlg::openCategoryMenu() {
  std::vector<OrvaneMenuItem> items;
  for (int n = 1; n <= 21; ++n)
    items.push_back(shared::makeMenuItem(ORVANE_TOP_LEVEL, static_cast<std::uint32_t>(n),
                                         CategoryMenuText(n).toStdU16String()));
  const QRect preset = button(kIdPreset)->geometry();
  const QPoint at = mapToGlobal(QPoint(preset.left() + 1, preset.top() + preset.height() + 1));
  shared::orvane().createQ350(this, 24, at.x(), at.y(), {0x00676153, 0x00FFFFFF, 0x00B98C15}, items);
}

bool CMacroDlg::listHasId(std::uint32_t id) const {
  for (const q350ui::CListBoxEx::Item& item : macroList_->items())
    if (item.value == id) return true;
  return false;
}

std::uint32_t CMacroDlg::freeMacroId() const {
  const q350::MacroLibrary& lib = q350::settings().macroLibrary;
  std::uint32_t low = tickNow() & 0xFFFFFF;
  const auto top = static_cast<std::uint32_t>(category_) << 24;
  // Two macros made within the same tick, or a tick count that came round
  // again, must not share an id: the second would overwrite the first.
  for (std::uint32_t tries = 0; tries < 0x1000000; ++tries, low = (low + 1) & 0xFFFFFF) {
    const std::uint32_t id = top | low;
    if (id != 0 && !lib.find(id) && !listHasId(id)) return id;
  }
  return top | low;
}

void CMacroDlg::newMacro() {
  const std::uint32_t id = freeMacroId();
  current_ = macroList_->AddItem(builtInQ(u"New Macro", u"新建宏"), id, true);
  ShowSelectedMacro();
  setRepeatMode(1);
  repeatEdit_->SetText(QStringLiteral("1"));
  eventCount_ = 0;
}

bool CMacroDlg::macroInUse(std::uint32_t id) const {
  const q350::SettingsStore& s = q350::settings();
  if (s.keyExtra.usesMacro(id)) return true;
  // The other profiles play their macros once the user switches to them; a
  // macro gone from the library would leave their keys without a function.
  for (int n = 0; n < static_cast<int>(q350::kProfileCount); ++n) {
    if (n == s.currentProfile()) continue;
    std::string bytes;
    if (!platform::readFile(s.profilePath(n), bytes, q350::kProfileFileSize)) continue;
    const q350::ProfileImage image = q350::ProfileImage::fromBytes(bytes);
    if (image.settings.signature == q350::kProfileSignature && image.extra.usesMacro(id)) return true;
  }
  return false;
}

void CMacroDlg::deleteMacro() {
  const int sel = macroList_->GetCurSel();
  if (sel < 0) return;
  const std::uint32_t id = macroList_->GetItemData(sel);
  if (macroInUse(id)) {
    ShowInfo(this, builtInQ(u"The macro is being applied and cannot be deleted!", u"当前宏正在被使用，不能删除！"));
    return;
  }
  q350::settings().DeleteMacro(id, this);  // false for a new macro never stored
  macroList_->DeleteItem(sel);
  eventList_->ResetContent();
  current_ = macroList_->GetCurSel();
  eventCount_ = 0;
}

void CMacroDlg::renameStoredCopy(std::uint32_t id, const QString& name) {
  char key[16];
  std::snprintf(key, sizeof key, "%08x", id);
  platform::RegistryKey reg;
  if (reg.open(std::string(kMacroRegistryBase) + key) != platform::kRegOk) return;
  std::uint32_t type = 0;
  std::string bytes;
  if (reg.queryValue("", type, bytes) != platform::kRegOk || type != platform::kRegBinary) return;
  // The copy is checked against its own sizes before anything is read.
  q350::MacroImage image;
  if (!q350::MacroImage::fromBytes(bytes, image)) return;
  image.setName(name.toStdU16String());
  if (!q350::settings().StoreMacroImage(image, this))
    platform::messageBox(this, u"      Rename Error     ", u"Warning", platform::MessageBoxIcon::Warning);
}

// ---- Recording ----

void CMacroDlg::toggleRecording() {
  if (macroList_->GetCurSel() < 0) return;
  if (recording_) {
    stopRecording();
    return;
  }
  captureOff();
  hideEventEditors();
  recording_ = true;
  for (int id : {kIdNewMacro, kIdDeleteMacro, kIdInsertEvent, kIdDeleteEvent, kIdModifyEvent})
    button(static_cast<ButtonId>(id))->setEnabled(false);
  eventList_->ResetContent();
  eventCount_ = 0;
  lastTick_.reset();
  // A key recorded into the previous macro is no repeat in this one.
  lastKey_ = 0;
  lastFlags_ = 0;
  current_ = macroList_->GetCurSel();
  setRecordCaption();
  hookStatus(true);
}

void CMacroDlg::stopRecording() {
  if (!recording_) return;
  for (int id : {kIdNewMacro, kIdDeleteMacro, kIdInsertEvent, kIdDeleteEvent, kIdModifyEvent})
    button(static_cast<ButtonId>(id))->setEnabled(true);
  hookStatus(false);
  SaveListToMacro();  // into the macro that was recorded
  recording_ = false;
  setRecordCaption();
}

void CMacroDlg::hideEvent(QHideEvent* e) {
  // Keys typed on another page must not land in a macro.
  stopRecording();
  if (capture_) {
    captureOff();
    hideEventEditors();
  }
  CQ350Page::hideEvent(e);
}

// ---- Events ----

void CMacroDlg::deleteEvent() {
  const int sel = eventList_->GetCurSel();
  if (sel < 0) return;
  eventList_->DeleteItem(sel);
  if (eventList_->GetCount() > 0) SaveListToMacro();
  eventCount_ = eventList_->GetCount();
}

void CMacroDlg::hideEventEditors() {
  for (int id : {kIdInsertKey, kIdKeyOk, kIdInsertDelay, kIdDelayOk}) {
    button(static_cast<ButtonId>(id))->SetCheck(false);
    button(static_cast<ButtonId>(id))->hide();
  }
  keyEdit_->hide();
  delayEdit_->hide();
}

void CMacroDlg::captureOff() {
  hookStatus(false);
  capture_ = false;
}

void CMacroDlg::insertEvent() {
  modify_ = false;
  button(kIdInsertKey)->show();
  button(kIdInsertDelay)->show();
}

void CMacroDlg::chooseInsertKey() {
  button(kIdInsertKey)->SetCheck(true);
  button(kIdInsertDelay)->SetCheck(false);
  keyEdit_->SetText(QString());
  keyEdit_->show();
  button(kIdKeyOk)->show();
  delayEdit_->hide();
  button(kIdDelayOk)->hide();
  hookStatus(true);
  capture_ = true;
  captured_ = 0;
  lastKey_ = 0;  // the key pressed last while recording may be captured
  lastFlags_ = 0;
}

void CMacroDlg::chooseInsertDelay() {
  button(kIdInsertDelay)->SetCheck(true);
  button(kIdInsertKey)->SetCheck(false);
  delayEdit_->SetText(QString());
  delayEdit_->show();
  delayEdit_->setFocus();
  button(kIdDelayOk)->show();
  keyEdit_->hide();
  button(kIdKeyOk)->hide();
  captureOff();
}

void CMacroDlg::modifyEvent() {
  hookStatus(false);
  modify_ = true;
  const int sel = eventList_->GetCurSel();
  if (sel < 0) return;
  if (q350ui::CListBoxEx::kindOf(eventList_->GetItemData(sel)) == kItemDelay) {
    button(kIdInsertDelay)->show();
    button(kIdInsertDelay)->SetCheck(true);
    delayEdit_->SetText(QString());
    delayEdit_->show();
    delayEdit_->setFocus();
    button(kIdDelayOk)->show();
    button(kIdInsertKey)->hide();
    button(kIdKeyOk)->hide();
    keyEdit_->hide();
    capture_ = false;
  } else {
    hookStatus(true);
    capture_ = true;
    captured_ = 0;
    lastKey_ = 0;
    lastFlags_ = 0;
    button(kIdInsertKey)->show();
    button(kIdInsertKey)->SetCheck(true);
    keyEdit_->SetText(QString());
    keyEdit_->show();
    button(kIdKeyOk)->show();
    delayEdit_->hide();
    button(kIdDelayOk)->hide();
    button(kIdInsertDelay)->hide();
  }
}

void CMacroDlg::okPressed(bool delayOk) {
  if (delayOk) {
    const std::optional<long> n = wholeNumber(delayEdit_->text().trimmed());
    if (!n || *n > kMaxTypedDelayMs) {
      ShowInfo(this, builtInQ(u"value input rang from 0 to 60000!", u"数值输入范围0至60000!"));
      delayEdit_->selectAll();
      delayEdit_->SetText(QString());
      return;
    }
  }
  if (modify_)
    applyModification();
  else
    applyInsertion();
  SaveListToMacro();
}

void CMacroDlg::applyModification() {
  const int sel = eventList_->GetCurSel();
  if (sel < 0) {
    captureOff();
    hideEventEditors();
    modify_ = false;
    return;
  }
  const std::uint32_t value = eventList_->GetItemData(sel);
  const std::uint32_t kind = static_cast<std::uint32_t>(q350ui::CListBoxEx::kindOf(value));
  if (kind == kItemDelay) {
    if (const std::optional<long> n = wholeNumber(delayEdit_->text().trimmed())) {
      eventList_->SetItemText(sel, delayText(static_cast<std::uint32_t>(*n)));
      eventList_->SetItemData(sel, itemValue(kItemDelay, static_cast<std::uint32_t>(*n)));
    }
  } else {
    capture_ = false;
    if (captured_ != 0) {
      eventList_->SetItemText(sel, keyText(captured_));
      eventList_->SetItemData(sel, itemValue(kind, captured_));
    }
  }
  captureOff();
  hideEventEditors();
  modify_ = false;
}

void CMacroDlg::applyInsertion() {
  const int sel = eventList_->GetCurSel();
  const bool keyMode = button(kIdInsertKey)->GetCheck();
  const bool delayMode = button(kIdInsertDelay)->GetCheck();
  captureOff();
  if (sel >= 0 && keyMode && captured_ != 0) {
    eventList_->InsertItem(sel, keyText(captured_), itemValue(kItemPress, captured_));
    eventList_->InsertItem(sel + 1, keyText(captured_), itemValue(kItemRelease, captured_));
  } else if (sel >= 0 && delayMode) {
    if (const std::optional<long> n = wholeNumber(delayEdit_->text().trimmed())) {
      const auto d = static_cast<std::uint32_t>(*n);
      auto addTo = [this, d](int i) {
        const std::uint32_t sum = std::min((eventList_->GetItemData(i) & 0xFFFFFF) + d, kMaxDelayMs);
        eventList_->SetItemText(i, delayText(sum));
        eventList_->SetItemData(i, itemValue(kItemDelay, sum));
        eventList_->SetCurSel(i);
      };
      const auto isDelay = [this](int i) { return q350ui::CListBoxEx::kindOf(eventList_->GetItemData(i)) == kItemDelay; };
      if (sel == 0) {
        // A macro never starts with a delay.
      } else if (isDelay(sel - 1)) {
        addTo(sel - 1);
      } else if (!isDelay(sel)) {
        eventList_->InsertItem(sel, delayText(d), itemValue(kItemDelay, d));
      } else {
        addTo(sel);
      }
    }
  }
  hideEventEditors();
  modify_ = false;
}

}  // namespace q350app
