// The firmware models and the bus, in-process: what the keyboards store and
// answer, faults, the transcript format, and the pictures.
#include <QImage>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/bus.h"
#include "sim/keyboard.h"
#include "sim/render_layout.h"
#include "tests/support/test_env.h"

namespace {

using sim::Bytes;

// A Q350 frame with its checksum (sum of bytes 3..63, low byte first).
Bytes q350Frame(std::uint8_t command, std::uint16_t address, const Bytes& data, std::uint8_t length = 0xFF) {
  Bytes f(64, 0);
  f[0] = 4;
  f[3] = command;
  f[4] = length == 0xFF ? static_cast<std::uint8_t>(data.size()) : length;
  f[5] = static_cast<std::uint8_t>(address & 0xFF);
  f[6] = static_cast<std::uint8_t>(address >> 8);
  for (std::size_t i = 0; i < data.size() && i < 56; ++i) f[8 + i] = data[i];
  unsigned sum = 0;
  for (int i = 3; i < 64; ++i) sum += f[i];
  f[1] = static_cast<std::uint8_t>(sum & 0xFF);
  f[2] = static_cast<std::uint8_t>(sum >> 8);
  return f;
}

Bytes longFrame(std::uint8_t command, std::uint8_t page, std::uint8_t units, const Bytes& payload) {
  Bytes f(1032, 0);
  f[0] = 6;
  f[1] = command;
  f[2] = page;
  f[4] = units;
  std::copy(payload.begin(), payload.end(), f.begin() + 8);
  return f;
}

TEST(Q350Model, AddressedMemoryWithChecksum) {
  auto kb = sim::makeKeyboard("Q350");
  ASSERT_TRUE(kb);
  std::vector<sim::InputReport> answers;
  // Memory write of two bytes, then read back.
  ASSERT_TRUE(kb->output(1, q350Frame(0x04, 0x00B2, {100, 50}), answers));
  EXPECT_TRUE(answers.empty());
  ASSERT_TRUE(kb->output(1, q350Frame(0x03, 0x00B2, {}, 2), answers));
  ASSERT_EQ(answers.size(), 1u);
  const Bytes& reply = answers[0].bytes;
  ASSERT_EQ(reply.size(), 64u);
  EXPECT_EQ(reply[0], 4);
  EXPECT_EQ(reply[3], 0x03);
  EXPECT_EQ(reply[4], 2);
  EXPECT_EQ(reply[8], 100);
  EXPECT_EQ(reply[9], 50);
  EXPECT_EQ(reply[1] | reply[2] << 8, 3 + 2 + 0xB2 + 100 + 50) << "answers carry their checksum too";

  // The control byte write is answered by its echo; other writes are not.
  answers.clear();
  const Bytes control = q350Frame(0x04, 0x0000, {1});
  ASSERT_TRUE(kb->output(1, control, answers));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].bytes, control);

  // Thrown away: a bad checksum, more than 56 bytes, a range past 16 KB,
  // an unknown command. Write start/end are taken without an answer.
  answers.clear();
  Bytes bad = q350Frame(0x04, 0x00AA, {7});
  bad[1] ^= 1;
  const std::vector<Bytes> rejected = {bad, q350Frame(0x04, 0x00AA, {7}, 57), q350Frame(0x04, 0x3FFF, {7, 7}),
                                       q350Frame(0x07, 0x00AA, {7})};
  for (const Bytes& f : rejected) ASSERT_TRUE(kb->output(1, f, answers));
  ASSERT_TRUE(kb->output(1, q350Frame(0x01, 0, {}), answers));
  ASSERT_TRUE(kb->output(1, q350Frame(0x02, 0, {}), answers));
  EXPECT_EQ(kb->rejectedFrames(), 4u);
  EXPECT_TRUE(answers.empty());
  const Bytes memory = kb->memory();
  ASSERT_EQ(memory.size(), 0x4000u);
  EXPECT_EQ(memory[0x00AA], 0);
  EXPECT_EQ(memory[0x3FFF], 0);
  EXPECT_EQ(memory[0x0000], 1);
  // The typing interface takes LED reports and does nothing with them.
  ASSERT_TRUE(kb->output(0, {0, 1}, answers));
  EXPECT_TRUE(answers.empty());
}

