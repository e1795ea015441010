// Geometry of the pictures kbsim renders, shared by the renderer and by the
// tests and tools that look at single cells.
#pragma once

namespace sim::layout {

// Q350RGB: six colour group slots (three LED frames at 0xAC, 0xB0, 0xB4,
// two groups each), one block per slot from top to bottom; in a block, LED
// index p sits in column p % 22, row p / 22. Below them the colour table,
// 48 rows of 7 colours.
constexpr int kMargin = 8;
constexpr int kLedColumns = 22;
constexpr int kLedRows = 6;
constexpr int kLedCount = 132;
constexpr int kCell = 20;       // pitch of an LED cell; the colour fills kCell - 2
constexpr int kSlotGap = 16;
constexpr int kSlots = 6;
constexpr int kSlotHeight = kLedRows * kCell;
constexpr int kTableCellW = 16;
constexpr int kTableCellH = 8;
constexpr int kRgbWidth = 2 * kMargin + kLedColumns * kCell;
constexpr int kTableTop = kMargin + kSlots * (kSlotHeight + kSlotGap);
constexpr int kRgbHeight = kTableTop + 48 * kTableCellH + kMargin;

// Centre of LED p in slot s.
constexpr int ledX(int p) { return kMargin + (p % kLedColumns) * kCell + kCell / 2; }
constexpr int ledY(int slot, int p) { return kMargin + slot * (kSlotHeight + kSlotGap) + (p / kLedColumns) * kCell + kCell / 2; }
// Centre of colour c (0..6) of colour table row r (0..47).
constexpr int tableX(int c) { return kMargin + c * kTableCellW + kTableCellW / 2; }
constexpr int tableY(int r) { return kTableTop + r * kTableCellH + kTableCellH / 2; }

// Q350: the seven zones side by side, the common colour in a bar below.
constexpr int kZoneSize = 60;
constexpr int kZonePitch = 68;
constexpr int kZones = 7;
constexpr int kQ350Width = 2 * kMargin + kZones * kZonePitch - (kZonePitch - kZoneSize);
constexpr int kCommonTop = kMargin + kZoneSize + kMargin;
constexpr int kCommonHeight = 30;
constexpr int kQ350Height = kCommonTop + kCommonHeight + kMargin;
constexpr int zoneX(int z) { return kMargin + z * kZonePitch + kZoneSize / 2; }
constexpr int zoneY() { return kMargin + kZoneSize / 2; }
constexpr int commonX() { return kQ350Width / 2; }
constexpr int commonY() { return kCommonTop + kCommonHeight / 2; }

}  // namespace sim::layout
