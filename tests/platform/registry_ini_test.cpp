#include <gtest/gtest.h>

#include <cstdint>

#include "platform/inifile.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tests/support/test_env.h"

using namespace platform;

TEST(Registry, BinaryValuesRoundTripByteForByteWithCaseInsensitiveNames) {
  testsupport::SandboxHome home;
  RegistryKey key;
  EXPECT_EQ(key.open("Software\\KAVRO\\Q350"), kRegNotFound);
  ASSERT_EQ(key.create("Software\\KAVRO\\Q350"), kRegOk);
  std::string blob(1000, '\0');
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>(i * 7);
  ASSERT_EQ(key.setValue("ConfigInfo", kRegBinary, blob.data(), static_cast<std::uint32_t>(blob.size())), kRegOk);

  RegistryKey again;
  ASSERT_EQ(again.open("software\\kavro\\q350"), kRegOk);
  std::uint32_t type = 0, size = 0;
  ASSERT_EQ(again.queryValue("CONFIGINFO", &type, nullptr, &size), kRegOk);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(size, 1000u);
  std::string small(10, '\0');
  size = 10;
  EXPECT_EQ(again.queryValue("configinfo", &type, small.data(), &size), kRegMoreData);
  EXPECT_EQ(size, 1000u);
  std::string out(1000, '\0');
  ASSERT_EQ(again.queryValue("ConfigInfo", &type, out.data(), &size), kRegOk);
  EXPECT_EQ(out, blob);
  EXPECT_EQ(again.queryValue("Missing", &type, nullptr, &size), kRegNotFound);

  // Rewriting with another type replaces the value; odd names are safe.
  ASSERT_EQ(again.setDword("ConfigInfo", 0x01020304), kRegOk);
  std::string data;
  ASSERT_EQ(again.queryValue("configinfo", type, data), kRegOk);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(data, "\x04\x03\x02\x01");
  ASSERT_EQ(again.setValue("../we\\ird name", kRegSz, "x", 1), kRegOk);
  ASSERT_EQ(again.queryValue("../WE\\IRD NAME", type, data), kRegOk);
  EXPECT_EQ(data, "x");
  EXPECT_EQ(again.deleteValue("configinfo"), kRegOk);
  EXPECT_EQ(again.queryValue("ConfigInfo", type, data), kRegNotFound);
}

TEST(IniFile, ProfileApiSemantics) {
  IniFile ini;
  ini.parse(u"; comment\n"
            u"top=ignored\n"
            u"[OPT]\r\n"
            u"  Debug = 2 \r\n"
            u"debug=9\n"
            u"USBString=\"Varire Voror\"\n"
            u"Neg=-12\n"
            u"Hex=0x1F\n"
            u"Junk=12abc\n"
            u"Word=abc\n"
            u"Empty=\n"
            u"Big=4294967297\n"
            u"[opt]\n"
            u"Later=1\n"
            u"[KEY]\n"
            u"K1=10,20,30\n");
  EXPECT_EQ(ini.getInt("opt", "DEBUG", 0), 2);  // first key of the first section wins
  EXPECT_EQ(ini.getInt("OPT", "Neg", 0), -12);
  EXPECT_EQ(ini.getInt("OPT", "Hex", 0), 31);
  EXPECT_EQ(ini.getInt("OPT", "Junk", 0), 12);
  EXPECT_EQ(ini.getInt("OPT", "Word", 5), 0);
  EXPECT_EQ(ini.getInt("OPT", "Empty", 5), 5);
  EXPECT_EQ(ini.getInt("OPT", "Big", 0), 1);  // wraps at 32 bits
  EXPECT_EQ(ini.getInt("OPT", "Missing", 350), 350);
  EXPECT_EQ(ini.getInt("OPT", "Later", 7), 7);  // only the first [OPT] is searched
  EXPECT_EQ(ini.getInt("NOPE", "top", 3), 3);
  EXPECT_EQ(ini.getStringUtf8("OPT", "usbstring", "", 30), "Varire Voror");
  EXPECT_EQ(ini.getStringUtf8("OPT", "usbstring", "", 7), "Varire");  // cut to buffer - 1
  EXPECT_EQ(ini.getStringUtf8("OPT", "none", "default", 30), "default");
  EXPECT_EQ(ini.getStringUtf8("key", "k1", "", 100), "10,20,30");
  EXPECT_TRUE(ini.hasSection("Key"));
  EXPECT_FALSE(ini.value("KEY", "K2").has_value());
}

TEST(IniFile, ReadsUtf16AndAnsiFilesAndMissingFilesReadEmpty) {
  testsupport::TempDir dir;
  std::string utf16("\xFF\xFE", 2);
  for (char16_t c : std::u16string(u"[OPT]\nTitle=\u4E2D\n")) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  IniFile ini;
  ASSERT_TRUE(ini.load(dir.write("Cfg.ini", utf16)));
  EXPECT_EQ(ini.getString("OPT", "Title", u"", 30), std::u16string(1, 0x4E2D));
  ASSERT_TRUE(ini.load(dir.write("ansi.ini", "[OPT]\nTitle=caf\xE9\n")));
  EXPECT_EQ(ini.getStringUtf8("OPT", "Title", "", 30), "caf\xC3\xA9");
  EXPECT_FALSE(ini.load(dir.file("missing.ini")));
  EXPECT_EQ(ini.getInt("OPT", "Debug", 4), 4);
  // Binary garbage parses without trouble.
  std::string junk;
  for (int i = 0; i < 100000; ++i) junk.push_back(static_cast<char>((i * 131) ^ (i >> 3)));
  EXPECT_TRUE(ini.load(dir.write("junk.ini", junk)));
  EXPECT_EQ(ini.getInt("OPT", "Debug", 4), 4);
}
