#pragma once

#include <cstdint>

#include "sim/varbule.h"

// Tests the varbule at index against every other entry of the table. Each one it touches
// and that has not yet exchanged this frame trades velocities with it; a deep overlap
// (more than 2 pixels) then reverses both. Returns exchanges minus reversals.
// The arithmetic is fixed so that every build gives the same bits: integer differences
// turned into floats, squares rounded to float, the root of their sum rounded to float.
std::int32_t CollisionScan(VarbuleRecord* table, std::int32_t length, std::int32_t index);

// The table's positions and sizes side by side, so that one quick pass sorts out the far
// pairs several at a time. The frame loop keeps it in step with the table as discs move.
struct ScanLayout {
    alignas(16) std::int32_t x[kMaxVarbules];
    alignas(16) std::int32_t y[kMaxVarbules];
    alignas(16) std::int32_t diameter[kMaxVarbules];
};

void LayOut(const VarbuleRecord* table, std::int32_t length, ScanLayout& layout);

// The same scan, with the same results, for tables of at most kMaxVarbules entries whose
// current x, y and diameter the layout holds.
std::int32_t CollisionScan(VarbuleRecord* table, std::int32_t length, std::int32_t index, const ScanLayout& layout);
