// A small software renderer for the sprites that are models seen from above (ships, asteroids,
// enemy craft): triangle meshes, orthographic, z-buffered, supersampled, lit per pixel by one
// key light with ambient, specular and a cold rim light, so every sprite shares one look.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assetgen/canvas.h"

// Model space: x right, y down the screen, z toward the viewer.
struct AgVertex {
  float x, y, z;
  float nx, ny, nz;
  AgColour albedo;
  float spec;  // strength of the specular highlight, 0..1
  float emit;  // self-lit part: 0 lit only by the lights, 1 shows its albedo as it is
};

struct AgMesh {
  std::vector<AgVertex> v;
  std::vector<uint32_t> tri;  // three indices per triangle
};

// Fills position, albedo, spec and emit at (u, v) of a parametric patch; u, v in 0..1.
typedef void (*AgSurfaceFn)(const void* ctx, float u, float v, AgVertex* out);

// Adds an nu x nv grid of the patch with smooth normals; wrap_u closes it around u.
void ag_mesh_add_surface(AgMesh* m, int nu, int nv, bool wrap_u, AgSurfaceFn fn, const void* ctx);
// Recomputes normals of vertices first.. as the area-weighted mean of their faces' normals.
void ag_mesh_smooth_normals(AgMesh* m, uint32_t first_vertex, uint32_t first_index);
// Rotates positions and normals by the row-major 3 x 3 matrix r.
void ag_mesh_rotate(AgMesh* m, const float r[9]);
void ag_rot_x(float a, float out[9]);
void ag_rot_y(float a, float out[9]);
void ag_rot_z(float a, float out[9]);
void ag_rot_mul(const float a[9], const float b[9], float out[9]);  // out = a * b

struct AgLight {
  float dir[3];  // toward the light, normalised by the renderer
  AgColour key, ambient, rim;
  float shininess;
};
AgLight ag_default_light();

// Draws the mesh into the w x h frame at (fx, fy) of dst; model point (x, y) lands on pixel
// (cx + x * scale, cy + y * scale) of the frame. ss x ss samples per pixel.
void ag_render_mesh(AgCanvas* dst, int fx, int fy, int w, int h, const AgMesh* m, float scale, float cx,
                    float cy, const AgLight* light, int ss);
