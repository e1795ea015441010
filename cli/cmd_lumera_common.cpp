#include "cli/cmd_lumera_common.h"

#include <cstdio>

#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace cli::lumera {

StderrMessages::StderrMessages() { ::lumera::setMessageBoxes(this); }
StderrMessages::~StderrMessages() { ::lumera::setMessageBoxes(nullptr); }

void StderrMessages::show(std::u16string_view caption, std::u16string_view text, ::lumera::MessageIcon) {
  const std::string c = platform::toUtf8(caption), t = platform::toUtf8(text);
  std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
  shown_.append(QJsonObject{{"caption", QString::fromStdString(c)}, {"text", QString::fromStdString(t)}});
}

ProgramTexts::ProgramTexts(const std::string& folder) {
  const std::string path = platform::findFileNoCase(folder, "text.xml");
  loaded_ = platform::fileExists(path) && table_.LoadTexts(path);
}

std::u16string ProgramTexts::text(std::string_view key) const {
  std::u16string t = loaded_ ? table_.Text(key) : std::u16string();
  return t.empty() ? platform::toUtf16(key) : t;
}

std::string installedProgramFolder() {
  const std::string folder = platform::joinPath(platform::programFolder(), "../Q350RGB");
  return platform::fileExists(platform::findFileNoCase(folder, "cfg.ini")) ? folder : std::string();
}

std::string programFolderOption(const std::string& given) {
  if (!given.empty()) {
    if (platform::isDirectory(given)) return given;
    std::fprintf(stderr, "kavroctl: %s is not a folder\n", given.c_str());
    return {};
  }
  const std::string installed = installedProgramFolder();
  if (installed.empty()) std::fprintf(stderr, "kavroctl: no installed Lumera found; give --program-dir\n");
  return installed;
}

bool loadProgramConfig(const std::string& programDirOption, ::lumera::LumeraConfig& config) {
  const std::string folder = programFolderOption(programDirOption);
  if (folder.empty()) return false;
  config.load(folder, false);
  return true;
}

std::string appDataOption(const std::string& appDataGiven, const std::string& programDirOption) {
  if (!appDataGiven.empty()) return appDataGiven;
  ::lumera::LumeraConfig config;
  if (!loadProgramConfig(programDirOption, config)) return {};
  if (config.options().appdir.empty()) {
    std::fprintf(stderr, "kavroctl: the configuration names no application-data folder; give --appdata\n");
    return {};
  }
  return ::lumera::AppDataFolder(config);
}

QJsonObject functionJson(const ::lumera::KeyFunction& f) {
  return QJsonObject{
      {"dwFunID", static_cast<double>(f.dwFunID)},
      {"rcKey", QJsonArray{f.rcKey[0], f.rcKey[1], f.rcKey[2], f.rcKey[3]}},
      {"dwMatrixInx", f.dwMatrixInx},
      {"nMacroId", f.nMacroId},
      {"stCombo", QJsonObject{{"mask", f.stCombo.mask},
                              {"VkCode1", f.stCombo.VkCode1},
                              {"VkCode2", f.stCombo.VkCode2},
                              {"canonical", f.stCombo.canonical}}},
      {"dwParam", static_cast<double>(f.dwParam)},
  };
}

QJsonObject keyInfoJson(const ::lumera::KeyInfo& k) {
  QJsonObject o = functionJson(k.funA);
  o.insert("nFnIndex", k.nFnIndex);
  o.insert("funB", functionJson(k.funB));
  return o;
}

namespace {
std::string functionText(const ::lumera::KeyFunction& f) {
  return platform::format("dwFunID=0x%08X mask=0x%02X VkCode1=0x%02X VkCode2=0x%02X canonical=0x%02X dwParam=0x%X",
                          f.dwFunID, f.stCombo.mask, f.stCombo.VkCode1, f.stCombo.VkCode2, f.stCombo.canonical,
                          f.dwParam);
}
}  // namespace

std::string keyInfoText(const ::lumera::KeyInfo& k) {
  std::string s = platform::format("rcKey=%d,%d,%d,%d matrix=%d ", k.funA.rcKey[0], k.funA.rcKey[1], k.funA.rcKey[2],
                                   k.funA.rcKey[3], k.funA.dwMatrixInx) +
                  functionText(k.funA);
  if (k.funA.nMacroId != 0) s += platform::format(" nMacroId=0x%x", k.funA.nMacroId);
  if (k.nFnIndex >= 0) s += platform::format(" | Fn %d: ", k.nFnIndex) + functionText(k.funB);
  return s;
}

std::string hexLines(const std::uint8_t* bytes, std::size_t length, std::size_t perLine) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < length; ++i) {
    if (i > 0) out.push_back(perLine != 0 && i % perLine == 0 ? '\n' : ' ');
    out.push_back(kHex[bytes[i] >> 4]);
    out.push_back(kHex[bytes[i] & 15]);
  }
  return out;
}

}  // namespace cli::lumera
