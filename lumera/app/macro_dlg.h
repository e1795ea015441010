// CMacroDlg, the macro library and editor: the library tree over the "Mac"
// folder (folders and macros; new, rename, delete, import, export), the
// event list of the selected macro, recording from the keyboard, the repeat
// settings and the insert menu. Every change is written to the macro's file
// at once, so closing the dialog needs no saving.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lumera/app/skin_window.h"
#include "lumera/app/tree_ctrl.h"
#include "lumera/model/macro.h"
#include "lumera/model/macro_library.h"

class QLineEdit;
class QTimer;

namespace lumera {

class CPngBtn;

class CMacroDlg : public CSkinWnd {
 public:
  static constexpr int kExitId = 1001, kRecordId = 1002, kAutoDelayId = 1003, kLoopModeTwoId = 1004,
                       kLoopCountId = 1005, kInsertId = 1006, kNewMacroId = 1007;
  static constexpr int kLibraryId = 261, kEventListId = 262;
  // Kinds of the library tree's items.
  static constexpr int kMacroKind = 1, kFolderKind = 2;

  // Menu items of the library and the event list.
  enum MenuId : unsigned {
    kNewMacro = 1,
    kNewFolder = 2,
    kDeleteItem = 4,
    kExportMacro = 8,
    kImportMacro = 16,
    kRename = 32,
    kEditEvent = 64,
    kImportFolder = 256,
    kExportFolder = 512,
    kDeleteEvent = 1024,
  };
  // Insert menu: pressed, released, delay; mouse code 240 + n is
  // kInsertMouse + n * 0x10000 (the code is bits 16..23).
  static constexpr unsigned kInsertPressed = 0xF70080, kInsertReleased = 0xF80080, kInsertDelay = 0xF90080,
                            kInsertMouse = 0xF00080;
  // Which menu a choice (message 1143) comes from, its lParam.
  enum MenuOwner : int { kLibraryMenu = 1, kEventMenu = 2, kInsertMenu = 3 };

  // What the dialog asks the desktop for; tests put their own answers in.
  struct FileChooser {
    std::function<QString(QWidget*)> openMacro;                        // an existing .mck file
    std::function<QString(QWidget*, const QString& name)> saveMacro;  // where to export
    std::function<QString(QWidget*)> chooseFolder;                     // a folder to import or export to
  };

  // `macroInUse(id)`: whether a macro must not be deleted; it tells the
  // user why itself.
  CMacroDlg(QWidget* parent, std::function<bool(int macroId)> macroInUse);
  ~CMacroDlg() override;

  void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  // The clock of recorded delays (milliseconds; default the steady tick).
  void SetTickSource(std::function<std::uint64_t()> tick) { tick_ = std::move(tick); }

  CTreeCtrlEx* libraryTree() const { return library_; }
  CTreeCtrlEx* eventList() const { return events_; }
  CPngBtn* recordButton() const { return record_; }
  CPngBtn* autoDelayButton() const { return autoDelay_; }
  CPngBtn* loopModeTwoButton() const { return modeTwo_; }
  CPngBtn* loopCountButton() const { return modeCount_; }
  CPngBtn* insertButton() const { return insert_; }
  CPngBtn* newMacroButton() const { return newMacro_; }
  CPngBtn* exitButton() const { return exit_; }
  QLineEdit* countEdit() const { return count_; }
  bool isRecording() const { return recording_; }

  // The macro being edited (0: none) and its record as the editor has it.
  TreeItem currentItem() const { return current_; }
  const MacroRecord& currentRecord() const { return edit_; }
  // The event list's rows.
  std::vector<EditorEvent> rows() const;
  // The library item of a macro id, of a name under a folder (0: none).
  TreeItem itemOfMacro(std::int32_t id) const;
  TreeItem childNamed(TreeItem folder, const QString& name) const;
  // The file or folder of a library item ("" for the root or too deep).
  std::string itemPath(TreeItem item) const;
  std::string folderPath(TreeItem folder) const;  // 0: the root

  // One key message of a recording (as the filter passes it on); false when
  // it was not recorded.
  bool recordKey(bool down, unsigned code);
  // A release the filter holds back: X11 repeats a held key as a release
  // and a press with the same server time, which Qt does not always flag.
  bool hasPendingRelease() const { return pending_.active; }
  void startRecording();
  void stopRecording();

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnMenuChoice(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTreeClick(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTreeDblClick(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTreeRButtonUp(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTreeDeleteKey(platform::WPARAM w, platform::LPARAM l);

  // Refuses (with "tc_macro_msg17") while recording.
  bool refuseWhileRecording();
  void readLibrary();
  void readFolder(TreeItem parent, const std::string& folder, int depth, bool renumber);
  TreeItem addMacroItem(TreeItem parent, const MacroRecord& m, const QString& name);
  // The folder that new items go into: the selected folder, the folder of
  // the selected macro, or the root.
  TreeItem targetFolder() const;
  std::vector<std::u16string> folderNames(TreeItem item) const;
  // Checks a name typed for an item under `parent` ("tc_tip1", "tc_macro_msg8").
  bool acceptName(const QString& name, TreeItem parent, TreeItem except);

  void loadMacro(TreeItem item);
  void clearEditor();
  void showSettings();
  void fillEventList(const std::vector<EditorEvent>& rows);
  TreeItem addRow(const EditorEvent& row, TreeItem after = kTreeLast);
  // Writes the edited macro when it changed; false (and told) on failure.
  bool save();
  bool writeMacro(TreeItem item, MacroRecord& m);
  void updateList(const MacroRecord& m);
  void removeFromList(std::int32_t id);

  void newMacro();
  void newFolder();
  void renameItem();
  void deleteItem();
  void importMacro();
  void exportMacro();
  void importFolder();
  void exportFolder();
  void openInsertMenu();
  void insertChoice(unsigned id);
  void editEvent();
  void deleteEvent();
  void moveEventSelection(int step);
  void onCountEdited(const QString& text);
  void setRepeatMode(std::uint32_t mode);

  std::function<bool(int)> macroInUse_;
  FileChooser chooser_;
  std::function<std::uint64_t()> tick_;
  int x_ = 350;

  CPngBtn* exit_ = nullptr;
  CPngBtn* record_ = nullptr;
  CPngBtn* autoDelay_ = nullptr;
  CPngBtn* modeTwo_ = nullptr;
  CPngBtn* modeCount_ = nullptr;
  CPngBtn* insert_ = nullptr;
  CPngBtn* newMacro_ = nullptr;
  QLineEdit* count_ = nullptr;
  CTreeCtrlEx* library_ = nullptr;
  CTreeCtrlEx* events_ = nullptr;
  QImage open_, closed_, pressedIcon_, releasedIcon_, delayIcon_;

  TreeItem current_ = 0;
  MacroRecord edit_;
  bool recording_ = false;
  bool grabbed_ = false;
  bool hasPrevious_ = false;
  bool previousDown_ = false;
  unsigned previousCode_ = 0;
  std::uint64_t lastKeyTime_ = 0;
  bool filtering_ = false;
  struct PendingRelease {
    bool active = false;
    unsigned code = 0;
    unsigned long stamp = 0;
    std::uint64_t tick = 0;
  } pending_;
  QTimer* pendingTimer_ = nullptr;
  bool recordKeyAt(bool down, unsigned code, std::uint64_t tick);
  void keyWhileRecording(bool down, unsigned code, unsigned long stamp);
  void flushPendingRelease();
};

}  // namespace lumera
