// The shipped udev rule: both keyboards, hidraw and usb, uaccess, and a
// number that sorts before the seat rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "tests/support/test_env.h"

namespace {

TEST(UdevRule, GivesTheSeatUserBothKeyboards) {
  const std::filesystem::path folder = std::filesystem::path(testsupport::sourceDir()) / "data" / "udev";
  std::string name, text;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().extension() == ".rules") {
      name = e.path().filename().string();
      text = testsupport::readAll(e.path().string());
    }
  ASSERT_FALSE(name.empty()) << "no rule in " << folder;
  const int number = std::stoi(name.substr(0, 2));
  EXPECT_GE(number, 60);
  EXPECT_LE(number, 72) << "must come before 73-seat-late.rules";
  // One rule line per subsystem and keyboard, each tagging the device.
  for (const char* pid : {"4011", "4018"}) {
    for (const char* subsystem : {"hidraw", "usb"}) {
      bool found = false;
      std::istringstream lines(text);
      for (std::string line; std::getline(lines, line);) {
        const auto has = [&](const std::string& s) { return line.find(s) != std::string::npos; };
        if (line.rfind(std::string("SUBSYSTEM==\"") + subsystem + "\"", 0) == 0 && has("{idVendor}==\"24ae\"") &&
            has(std::string("{idProduct}==\"") + pid + "\"") && has("TAG+=\"uaccess\""))
          found = true;
      }
      EXPECT_TRUE(found) << subsystem << " " << pid;
    }
  }
}

}  // namespace
