#include "tools/skingen/keylayout.h"

#include <QStringList>

#include "platform/inifile.h"
#include "platform/text.h"

namespace skingen {

namespace {

bool numbers(const std::u16string& text, const std::vector<int>& bases, std::vector<long>& out) {
  const QStringList parts = QString::fromStdU16String(text).split(QLatin1Char(','));
  out.clear();
  for (int i = 0; i < parts.size(); ++i) {
    bool ok = false;
    const int base = i < int(bases.size()) ? bases[size_t(i)] : 10;
    long v = parts[i].trimmed().toLong(&ok, base);
    if (!ok) return false;
    out.push_back(v);
  }
  return true;
}

}  // namespace

bool readKeyLayout(const QString& cfgPath, KeyLayout& out, QString& error) {
  platform::IniFile ini;
  if (!ini.load(cfgPath.toStdString())) {
    error = QStringLiteral("cannot read %1").arg(cfgPath);
    return false;
  }
  std::vector<long> n;
  auto rc = ini.value("OPT", "rcKB");
  if (!rc || !numbers(*rc, {}, n) || n.size() != 4 || n[2] <= 0 || n[3] <= 0) {
    error = QStringLiteral("rcKB must be x,y,width,height");
    return false;
  }
  out.view = QRect(int(n[0]), int(n[1]), int(n[2]), int(n[3]));
  out.keys.clear();
  for (int k = 1; k <= 132; ++k) {
    auto line = ini.value("KEY", "K" + std::to_string(k));
    if (!line) break;
    if (!numbers(*line, {10, 10, 10, 10, 16, 16, 16, 10}, n) || n.size() != 8) {
      error = QStringLiteral("KEY line K%1 needs 8 numbers").arg(k);
      return false;
    }
    LayoutKey key;
    key.rect = QRect(int(n[0]), int(n[1]), int(n[2]), int(n[3]));
    key.vk = unsigned(n[5]);
    key.matrix = int(n[7]);
    out.keys.push_back(key);
  }
  out.outlinedKey = -1;
  out.outline.clear();
  if (auto un = ini.value("OPT", "UnRectKey"); un && numbers(*un, {}, n) && n.size() > 7) {
    out.outlinedKey = int(n[0]);
    for (size_t i = 1; i + 1 < n.size() && n[i] != 0; i += 2) out.outline << QPoint(int(n[i]), int(n[i + 1]));
  }
  auto point = [&](const char* key, QPoint& pt) {
    if (auto v = ini.value("OPT", key); v && numbers(*v, {}, n) && n.size() == 2) pt = QPoint(int(n[0]), int(n[1]));
  };
  point("ptMin", out.ptMin);
  point("ptExit", out.ptExit);
  point("ptProfile", out.ptProfile);
  point("ptMacro", out.ptMacro);
  point("ptReset", out.ptReset);
  point("ptApplyBtn", out.ptApply);
  if (auto v = ini.value("OPT", "rcLED"); v && numbers(*v, {}, n) && n.size() == 4)
    out.led = QRect(int(n[0]), int(n[1]), int(n[2]), int(n[3]));
  auto corners = [&](const char* key, QRect& rect) {
    if (auto v = ini.value("OPT", key); v && numbers(*v, {}, n) && n.size() == 4)
      rect = QRect(QPoint(int(n[0]), int(n[1])), QPoint(int(n[2]), int(n[3])));
  };
  corners("rcMacroList", out.macroList);
  corners("rcKeyList", out.keyList);
  out.macroX = ini.getInt("OPT", "Macro_Opt_X", 350);
  return true;
}

QString keyLegend(unsigned vk) {
  if (vk >= 0x70 && vk <= 0x7B) return QStringLiteral("F%1").arg(vk - 0x6F);
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return QString(QChar(vk));
  if (vk >= 0x60 && vk <= 0x69) return QString::number(vk - 0x60);
  switch (vk) {
    case 0x1B: return QStringLiteral("Esc");
    case 0x2C: return QStringLiteral("PrtSc");
    case 0x91: return QStringLiteral("ScrLk");
    case 0x13: return QStringLiteral("Pause");
    case 0xC0: return QStringLiteral("`");
    case 0xBD: return QStringLiteral("-");
    case 0xBB: return QStringLiteral("=");
    case 0x08: return QStringLiteral("\u2190 Bksp");
    case 0x2D: return QStringLiteral("Ins");
    case 0x24: return QStringLiteral("Home");
    case 0x21: return QStringLiteral("PgUp");
    case 0x2E: return QStringLiteral("Del");
    case 0x23: return QStringLiteral("End");
    case 0x22: return QStringLiteral("PgDn");
    case 0x90: return QStringLiteral("Num");
    case 0x6F: return QStringLiteral("/");
    case 0x6A: return QStringLiteral("*");
    case 0x6D: return QStringLiteral("-");
    case 0x6B: return QStringLiteral("+");
    case 0x6E: return QStringLiteral(".");
    case 0x09: return QStringLiteral("Tab");
    case 0xDB: return QStringLiteral("[");
    case 0xDD: return QStringLiteral("]");
    case 0x0D: return QStringLiteral("Enter");
    case 0xFD: return QStringLiteral("Ent");
    case 0x14: return QStringLiteral("Caps");
    case 0xBA: return QStringLiteral(";");
    case 0xDE: return QStringLiteral("'");
    case 0xDC: return QStringLiteral("#");
    case 0xE2: return QStringLiteral("\\");
    case 0xBC: return QStringLiteral(",");
    case 0xBE: return QStringLiteral(".");
    case 0xBF: return QStringLiteral("/");
    case 0xA0: case 0xA1: case 0x10: return QStringLiteral("Shift");
    case 0xA2: case 0xA3: case 0x11: return QStringLiteral("Ctrl");
    case 0xA4: return QStringLiteral("Alt");
    case 0xA5: return QStringLiteral("AltGr");
    case 0x5B: case 0x5C: return QStringLiteral("Win");
    case 0x5D: return QStringLiteral("Menu");
    case 0x20: return QString();
    case 0xFA: return QStringLiteral("Fn");
    case 0x25: return QStringLiteral("\u2190");
    case 0x26: return QStringLiteral("\u2191");
    case 0x27: return QStringLiteral("\u2192");
    case 0x28: return QStringLiteral("\u2193");
    default: return QString();
  }
}

}  // namespace skingen
