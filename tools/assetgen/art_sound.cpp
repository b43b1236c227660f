// The menu's three sounds, synthesised: a soft focus tick, a crisp click of a quarter second and
// a falling exit sweep of half a second. 8-bit unsigned mono at 22050 samples a second.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/asset_list.h"
#include "tools/assetgen/canvas.h"

namespace {

// Floats in -1..1 to unsigned bytes, with a little triangular dither from a fixed seed; the
// first and last samples are silence, so a sound starts and stops without a click.
std::vector<uint8_t> ag_to_u8(const std::vector<float>& s, uint32_t seed) {
  AgRng rng{seed};
  std::vector<uint8_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    float d = (ag_rng_unit(&rng) - ag_rng_unit(&rng)) * 0.5f;
    float v = 128.0f + s[i] * 127.0f + d;
    long q = std::lround(v);
    out[i] = (uint8_t)(q < 0 ? 0 : (q > 255 ? 255 : q));
  }
  if (!out.empty()) out.front() = out.back() = 128;
  return out;
}

std::vector<float> ag_silence(float seconds) {
  return std::vector<float>((size_t)(seconds * (float)AG_SOUND_RATE), 0.0f);
}

}  // namespace

std::vector<uint8_t> ag_sound_focus() {
  std::vector<float> s = ag_silence(0.06f);
  float phase = 0.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = (float)i / (float)AG_SOUND_RATE;
    float env = (1.0f - std::exp(-t * 2000.0f)) * std::exp(-t * 75.0f);
    phase += 2.0f * AG_PI * (2100.0f - 600.0f * t / 0.06f) / (float)AG_SOUND_RATE;
    s[i] = 0.35f * env * (std::sin(phase) + 0.25f * std::sin(2.0f * phase));
  }
  return ag_to_u8(s, 0xF0C05u);
}

std::vector<uint8_t> ag_sound_click() {
  std::vector<float> s = ag_silence(0.25f);
  AgRng rng{0xC11C4u};
  float p1 = 0.0f, p2 = 0.0f, p3 = 0.0f, lp = 0.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = (float)i / (float)AG_SOUND_RATE;
    // A bright snap of filtered noise, a two-tone chirp and a short low thump under it.
    float noise = ag_rng_unit(&rng) * 2.0f - 1.0f;
    lp += (noise - lp) * 0.45f;
    float snap = (noise - lp) * std::exp(-t * 320.0f);
    p1 += 2.0f * AG_PI * 1500.0f / (float)AG_SOUND_RATE;
    p2 += 2.0f * AG_PI * (t < 0.06f ? 1000.0f : 1500.0f * 1.5f) / (float)AG_SOUND_RATE;
    p3 += 2.0f * AG_PI * (190.0f - 60.0f * t / 0.25f) / (float)AG_SOUND_RATE;
    float tone = std::sin(p1) * std::exp(-t * 30.0f) * 0.35f + std::sin(p2) * std::exp(-t * 16.0f) * 0.3f;
    float thump = std::sin(p3) * std::exp(-t * 25.0f) * 0.45f;
    float attack = 1.0f - std::exp(-t * 4000.0f);
    float tail = 1.0f - ag_smooth(0.2f, 0.25f, t);
    s[i] = 0.8f * attack * tail * (snap * 0.6f + tone + thump);
  }
  return ag_to_u8(s, 0xC11C5u);
}

std::vector<uint8_t> ag_sound_exit() {
  std::vector<float> s = ag_silence(0.5f);
  float phase = 0.0f, sub = 0.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = (float)i / (float)AG_SOUND_RATE;
    float u = t / 0.5f;
    // Exponential fall from 1400 Hz to 140 Hz, soft-square timbre, fading out at the end.
    float f = 1400.0f * std::pow(0.1f, u);
    phase += 2.0f * AG_PI * f / (float)AG_SOUND_RATE;
    sub += 2.0f * AG_PI * f * 0.5f / (float)AG_SOUND_RATE;
    float wave = std::tanh(2.2f * std::sin(phase)) * 0.6f + std::sin(sub) * 0.3f;
    float env = (1.0f - std::exp(-t * 300.0f)) * (1.0f - ag_smooth(0.55f, 1.0f, u)) * (1.0f - 0.3f * u);
    s[i] = 0.6f * env * wave;
  }
  return ag_to_u8(s, 0xE817u);
}
