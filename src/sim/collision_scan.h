#pragma once

#include <cstdint>

#include "sim/varbule.h"

// Tests the varbule at index against every other entry of the table. Each one it touches
// and that has not yet exchanged this frame trades velocities with it; a deep overlap
// (more than 2 pixels) then reverses both. Returns exchanges minus reversals.
// The arithmetic is fixed so that every build gives the same bits: integer differences
// turned into floats, squares rounded to float, the root of their sum rounded to float.
std::int32_t CollisionScan(VarbuleRecord* table, std::int32_t length, std::int32_t index);
