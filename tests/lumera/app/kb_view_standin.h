// A keyboard view for the lighting page's tests: it keeps the key keySlots,
// runs the preview it is given (stepped by the test, never by a timer) and
// paints every configured key at its rectangle in its colour and alpha, so
// that screenshots show what the preview lights.
#pragma once

#include <QPainter>
#include <QWidget>
#include <memory>
#include <vector>

#include "lumera/app/effect_preview.h"
#include "lumera/app/kb_view.h"
#include "lumera/app/preview_descriptor.h"
#include "lumera/app/preview_format.h"

namespace uitest {

class StandInView : public QWidget, public lumera::KeyboardView {
 public:
  StandInView(QWidget* parent, const lumera::LumeraConfig& config, std::uint32_t seed = 20261210)
      : QWidget(parent), seed_(seed) {
    const auto& layout = config.keyLayout();
    for (int i = 0; i < config.keyCount(); ++i) {
      const lumera::KeyFunction& f = layout[static_cast<std::size_t>(i)].funA;
      keySlots.hitCode[static_cast<std::size_t>(i)] = lumera::PreviewHitCode(f);
      keySlots.alpha[static_cast<std::size_t>(i)] = 200;
      rects_.push_back(QRect(f.rcKey[0], f.rcKey[1], f.rcKey[2], f.rcKey[3]));
    }
    keySlots.animatedCount = std::clamp(config.options().MaxEftKeyIndex, 0, lumera::kViewSlots);
    resize(690, 200);
  }

  int mode() const override { return mode_; }
  void setMode(int m) override {
    mode_ = m;
    modes.push_back(m);
  }
  void SetKeyColours(const lumera::KeyColours& c) override {
    for (int i = 0; i < lumera::kViewSlots; ++i) keySlots.setColour(i, c[static_cast<std::size_t>(i)]);
    update();
  }
  lumera::KeyColours GetKeyColours() const override { return keySlots.colour; }
  void SetKeyColour(int index, lumera::Colour c) override {
    keySlots.setColour(index, c);
    update();
  }
  void ClearHover() override { ++hoverClears; }
  void StartPreview(const std::vector<std::uint8_t>& descriptor) override {
    starts.push_back(descriptor);
    preview_ = lumera::makeEffectPreview(descriptor, seed_);
    preview_->start(keySlots);
    update();
  }

  // What the view runs: the kind of the last block, -1 before any.
  int previewKind() const {
    if (starts.empty()) return -1;
    lumera::preview::Reader r(starts.back());
    return static_cast<int>(r.kind());
  }
  void step(int n) {
    for (int i = 0; i < n && preview_; ++i) preview_->step(keySlots);
    update();
  }
  int litKeys() const {
    int n = 0;
    for (lumera::Colour c : keySlots.colour) n += c != 0;
    return n;
  }

  lumera::KeySlots keySlots;
  std::vector<std::vector<std::uint8_t>> starts;
  std::vector<int> modes;
  int hoverClears = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 26, 30));
    for (std::size_t i = 0; i < rects_.size(); ++i) {
      p.setPen(QColor(70, 74, 82));
      p.setBrush(QColor(40, 43, 48));
      p.drawRect(rects_[i].adjusted(0, 0, -1, -1));
      const lumera::Colour c = keySlots.colour[i];
      if (c == 0 || mode_ != kLighting) continue;
      QColor q(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF),
               keySlots.alpha[i]);
      p.fillRect(rects_[i].adjusted(2, 2, -1, -1), q);
    }
  }

 private:
  std::uint32_t seed_;
  std::vector<QRect> rects_;
  std::unique_ptr<lumera::EffectPreview> preview_;
  int mode_ = kLighting;
};

}  // namespace uitest
