#include "q350config/app/language.h"

#include "platform/registry.h"
#include "shared/text_table.h"

namespace q350app {

namespace {
int g_languageFlag = 1;

class TableLookup final : public q350::TextLookup {
 public:
  std::u16string text(std::string_view key) const override { return shared::languageTexts().Text(key); }
};
}  // namespace

const std::array<Language, kLanguageCount>& languages() {
  static const std::array<Language, kLanguageCount> table{{
      {u"Chinese", "Language/sc.xml", 166, 179, 1},
      {u"English", "Language/en.xml", 159, 190, 0},
      {u"French", "Language/fre.xml", 160, 181, 0},
      {u"Korean", "Language/kor.xml", 163, 187, 0},
      {u"German", "Language/ger.xml", 161, 182, 0},
      {u"Italian", "Language/ita.xml", 162, 183, 0},
      {u"Spanish", "Language/span.xml", 167, 188, 0},
      {u"Dutch", "Language/dutch.xml", 158, 180, 0},
      {u"Portuguese", "Language/pt.xml", 164, 185, 0},
      {u"Russian", "Language/rus.xml", 165, 186, 0},
      {u"Ukrainian", "Language/ukr.xml", 169, 191, 0},
      {u"Trad.Chinese", "Language/tw.xml", 166, 179, 0},
  }};
  return table;
}

int languageFlag() { return g_languageFlag; }
void setLanguageFlag(int flag) { g_languageFlag = flag == 1 ? 1 : 0; }

std::u16string builtIn(std::u16string_view english, std::u16string_view chinese) {
  return std::u16string(g_languageFlag == 1 ? chinese : english);
}

QString builtInQ(std::u16string_view english, std::u16string_view chinese) {
  return QString::fromStdU16String(builtIn(english, chinese));
}

std::string chooseLanguageFile(const std::string& skinEntryName) {
  if (skinEntryName.find("sc") != std::string::npos)
    setLanguageFlag(1);
  else if (skinEntryName.find("en") != std::string::npos)
    setLanguageFlag(0);
  return g_languageFlag == 1 ? "Language/sc.xml" : "Language/en.xml";
}

const q350::TextLookup& languageLookup() {
  static const TableLookup lookup;
  return lookup;
}

void LoadLanguageTexts(const std::string& path) {
  shared::languageTexts().Clear();
  shared::LoadLanguageTexts(path);
}

QString hintText(int n) { return QString::fromStdU16String(shared::languageTexts().HintText(n)); }

bool StoreLanguageChoice(int n) {
  if (n < 1 || n > kLanguageCount) return false;
  platform::RegistryKey key;
  if (key.open(kLanguageKey) != platform::kRegOk && key.create(kLanguageKey) != platform::kRegOk) return false;
  const unsigned char bytes[4] = {static_cast<unsigned char>(n), 0, 0, 0};
  return key.setValue(kLanguageValue, platform::kRegBinary, bytes, 4) == platform::kRegOk;
}

}  // namespace q350app
