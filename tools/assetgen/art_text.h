// Text for pictures: coverage masks drawn with the platform's font rasteriser, and the mask
// operations the titles, captions and digits are built from (outline, glow, gradient fill).
#pragma once
#include <vector>

#include "tools/assetgen/canvas.h"

struct AgMask {
  int w = 0, h = 0;
  std::vector<float> a;  // coverage 0..1, rows top-down
};
void ag_mask_init(AgMask* m, int w, int h);
inline float ag_mask_at(const AgMask* m, int x, int y) {
  return (x < 0 || y < 0 || x >= m->w || y >= m->h) ? 0.0f : m->a[(size_t)y * m->w + x];
}

// Draws UTF-8 text with the cell's top-left at (x, y); false when the face cannot be opened.
// Liberation Sans or Serif by fontconfig name; weight 700 is bold.
bool ag_text(AgMask* m, const char* face, int cell_h, int weight, const char* utf8, int x, int y);
int ag_text_width(const char* face, int cell_h, int weight, const char* utf8);
// Centres the text horizontally on cx.
bool ag_text_centred(AgMask* m, const char* face, int cell_h, int weight, const char* utf8, int cx, int y);

void ag_mask_dilate(const AgMask* src, AgMask* dst, float radius);  // round pen of the radius
void ag_mask_blur(const AgMask* src, AgMask* dst, int radius);      // three box passes

// Paints the mask onto the canvas with a vertical gradient between y0 (top colour) and y1.
void ag_mask_paint(AgCanvas* c, const AgMask* m, AgColour top, AgColour bottom, int y0, int y1, float strength);
void ag_mask_glow(AgCanvas* c, const AgMask* m, AgColour col, float strength);
