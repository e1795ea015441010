#include "tools/skingen/icons.h"
#include "tools/skingen/skins.h"
namespace skingen {
bool drawQ350Resources(Output&) { return true; }
bool drawDesktopIcons(Output& out) {
  bool ok = true;
  const struct { const char* name; IconKind kind; } icons[] = {
      {"kavro-launcher", IconKind::Launcher}, {"kavro-q350config", IconKind::Q350}, {"kavro-lumera", IconKind::Lumera}};
  for (int size : {48, 128, 256})
    for (const auto& icon : icons)
      ok &= out.png(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(icon.name)),
                    programIcon(icon.kind, size));
  return ok;
}
}
