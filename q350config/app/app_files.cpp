#include "q350config/app/app_files.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/paths.h"

namespace q350app {

namespace {
std::string g_skinFolder;
}

std::string skinEntryName(const std::string& programFolder) {
  std::error_code ec;
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(platform::joinPath(programFolder, "skins"), ec))
    names.push_back(e.path().filename().string());
  if (names.empty()) return {};
  return *std::min_element(names.begin(), names.end());
}

const std::string& skinFolder() { return g_skinFolder; }
void setSkinFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  g_skinFolder = std::move(folder);
}

QImage skinPicture(const std::string& relative) {
  QImage img;
  if (g_skinFolder.empty()) return img;
  const std::string path = platform::resolveNoCase(g_skinFolder, relative);
  if (!img.load(QString::fromStdString(path))) return QImage();
  return img;
}

QImage orPlain(QImage picture, QSize size, QColor fill) {
  if (!picture.isNull()) return picture;
  QImage plain(size, QImage::Format_RGB32);
  plain.fill(fill);
  return plain;
}

q350ui::FaceSet skinFaces(const QImage& normal, const std::string& stem) {
  return {normal, skinPicture(stem + "Over.bmp"), skinPicture(stem + "Down.bmp")};
}

QImage resPicture(int id) {
  QImage img;
  for (const char* ext : {".bmp", ".png"}) {
    const std::string path = platform::resolveNoCase(platform::programFolder(), "res/" + std::to_string(id) + ext);
    if (img.load(QString::fromStdString(path))) return img;
  }
  return QImage();
}

QString iconPath() {
  return QString::fromStdString(platform::resolveNoCase(platform::programFolder(), "res/128.ico"));
}

}  // namespace q350app
