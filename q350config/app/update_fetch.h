// Fetching the update manifest and the firmware updater, and the names the
// support page and the updater programs share.
//
// Only https addresses are fetched. Tests (and a local mirror) set
// KAVRO_UPDATE_BASE to a file:// folder: the manifest is then read from that
// folder, and file:// addresses under it are accepted as well. A fetch goes
// to "<target>.part" first and replaces the target only when it arrived
// complete (no error, and as many bytes as the server announced); a fetch
// that takes longer than its time limit is abandoned.
#pragma once

#include <QString>
#include <string>

namespace q350app {

// The program's version as the manifest numbers it (107 = 1.0.7): shown on
// the support page, and compared by the program updater with the manifest's
// "software" number.
inline constexpr int kProgramVersionNumber = 107;
// A manifest version number as people read it: 107 as "1.0.7".
QString VersionText(int number);

// The firmware updater's file in the "update" folder, and its windows. A
// Linux program carries no ".exe"; a download is stored under this name too.
inline constexpr char kFirmwareUpdaterFile[] = "卡沃Q350区彩RGB键盘USB静默下载版";
inline constexpr char16_t kUpdaterWindowTitle[] = u"卡沃Q350区彩RGB键盘USB下载20151215V0114";
inline constexpr char16_t kUpdateWindowTitle[] = u"TORV_Q350 GAMEING KEYBOARD UPDATE";

// The server the manifest comes from, without a trailing slash:
// KAVRO_UPDATE_BASE when set, else the maker's download server.
QString UpdateBase();
// The manifest's address: the base followed by "/software/q350/update.xml".
QString ManifestAddress();
// Whether an address may be fetched: https, or a file:// address under a
// file:// base.
bool IsAcceptedAddress(const QString& address);
// Fetches `address` to `target`; true when the target now holds the whole
// download. Nothing is left at the target when it fails.
bool FetchFile(const QString& address, const std::string& target, int timeoutMs = 30000);

}  // namespace q350app
