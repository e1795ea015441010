// Fetching the update manifest and the firmware updater.
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
