#include "lumera/app/effect_preview.h"

#include <cstring>

namespace lumera {
namespace {

std::uint32_t readU32(const std::vector<std::uint8_t>& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

// Kind 0 and every kind without a preview: all keys stay without colour.
class NoPreview : public EffectPreview {
 public:
  explicit NoPreview(int interval) : interval_(interval) {}
  int intervalMs() const override { return interval_; }
  void start(KeySlots& slots) override {
    for (int i = 0; i < kViewSlots; ++i) slots.setAlpha(i, 200);
    slots.clearColours();
  }
  void step(KeySlots&) override {}

 private:
  int interval_;
};

}  // namespace

std::unique_ptr<EffectPreview> makeEffectPreview(const std::vector<std::uint8_t>& descriptor, std::uint32_t) {
  const std::uint32_t interval = readU32(descriptor, 8);
  return std::make_unique<NoPreview>(interval > 60000 ? 0 : static_cast<int>(interval));
}

}  // namespace lumera
