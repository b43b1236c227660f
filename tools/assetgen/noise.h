// Gradient noise for the generator: 2-D with optional periods (pictures that tile), 3-D for
// rotating asteroids and evolving fire. Results lie roughly in -1..1; seeds pick the lattice.
#pragma once
#include <cstdint>

float ag_noise2(float x, float y, uint32_t seed, int period_x, int period_y);  // period 0: none
float ag_noise3(float x, float y, float z, uint32_t seed);
// Sums of octaves, each of twice the frequency and `gain` times the amplitude.
float ag_fbm2(float x, float y, uint32_t seed, int octaves, int period_x, int period_y, float gain);
float ag_fbm3(float x, float y, float z, uint32_t seed, int octaves, float gain);
