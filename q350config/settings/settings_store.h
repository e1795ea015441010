// The settings of Q350Config in memory and their stores: the profile files,
// the macro library file "Macro.cfg" and the profile table in the registry.
//
// The program keeps one SettingsStore (settings()); the pages edit its
// records in place, the full write reads them and rewrites the macro entries
// of keyMap. Tests make their own stores over a temporary program folder.
//
// Files are written whole or not at all (temporary file, then rename), so a
// crash or a full disk never leaves a half-written profile or library.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "q350config/settings/key_tables.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/messages.h"
#include "q350config/settings/records.h"

namespace q350 {

// Registry location of the profile table.
constexpr const char* kProfileTableKey = "Software\\KAVRO\\Q350";
constexpr const char* kProfileTableValue = "ConfigInfo";

// Results of LoadProfileFile.
enum LoadResult : int { kLoadInvalid = -1, kLoadNotOpened = 0, kLoadOk = 1 };

class SettingsStore {
 public:
  // programFolder: the folder holding "Macro.cfg" and the "Profile" folder.
  explicit SettingsStore(std::string programFolder);

  void setProgramFolder(std::string folder);
  const std::string& programFolder() const { return programFolder_; }
  void setMessageSink(MessageSink* sink) { sink_ = sink; }
  void setTextLookup(const TextLookup* texts) { texts_ = texts; }
  const TextLookup* textLookup() const { return texts_; }
  // The pauses around a library write (100 ms each); tests make them instant.
  void setPauseFunction(std::function<void(unsigned)> pause) { pause_ = std::move(pause); }

  // ---- The records (process-wide in the program) ----
  ProfileSettings profileSettings;  // the profile in use
  KeyMap keyMap{};                  // live key table of the profile in use
  KeyExtra keyExtra;
  KeyMap defaultKeyMap = DefaultKeyMap();
  MacroLibrary macroLibrary;
  ProfileTable profileTable;

  // Index 0..4 of the profile in use.
  int currentProfile() const { return current_; }
  ProfileEntry& currentEntry() { return profileTable.entries[static_cast<std::size_t>(current_)]; }
  // Full path of profile n's file (0..4), as LoadProfileTable set it.
  std::string profilePath(int n) const;
  // Where "Macro.cfg" is (looked up without regard to case).
  std::string macroLibraryPath() const;

  // ---- Profile files ----

  // 1 loaded (the settings in use take the file), 0 not opened, -1 wrong
  // signature (settings unchanged). A missing file is reported and then
  // created with factory content when `report` is set; the settings in use
  // stay as they were in that case.
  int LoadProfileFile(const std::string& path, bool report);
  // Makes the settings in use the factory ones and writes them to path.
  bool CreateDefaultProfile(const std::string& path);
  // Writes the profile in use to the current entry's file.
  bool SaveCurrentProfile();
  // Profile file + the active profile's entry (64,676 bytes).
  bool ExportProfile(const std::string& path);
  // Takes the first 62,936 bytes of a profile or exported file; true when
  // the settings in use took them.
  bool ImportProfile(const std::string& path);

  // ---- Macro library ----

  bool LoadMacroLibrary();
  // Writes "Macro.cfg"; owner is the window that owns a message box.
  bool SaveMacroLibrary(const void* owner = nullptr);
  // The macro page's store: puts the image into the library and saves it.
  bool StoreMacroImage(const MacroImage& image, const void* owner = nullptr);
  // Clears the macro with id from the library and saves it; false when no
  // record has it.
  bool DeleteMacro(std::uint32_t id, const void* owner = nullptr);

  // ---- Profile table ----

  // Start-up: reads the table from the registry, completes it and makes one
  // profile current, creating missing or replacing damaged profile files.
  void LoadProfileTable();
  // After a successful full write: the table to the registry, then the
  // current profile to its file. False when either could not be stored.
  bool StoreProfileTable();
  // Switches to profile n (0..4): 1 when it became current; otherwise the
  // result of LoadProfileFile and nothing else changed.
  int SelectProfile(int n);
  bool isActive(int n) const { return n >= 0 && n < 5 && profileTable.entries[static_cast<std::size_t>(n)].active != 0; }

  // Factory lighting and key table for the profile in use; the macro ids of
  // KeyExtra are cleared. Nothing is written.
  void RestoreFactorySettings();

  // The name of entry i of keyMap (empty for i >= 120).
  std::u16string AssignmentName(std::size_t i) const;

 private:
  void show(MessageStyle style, std::u16string text, const void* owner = nullptr);
  // Adopts a profile image as the settings in use.
  void adopt(const ProfileImage& image);
  // The image of the settings in use, with keyMap copied into the record.
  ProfileImage currentImage();
  ProfileImage factoryImage() const;
  bool writeProfileImage(const std::string& path, const ProfileImage& image);
  // Factory lighting and key table as the settings in use.
  void useFactorySettings();
  // Start-up's answer to a profile file that did not load: a file that
  // existed (damaged or unreadable) is first kept as "<name>.bad", then a
  // factory profile takes its place.
  void replaceProfile(const std::string& path, bool existed);
  void reportCreateDenied();

  std::string programFolder_;
  std::string paths_[kProfileCount];
  int current_ = 0;
  MessageSink* sink_ = nullptr;
  const TextLookup* texts_ = nullptr;
  std::function<void(unsigned)> pause_;
};

// The program's settings, over platform::programFolder().
SettingsStore& settings();

}  // namespace q350
