#include "cli/cmd_q350_common.h"

#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "q350config/settings/key_tables.h"

namespace cli::q350 {

std::string installedProgramFolder() {
  const std::string folder = platform::joinPath(platform::programFolder(), "../Q350");
  return platform::isDirectory(folder) ? folder : std::string();
}

bool LanguageTexts::load(const std::string& programFolder) {
  if (programFolder.empty()) return false;
  return table_.LoadLanguageTexts(platform::resolveNoCase(programFolder, "Language/en.xml"));
}

std::string colourText(std::uint32_t colour) {
  return platform::format("#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::string eventText(std::uint32_t event) {
  const std::uint32_t value = ::q350::eventValue(event);
  const std::string name = platform::toUtf8(::q350::MacroKeyName(value));
  switch (::q350::eventKind(event)) {
    case ::q350::kEventPress: return "press " + (name.empty() ? platform::format("0x%02X", value) : name);
    case ::q350::kEventRelease: return "release " + (name.empty() ? platform::format("0x%02X", value) : name);
    case ::q350::kEventDelay: return platform::format("delay %u ms", value);
    default: return platform::format("invalid 0x%08X", event);
  }
}

QJsonObject eventJson(std::uint32_t event) {
  const std::uint32_t value = ::q350::eventValue(event);
  const QString name = QString::fromStdU16String(::q350::MacroKeyName(value));
  switch (::q350::eventKind(event)) {
    case ::q350::kEventPress: return {{"kind", "press"}, {"key", static_cast<int>(value)}, {"name", name}};
    case ::q350::kEventRelease: return {{"kind", "release"}, {"key", static_cast<int>(value)}, {"name", name}};
    case ::q350::kEventDelay: return {{"kind", "delay"}, {"ms", static_cast<int>(value)}};
    default: return {{"kind", "invalid"}, {"word", static_cast<double>(event)}};
  }
}

std::string repeatText(std::uint32_t repeat) {
  if (repeat == ::q350::kRepeatToggle) return "toggle";
  if (repeat == ::q350::kRepeatWhilePressed) return "while pressed";
  return platform::format("count %u", repeat);
}

}  // namespace cli::q350
