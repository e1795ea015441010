// The descriptor blocks the lighting page hands to the keyboard view's
// StartPreview: one per preview kind of the lighting effect table, built
// from the page's controls (speed, brightness, colour, colourful) and from
// the key layout, whose rectangles give the columns, rows, rings and paths
// the moving previews follow.
#pragma once

#include <cstdint>
#include <vector>

#include "lumera/model/config.h"

namespace lumera {

// A key the previews can light: its hit code and its rectangle on the
// keyboard picture (left, top, right, bottom).
struct PreviewKey {
  int code = -1;
  Rect rect;
};
using PreviewKeys = std::vector<PreviewKey>;

// The hit code of a key layout record: the virtual-key code of its default
// function; for a modifier key the side-specific code (160/161 Shift,
// 162/163 Ctrl, 164/165 Alt, 91/92 Win); -1 for a record that is not a key.
int PreviewHitCode(const KeyFunction& f);

// The configured keys of the key layout, in its order.
PreviewKeys PreviewKeysOf(const LumeraConfig& config);

// What the lighting page knows when it starts a preview.
struct PreviewRequest {
  int effectKind = 0;          // column 0 of the effect's table entry
  int level1 = 1;              // the number slider (speed), 1..4
  int level2 = 4;              // the percentage slider (brightness), 1..5
  Colour colour = 0x0000FF;    // the effect colour
  bool colourful = false;      // the colourful box
  bool colourfulShown = true;  // whether the effect offers the colourful box
  bool level1Option = true;    // whether the effect offers the number slider
};

// Brightness in tenths for a level-2 value: 1 -> 0, 2 -> 3, 3 -> 5, 5 -> 10,
// anything else 8.
int PreviewBrightness(int level2);

// The descriptor block for a request (kind 0, lighting nothing, for an
// effect kind without a preview).
std::vector<std::uint8_t> BuildPreviewDescriptor(const PreviewRequest& request, const PreviewKeys& keys);

// The key groups the moving previews use, exposed for tests and tools.
namespace previewgroups {
// `n` columns of equal width across the keys, by each key's centre; each
// column top to bottom.
std::vector<std::vector<int>> columns(const PreviewKeys& keys, int n);
// `n` rows of equal height, by each key's centre; each row left to right.
std::vector<std::vector<int>> rows(const PreviewKeys& keys, int n);
// `n` rings around a centre: the keys with one of `origin`'s codes form
// ring 0, every other key the ring of its distance from the centre, the
// farthest one in ring n - 1.
std::vector<std::vector<int>> rings(const PreviewKeys& keys, double cx, double cy, int n,
                                    const std::vector<int>& origin);
// A path through all keys, row by row, every second row backwards.
std::vector<int> snakePath(const PreviewKeys& keys);
}  // namespace previewgroups

}  // namespace lumera
