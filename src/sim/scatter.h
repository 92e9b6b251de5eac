#pragma once

#include <cstdint>

#include "sim/random_source.h"
#include "sim/surface.h"
#include "sim/varbule.h"

// Gives each varbule of the table, in index order, its place, colour, brush, region and
// velocity. Each one takes exactly seven numbers from the generator, in the order x, y,
// red, green, blue, dx, dy, so a given sequence always lands in the same fields.
void ScatterVarbules(VarbuleRecord* table, std::int32_t length, std::int32_t diameter,
                     Surface& surface, RandomSource& random);
