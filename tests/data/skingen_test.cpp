// The generator's file containers (ICO, CUR, the skin marker), its output
// writer and its reading of the key layout.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImageReader>

#include "platform/paths.h"
#include "platform/text.h"
#include "shared/text_table.h"
#include "tests/data/data_test_util.h"
#include "tests/support/test_env.h"
#include "tools/skingen/binfiles.h"
#include "tools/skingen/icons.h"
#include "tools/skingen/keylayout.h"
#include "tools/skingen/output.h"

namespace {

// Fonts and image plug-ins need an application object.
QGuiApplication& app() {
  static int argc = 1;
  static char name[] = "skingen_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication instance(argc, argv);
  return instance;
}

class Skingen : public ::testing::Test {
 protected:
  void SetUp() override { app(); }
};

TEST_F(Skingen, IconFileCarriesEverySizeAndDecodesToTheDrawnPictures) {
  const std::vector<QImage> pictures = skingen::iconSet(skingen::IconKind::RgbKey);
  const QByteArray bytes = skingen::makeIco(pictures);
  datatest::IcoFile ico;
  std::string why;
  ASSERT_TRUE(datatest::parseIco(bytes, ico, why)) << why;
  EXPECT_EQ(ico.type, 1);
  ASSERT_EQ(ico.entries.size(), pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const datatest::IcoEntry& e = ico.entries[i];
    SCOPED_TRACE(e.width);
    EXPECT_EQ(e.width, pictures[i].width());
    EXPECT_EQ(e.field1, 1) << "planes";
    EXPECT_EQ(e.field2, 32) << "bits per pixel";
    // Pixels survive the container unchanged, transparency included.
    EXPECT_EQ(e.image.convertToFormat(QImage::Format_ARGB32), pictures[i].convertToFormat(QImage::Format_ARGB32));
  }
  // Qt's own icon reader, where installed, reads the file as well.
  if (QImageReader::supportedImageFormats().contains("ico")) {
    QImage viaQt;
    ASSERT_TRUE(viaQt.loadFromData(bytes, "ICO"));
    EXPECT_GE(viaQt.width(), 16);
  }
}

TEST_F(Skingen, CursorFileKeepsItsHotSpot) {
  QImage arrow(32, 32, QImage::Format_ARGB32);
  arrow.fill(Qt::transparent);
  arrow.setPixel(2, 29, qRgba(255, 255, 255, 255));
  datatest::IcoFile cur;
  std::string why;
  ASSERT_TRUE(datatest::parseIco(skingen::makeCur(arrow, QPoint(2, 29)), cur, why)) << why;
  EXPECT_EQ(cur.type, 2);
  ASSERT_EQ(cur.entries.size(), 1u);
  EXPECT_EQ(cur.entries[0].field1, 2);
  EXPECT_EQ(cur.entries[0].field2, 29);
  EXPECT_EQ(qAlpha(cur.entries[0].image.pixel(2, 29)), 255);
  EXPECT_EQ(qAlpha(cur.entries[0].image.pixel(3, 29)), 0);
}

TEST_F(Skingen, SkinMarkerPassesTheProgramsCheckForItsTitleOnly) {
  testsupport::TempDir dir;
  const QString title = QStringLiteral("Kavro Q350RGB Gaming Keyboard");
  const QByteArray marker = skingen::makeSkinMarker(title, QStringLiteral("Dark"));
  ASSERT_EQ(marker.size(), 520);
  dir.write("skins/mak.skn", marker.toStdString());
  const std::string folder = dir.path() + "/";
  std::u16string logged;
  auto log = [&logged](const std::u16string& line) { logged += line; };
  EXPECT_TRUE(shared::CheckSkinMarker(folder, title.toStdU16String(), log));
  EXPECT_FALSE(shared::CheckSkinMarker(folder, u"Kavro Q350 Gaming Keyboard", log));
  EXPECT_FALSE(logged.empty());
}

TEST_F(Skingen, SkinMarkerCutsAnOverlongTitleAndKeepsItsSize) {
  const QString longTitle(400, QLatin1Char('T'));
  const QByteArray marker = skingen::makeSkinMarker(longTitle, QString(200, QLatin1Char('n')));
  ASSERT_EQ(marker.size(), 520);
  // The name stops before the title; the title ends with a terminating zero.
  EXPECT_EQ(marker[190], '\0');
  EXPECT_EQ(marker[191], '\0');
  EXPECT_EQ(marker[192], 'T');
  EXPECT_EQ(marker[518], '\0');
  EXPECT_EQ(marker[519], '\0');
}

TEST_F(Skingen, OutputWritesWholeFilesAndReportsFailures) {
  testsupport::TempDir dir;
  skingen::Output out(QString::fromStdString(dir.path()));
  QImage img(7, 5, QImage::Format_RGB32);
  img.fill(QColor(10, 20, 30));
  ASSERT_TRUE(out.bmp(QStringLiteral("a/b/pic.bmp"), img));
  ASSERT_TRUE(out.png(QStringLiteral("pic.png"), img));
  const std::string bmp = testsupport::readAll(dir.file("a/b/pic.bmp"));
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(uint8_t(bmp[28]), 24) << "menus and window faces are 24-bit bitmaps";
  EXPECT_EQ(QImage(QString::fromStdString(dir.file("pic.png"))).pixel(3, 3), img.pixel(3, 3));
  ASSERT_EQ(out.manifest().size(), 2);
  EXPECT_EQ(out.manifest()[0], QStringLiteral("a/b/pic.bmp\t%1").arg(bmp.size()));
  // A file where a folder should be: the write fails and says so.
  dir.write("blocked", "x");
  EXPECT_FALSE(out.png(QStringLiteral("blocked/pic.png"), img));
  EXPECT_EQ(out.errors().size(), 1);
  EXPECT_EQ(out.manifest().size(), 2);
}

TEST_F(Skingen, KeyLayoutReaderRefusesWhatItCannotDraw) {
  testsupport::TempDir dir;
  skingen::KeyLayout layout;
  QString error;
  const struct {
    const char* content;
    const char* expectedError;
  } cases[] = {
      {"[OPT]\nrcKB=1,2,3\n", "rcKB"},
      {"[OPT]\nrcKB=1,2,300,100\n[KEY]\nK1=1,2,3,4,2,41,0,5\nK2=1,2,3,4,2,zz,0,6\n", "K2"},
      {"[OPT]\nrcKB=1,2,300,100\n[KEY]\nK1=1,2,3,4,2,41,0\n", "K1"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.write("cfg.ini", c.content);
    EXPECT_FALSE(skingen::readKeyLayout(QString::fromStdString(path), layout, error)) << c.content;
    EXPECT_TRUE(error.contains(QLatin1String(c.expectedError))) << error.toStdString();
  }
  EXPECT_FALSE(skingen::readKeyLayout(QString::fromStdString(dir.file("missing.ini")), layout, error));
  // Reading stops at the first missing line, as Lumera's reader does.
  const std::string path = dir.write("cfg.ini", "[OPT]\nrcKB=5,6,300,100\nUnRectKey=0,1,1,9,1,9,9,1,9,1,1,0\n"
                                                "[KEY]\nK1=1,2,3,4,2,41,0,5\nK2=9,2,3,4,2,42,0,6\nK4=1,2,3,4,2,43,0,7\n");
  ASSERT_TRUE(skingen::readKeyLayout(QString::fromStdString(path), layout, error)) << error.toStdString();
  EXPECT_EQ(layout.view, QRect(5, 6, 300, 100));
  ASSERT_EQ(layout.keys.size(), 2u);
  EXPECT_EQ(layout.keys[1].vk, 0x42u);
  EXPECT_EQ(layout.keys[1].matrix, 6);
  EXPECT_EQ(layout.outlinedKey, 0);
  EXPECT_EQ(layout.outline.size(), 5);
}

}  // namespace