TEST(Q350Model, FirmwareVersionAsTheProgramReadsIt) {
  auto kb = sim::makeKeyboard("q350");
  std::vector<sim::InputReport> answers;
  ASSERT_TRUE(kb->output(1, q350Frame(0x03, 0x000C, {}, 2), answers));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].bytes[8] + 10 * answers[0].bytes[9], 107);
  for (unsigned v : {0u, 3u, 12u, 254u, 255u}) {
    ASSERT_TRUE(kb->setOption("firmware", std::to_string(v)));
    answers.clear();
    ASSERT_TRUE(kb->output(1, q350Frame(0x03, 0x000C, {}, 2), answers));
    EXPECT_EQ(answers[0].bytes[8] + 10u * answers[0].bytes[9], v);
  }
  EXPECT_FALSE(kb->setOption("firmware", "x"));
  EXPECT_FALSE(kb->setOption("password", "000000000000"));
}

TEST(Q350RgbModel, PasswordAndRepliesAreReadOnce) {
  auto kb = sim::makeKeyboard("q350rgb");
  Bytes reply;
  const Bytes password = {6, 0x05, 0x01, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(kb->setFeature(1, password));
  ASSERT_TRUE(kb->getFeature(1, 0, 9, reply));
  EXPECT_EQ(reply, (Bytes{0x00, 0x05, 0x01, 0x5A, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(kb->getFeature(1, 0, 9, reply));
  EXPECT_EQ(reply, Bytes(9, 0)) << "no request, no answer";
  ASSERT_TRUE(kb->setOption("password", "0102030405a6"));
  ASSERT_TRUE(kb->setFeature(1, password));
  ASSERT_TRUE(kb->getFeature(1, 0, 9, reply));
  EXPECT_EQ(reply, (Bytes{0x00, 0x05, 0x01, 0x00, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(kb->setFeature(1, {6, 0x05, 0x01, 1, 2, 3, 4, 5, 0xA6, }));
  ASSERT_TRUE(kb->getFeature(1, 0, 9, reply));
  EXPECT_EQ(reply[3], 0x5A);
  // Wrong report ids and interfaces stall.
  EXPECT_FALSE(kb->setFeature(1, {5, 0x83, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(kb->setFeature(2, {6, 0x05, 0x76, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(kb->getFeature(1, 5, 7, reply));
  EXPECT_FALSE(kb->getFeature(2, 6, 1032, reply));
}

TEST(Q350RgbModel, ProfileBlockStartsAtTheResetDefaults) {
  auto kb = sim::makeKeyboard("q350rgb");
  ASSERT_TRUE(kb->setFeature(2, {5, 0x83, 0, 0, 0, 0, 0}));
  Bytes reply;
  ASSERT_TRUE(kb->getFeature(1, 6, 1032, reply));
  ASSERT_EQ(reply.size(), 1032u);
  EXPECT_EQ(reply[0], 6);
  EXPECT_EQ(reply[1], 0x83);
  const Bytes pro = {0x00, 0x03, 0x01, 0x00, 0x00, 0x08, 0x20, 0x01, 0x00, 0x00, 0x00, 0x00, 0x55, 0x55, 0x00, 0x00,
                     0xFF, 0xFF, 0x03, 0x33, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33, 0x03, 0x33, 0x07, 0x33,
                     0x87, 0x33, 0x07, 0x34, 0x07, 0x33, 0x07, 0x33, 0x07, 0x33, 0x87, 0x33, 0x87, 0x33, 0x00, 0x33,
                     0x00, 0x33, 0x00, 0x00, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x33, 0x33, 0x33, 0x5A, 0xA5};
  EXPECT_EQ(Bytes(reply.begin() + 8, reply.begin() + 16), Bytes(8, 0)) << "Global";
  EXPECT_EQ(Bytes(reply.begin() + 16, reply.begin() + 80), pro) << "Pro0";
  EXPECT_EQ(Bytes(reply.begin() + 80, reply.begin() + 144), pro) << "Pro1";
  EXPECT_EQ(Bytes(reply.begin() + 144, reply.end()), Bytes(1032 - 144, 0));

  // SetProfile replaces the block; GetProfile gives it back.
  Bytes block(136);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i + 1);
  ASSERT_TRUE(kb->setFeature(1, longFrame(0x03, 0x00, 0x00, block)));
  ASSERT_TRUE(kb->setFeature(2, {5, 0x83, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(kb->getFeature(1, 6, 1032, reply));
  EXPECT_EQ(Bytes(reply.begin() + 8, reply.begin() + 144), block);
  EXPECT_EQ(reply[144], 0) << "only 136 bytes belong to the profile";
}

TEST(Q350RgbModel, LongFramesAreStoredByPage) {
  auto kb = sim::makeKeyboard("q350rgb");
  struct {
    std::uint8_t command, page;
  } frames[] = {{0x04, 0xC8}, {0x05, 0xD4}, {0x08, 0xA8}, {0x09, 0xB0}};
  for (const auto& f : frames) {
    Bytes payload(1024);
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(f.page + i);
    ASSERT_TRUE(kb->setFeature(1, longFrame(f.command, f.page, 0x40, payload)));
    const Bytes memory = kb->memory();
    const std::size_t at = f.page * 256u;
    EXPECT_EQ(Bytes(memory.begin() + at, memory.begin() + at + 1024), payload) << int(f.page);
    EXPECT_EQ(memory[at + 1024], 0) << "a frame writes 0x40 x 16 bytes, no more";
  }
  ASSERT_TRUE(kb->setFeature(1, longFrame(0x0B, 0x10, 0x40, Bytes(1024, 9))));
  EXPECT_EQ(kb->rejectedFrames(), 1u);
  EXPECT_EQ(kb->memory()[0x1000], 0);
}

TEST(Bus, FaultsTranscriptAndPlugIns) {
  testsupport::TempDir dir;
  sim::Transcript transcript;
  ASSERT_TRUE(transcript.open(dir.file("t.txt")));
  sim::Bus bus(transcript);
  std::vector<std::string> events;
  bus.setListener([&](bool arrival, const sim::Slot& s) {
    events.push_back((arrival ? "+" : "-") + std::to_string(s.index));
  });
  EXPECT_EQ(bus.plug(sim::makeKeyboard("q350rgb")), 0);
  EXPECT_EQ(bus.plug(sim::makeKeyboard("q350")), 1);
  unsigned gen = 0;
  ASSERT_EQ(bus.open(0, 1, -1, gen), sim::Status::Ok);
  EXPECT_EQ(bus.open(0, 7, -1, gen), sim::Status::Invalid);
  const Bytes start = {6, 0x05, 0x76, 0, 0, 0, 0, 0, 0};

  bus.find(0)->faults.failNext = 1;
  EXPECT_EQ(bus.setFeature(0, gen, 1, start), sim::Status::Io);
  EXPECT_EQ(bus.setFeature(0, gen, 1, start), sim::Status::Ok);
  Bytes reply;
  EXPECT_EQ(bus.getFeature(0, gen, 1, 0, 9, reply), sim::Status::Ok);

  bus.find(0)->faults.unplugAfter = 1;
  EXPECT_EQ(bus.setFeature(0, gen, 1, start), sim::Status::Ok);
  EXPECT_EQ(bus.setFeature(0, gen, 1, start), sim::Status::NoDevice);
  EXPECT_FALSE(bus.find(0)->plugged);
  EXPECT_TRUE(bus.replug(0));
  EXPECT_EQ(bus.setFeature(0, gen, 1, start), sim::Status::NoDevice) << "an old session stays dead";
  unsigned gen2 = 0;
  ASSERT_EQ(bus.open(0, 1, -1, gen2), sim::Status::Ok);
  EXPECT_NE(gen2, gen);
  EXPECT_EQ(bus.open(0, 1, static_cast<int>(gen), gen2), sim::Status::NoDevice);
  EXPECT_EQ(events, (std::vector<std::string>{"+0", "+1", "-0", "+0"}));

  // A muted Q350 sends nothing, so nothing "in" is written.
  bus.find(1)->faults.mute = true;
  ASSERT_EQ(bus.open(1, 1, -1, gen), sim::Status::Ok);
  EXPECT_EQ(bus.output(1, gen, 1, q350Frame(0x03, 0x000C, {}, 2)), sim::Status::Ok);

  const std::vector<std::string> want = {
      "0 1 out 06 05 76 00 00 00 00 00 00",
      "0 1 in 00 00 00 00 00 00 00 00 00",
      "0 1 out 06 05 76 00 00 00 00 00 00",
      "1 1 out 04 11 00 03 02 0c 00 00" + std::string(56 * 3, ' '),
  };
  const std::vector<std::string>& lines = transcript.lines();
  ASSERT_EQ(lines.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(lines[i].substr(lines[i].find(' ') + 1), want[i]);
  EXPECT_EQ(lines[3].substr(lines[3].find(' ') + 1, 31), want[3].substr(0, 31));
  std::string file;
  for (const std::string& l : lines) file += l + "\n";
  EXPECT_EQ(testsupport::readAll(dir.file("t.txt")), file);
}

TEST(Render, PicturesShowTheStoredColours) {
  namespace L = sim::layout;
  testsupport::TempDir dir;
  auto rgb = sim::makeKeyboard("q350rgb");
  // Second LED frame (0xB0), second group: slot 3. LED 25 gets 0x00112233
  // (planes 0, 1, 2 hold 0x11, 0x22, 0x33: blue, green, red).
  Bytes payload(792, 0);
  payload[396 + 25] = 0x11;
  payload[396 + 132 + 25] = 0x22;
  payload[396 + 264 + 25] = 0x33;
  ASSERT_TRUE(rgb->setFeature(1, longFrame(0x09, 0xB0, 0x40, payload)));
  Bytes table(1008, 0);
  table[25 * 21 + 3 * 2 + 0] = 0xFF;  // row 25, colour 2: blue
  ASSERT_TRUE(rgb->setFeature(1, longFrame(0x08, 0xA8, 0x40, table)));
  ASSERT_TRUE(rgb->render(dir.file("rgb.png")));
  QImage image(QString::fromStdString(dir.file("rgb.png")));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(L::kRgbWidth, L::kRgbHeight));
  EXPECT_EQ(image.pixel(L::ledX(25), L::ledY(3, 25)), qRgb(0x33, 0x22, 0x11));
  EXPECT_EQ(image.pixel(L::ledX(25), L::ledY(2, 25)), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(L::ledX(24), L::ledY(3, 24)), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(L::tableX(2), L::tableY(25)), qRgb(0, 0, 0xFF));

  auto q350 = sim::makeKeyboard("q350");
  std::vector<sim::InputReport> answers;
  ASSERT_TRUE(q350->output(1, q350Frame(0x04, 0x00B2 + 3 * 6, {0, 50, 100}), answers));
  ASSERT_TRUE(q350->output(1, q350Frame(0x04, 0x00AF, {100, 0, 1}), answers));
  ASSERT_TRUE(q350->render(dir.file("q350.png")));
  image = QImage(QString::fromStdString(dir.file("q350.png")));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(L::zoneX(6), L::zoneY()), qRgb(0, 128, 255));
  EXPECT_EQ(image.pixel(L::zoneX(5), L::zoneY()), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(L::commonX(), L::commonY()), qRgb(255, 0, 3));
}

}  // namespace
