// Deep space for the full-screen pictures: nebulae, stars and planets. Everything can wrap at the
// top and bottom edges, so a background scrolls without a seam.
#pragma once
#include <cstdint>

#include "tools/assetgen/canvas.h"

struct AgNebula {
  uint32_t seed;
  AgColour base, cloud_a, cloud_b;
  float strength_a, strength_b;
  float band;  // 0: clouds everywhere; above 0: gathered along a winding band of this half-width
};
// Fills the canvas (opaque). Its height must be a multiple of 256 for the wrap.
void ag_space_nebula(AgCanvas* c, const AgNebula* n);
// Scatters stars; bright ones get a glow and a four-point flare. Vertically wrapped.
void ag_space_stars(AgCanvas* c, uint32_t seed, int count, float brightness);
// A lit planet with an atmosphere rim, lit from the upper left.
void ag_space_planet(AgCanvas* c, float cx, float cy, float r, AgColour land, AgColour sea, AgColour air,
                     uint32_t seed);
