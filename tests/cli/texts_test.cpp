// kavroctl texts, run as a program on small files.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <sstream>

#include "shared/text_keys.h"
#include "tests/support/test_env.h"

namespace {

using Result = testsupport::ProcessResult;

Result kavroctl(const testsupport::TempDir& dir, const std::string& arguments) {
  return testsupport::runKavroctl(arguments, dir);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

const char* const kTextFile =
    "<texts><config>"
    "<tc_title>Q350RGB</tc_title>"
    "<tc_ok>a\\b\tc\r\nd &amp; \xC3\xA9</tc_ok>"
    "</config></texts>";

TEST(KavroctlTexts, LumeraKeysInLoadOrderWithEscapes) {
  testsupport::TempDir dir;
  const std::string file = dir.write("text.xml", kTextFile);
  const Result r = kavroctl(dir, "texts '" + file + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto out = lines(r.out);
  ASSERT_EQ(out.size(), 2 + shared::kLumeraTextKeys.size());
  EXPECT_EQ(out[0], "load: UTF-8 length 92 to 91 wide chars ");
  EXPECT_EQ(out[1], "parse: OK");
  EXPECT_EQ(out[2], "tc_title\tQ350RGB");
  EXPECT_EQ(out[3], "tc_mutex\t");
  EXPECT_EQ(out[2 + 12], "tc_ok\ta\\\\b\\tc\\r\\nd & \xC3\xA9");
  EXPECT_EQ(out.back(), "tc_adv_str19\t");
}

TEST(KavroctlTexts, LanguageKeysJsonAndParseProblems) {
  testsupport::TempDir dir;
  const std::string file = dir.write("en.xml", "<l><config><str_help>Help</str_help></config></l><extra/>");
  Result r = kavroctl(dir, "texts '" + file + "' --keys q350");
  ASSERT_EQ(r.status, 0) << r.err;
  auto out = lines(r.out);
  ASSERT_EQ(out.size(), 2 + shared::kQ350TextKeys.size());
  EXPECT_EQ(out[1], "parse: Root element has sibling");
  EXPECT_EQ(out[2], "str_profile1\t");
  EXPECT_EQ(out[2 + 10], "str_help\tHelp");

  r = kavroctl(dir, "texts --json --keys=q350 '" + file + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
  EXPECT_EQ(root.value("load").toString().toStdString(), "UTF-8 length 57 to 57 wide chars ");
  EXPECT_EQ(root.value("parse").toString().toStdString(), "Root element has sibling");
  const QJsonObject texts = root.value("texts").toObject();
  EXPECT_EQ(static_cast<std::size_t>(texts.size()), shared::kQ350TextKeys.size());
  EXPECT_EQ(texts.value("str_help").toString().toStdString(), "Help");
  EXPECT_EQ(texts.value("str_more").toString().toStdString(), "");
}

TEST(KavroctlTexts, MissingFileAndBadArguments) {
  testsupport::TempDir dir;
  Result r = kavroctl(dir, "texts '" + dir.file("absent.xml") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "load: No such file or directory\n");
  EXPECT_NE(r.err.find("absent.xml: No such file or directory"), std::string::npos) << r.err;

  r = kavroctl(dir, "texts '" + dir.write("t.xml", kTextFile) + "' --keys q999");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("unknown key set 'q999'"), std::string::npos) << r.err;

  r = kavroctl(dir, "texts");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("usage"), std::string::npos) << r.err;
}

}  // namespace
