// CMacroDlg, the macro page of Q350Config: the game-category menu, the
// macro list and the event list of the selected macro, recording through
// the keyboard hook (with or without the delays between keys), inserting,
// changing and deleting events, the repeat mode, new, delete and rename.
//
// The page keeps no macro data of its own: every change goes into the
// process-wide macro library at once and "Macro.cfg" is rewritten. What the
// library refuses is shown to the user and taken out of the lists again, so
// the page never shows a macro that is not stored.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "q350config/app/pages.h"
#include "q350config/controls/list_box.h"
#include "q350config/controls/simple_controls.h"
#include "q350config/controls/skin_button.h"
#include "q350config/settings/records.h"

namespace q350app {

// Message the hook library sends for every key while delivery is on:
// wParam the virtual-key code, lParam flags (0x80 for a release).
constexpr unsigned WM_HOOK_KEY = 0x040A;

// Item kinds of the two lists (top byte of an item's value).
enum MacroItemKind : std::uint32_t { kItemMacro = 0, kItemRelease = 2, kItemPress = 3, kItemDelay = 4 };

// The longest delay an event holds, in milliseconds.
constexpr std::uint32_t kMaxDelayMs = 327670;
// The longest delay the delay edit takes.
constexpr int kMaxTypedDelayMs = 60000;
// Where copies of macros may be kept in the registry (key + "%08x" of the id).
inline constexpr char kMacroRegistryBase[] = "Software\\KAVRO\\Q350\\Macro\\";

// The caption of game category n (1..21) on the preset button and its
// text in the category menu, in the interface language.
QString CategoryCaption(int n);
QString CategoryMenuText(int n);

class CMacroDlg : public CQ350Page {
 public:
  // Control ids.
  static constexpr int kIdMacroList = 256, kIdEventList = 257;
  static constexpr int kIdRepeatEdit = 1000, kIdKeyEdit = 1001, kIdDelayEdit = 1002;
  enum ButtonId {
    kIdPreset = 1200, kIdNewMacro, kIdDeleteMacro, kIdInsertEvent, kIdDeleteEvent, kIdModifyEvent, kIdRecord,
    kIdNoDelays, kIdRepeatCount, kIdRepeatToggle, kIdRepeatHeld, kIdInsertKey, kIdKeyOk, kIdInsertDelay, kIdDelayOk,
  };

  explicit CMacroDlg(QWidget* parent);
  ~CMacroDlg() override;

  void FillMacroList(int category) override;

  // Where the page takes its milliseconds for the delays between recorded
  // keys and for new macro ids (the tick count by default; tests give a
  // clock of their own). nullptr restores the default.
  using TickSource = std::function<std::uint32_t()>;
  static void setTickSource(TickSource source);

  // ---- For tests ----
  q350ui::CListBoxEx* macroList() const { return macroList_; }
  q350ui::CListBoxEx* eventList() const { return eventList_; }
  q350ui::CSkinButton* button(ButtonId id) const;
  q350ui::CSkinEdit* repeatEdit() const { return repeatEdit_; }
  q350ui::CSkinEdit* keyEdit() const { return keyEdit_; }
  q350ui::CSkinEdit* delayEdit() const { return delayEdit_; }
  int category() const { return category_; }
  int currentMacroIndex() const { return current_; }
  bool isRecording() const { return recording_; }
  bool isCapturing() const { return capture_; }

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void hideEvent(QHideEvent* e) override;

 private:
  // Message map handlers.
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnHookKey(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnListClicked(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnListEditDone(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnPopupSelect(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnEditChanged(platform::WPARAM w, platform::LPARAM l);

  void buildControls();
  q350ui::CSkinButton* makeButton(const QRect& rect, int id, int hint,
                                  q350ui::CSkinButton::Kind kind = q350ui::CSkinButton::Kind::Push);
  void setRecordCaption();

  void ShowSelectedMacro();
  void LoadMacroToList(const q350::StoredMacro& record);
  void SaveListToMacro();
  void setRepeatMode(std::uint32_t repeat);

  void openCategoryMenu();
  void newMacro();
  void deleteMacro();
  void toggleRecording();
  void stopRecording();
  void deleteEvent();
  void insertEvent();
  void chooseInsertKey();
  void chooseInsertDelay();
  void modifyEvent();
  void okPressed(bool delayOk);
  void applyModification();
  void applyInsertion();
  void hideEventEditors();
  void captureOff();
  void hookStatus(bool on);

  // Whether a key of any profile (the one in use, and every other profile's
  // file) plays the macro with this id.
  bool macroInUse(std::uint32_t id) const;
  // A new id of the category that no macro and no list item has yet.
  std::uint32_t freeMacroId() const;
  bool listHasId(std::uint32_t id) const;
  // The stored copy in the registry, renamed and stored, when there is one.
  void renameStoredCopy(std::uint32_t id, const QString& name);

  q350ui::FaceSet faces_;
  q350ui::CListBoxEx* macroList_ = nullptr;
  q350ui::CListBoxEx* eventList_ = nullptr;
  q350ui::CSkinEdit* repeatEdit_ = nullptr;
  q350ui::CSkinEdit* keyEdit_ = nullptr;
  q350ui::CSkinEdit* delayEdit_ = nullptr;
  q350ui::CSkinButton* buttons_[kIdDelayOk - kIdPreset + 1] = {};

  int category_ = 21;
  int current_ = -1;
  bool recording_ = false;
  bool capture_ = false;
  std::uint32_t captured_ = 0;
  bool modify_ = false;
  int eventCount_ = 0;
  std::optional<std::uint32_t> lastTick_;
  // The last recorded key and its flags (auto-repeats of it are dropped);
  // cleared at the start of every recording.
  std::uint32_t lastKey_ = 0;
  std::uint32_t lastFlags_ = 0;
};

}  // namespace q350app
