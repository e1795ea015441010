// The user's special folders, from the XDG base-directory variables.
//
// Everything derives from HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR, so a test that points those at a temporary folder never
// touches the real home. Returned paths have no trailing '/'.
#pragma once

#include <string>

namespace platform {

std::string homeFolder();
// Where the programs keep per-user data ("local application data" on
// Windows): $XDG_DATA_HOME, else ~/.local/share.
std::string localAppDataFolder();
// $XDG_CONFIG_HOME, else ~/.config.
std::string configFolder();
// The desktop: XDG_DESKTOP_DIR (environment, then user-dirs.dirs in the
// config folder), else ~/Desktop.
std::string desktopFolder();
// $XDG_RUNTIME_DIR, else a private folder under /tmp made for this user.
std::string runtimeFolder();

}  // namespace platform
