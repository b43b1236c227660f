#include "tools/assetgen/mesh.h"

#include <cmath>

void ag_mesh_add_surface(AgMesh* m, int nu, int nv, bool wrap_u, AgSurfaceFn fn, const void* ctx) {
  uint32_t base = (uint32_t)m->v.size(), first_index = (uint32_t)m->tri.size();
  int cols = wrap_u ? nu : nu + 1;
  for (int j = 0; j <= nv; ++j) {
    for (int i = 0; i < cols; ++i) {
      AgVertex vx{};
      vx.albedo = ag_rgb(0.5f, 0.5f, 0.5f);
      fn(ctx, (float)i / (float)nu, (float)j / (float)nv, &vx);
      m->v.push_back(vx);
    }
  }
  for (int j = 0; j < nv; ++j) {
    for (int i = 0; i < nu; ++i) {
      int i1 = wrap_u ? (i + 1) % nu : i + 1;
      uint32_t a = base + (uint32_t)(j * cols + i), b = base + (uint32_t)(j * cols + i1);
      uint32_t c = base + (uint32_t)((j + 1) * cols + i), d = base + (uint32_t)((j + 1) * cols + i1);
      m->tri.insert(m->tri.end(), {a, b, d, a, d, c});
    }
  }
  ag_mesh_smooth_normals(m, base, first_index);
}

void ag_mesh_smooth_normals(AgMesh* m, uint32_t first_vertex, uint32_t first_index) {
  for (size_t i = first_vertex; i < m->v.size(); ++i) m->v[i].nx = m->v[i].ny = m->v[i].nz = 0.0f;
  for (size_t t = first_index; t + 2 < m->tri.size(); t += 3) {
    AgVertex& a = m->v[m->tri[t]];
    AgVertex& b = m->v[m->tri[t + 1]];
    AgVertex& c = m->v[m->tri[t + 2]];
    float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    for (AgVertex* p : {&a, &b, &c}) {
      p->nx += nx;
      p->ny += ny;
      p->nz += nz;
    }
  }
  for (size_t i = first_vertex; i < m->v.size(); ++i) {
    AgVertex& p = m->v[i];
    float l = std::sqrt(p.nx * p.nx + p.ny * p.ny + p.nz * p.nz);
    if (l > 1e-12f) {
      p.nx /= l;
      p.ny /= l;
      p.nz /= l;
    } else {
      p.nz = 1.0f;
    }
  }
}

static void ag_apply(const float r[9], float* x, float* y, float* z) {
  float a = *x, b = *y, c = *z;
  *x = r[0] * a + r[1] * b + r[2] * c;
  *y = r[3] * a + r[4] * b + r[5] * c;
  *z = r[6] * a + r[7] * b + r[8] * c;
}

void ag_mesh_rotate(AgMesh* m, const float r[9]) {
  for (AgVertex& p : m->v) {
    ag_apply(r, &p.x, &p.y, &p.z);
    ag_apply(r, &p.nx, &p.ny, &p.nz);
  }
}

void ag_rot_x(float a, float o[9]) {
  float c = std::cos(a), s = std::sin(a);
  float r[9] = {1, 0, 0, 0, c, -s, 0, s, c};
  for (int i = 0; i < 9; ++i) o[i] = r[i];
}
void ag_rot_y(float a, float o[9]) {
  float c = std::cos(a), s = std::sin(a);
  float r[9] = {c, 0, s, 0, 1, 0, -s, 0, c};
  for (int i = 0; i < 9; ++i) o[i] = r[i];
}
void ag_rot_z(float a, float o[9]) {
  float c = std::cos(a), s = std::sin(a);
  float r[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) o[i] = r[i];
}
void ag_rot_mul(const float a[9], const float b[9], float o[9]) {
  float r[9];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
  for (int i = 0; i < 9; ++i) o[i] = r[i];
}

AgLight ag_default_light() {
  AgLight l;
  // From the upper left and above: the sun of every sprite and of the backgrounds' planets.
  l.dir[0] = -0.45f;
  l.dir[1] = -0.40f;
  l.dir[2] = 0.80f;
  l.key = ag_rgb(1.05f, 1.0f, 0.92f);
  l.ambient = ag_rgb(0.10f, 0.11f, 0.17f);
  l.rim = ag_rgb(0.25f, 0.35f, 0.75f);
  l.shininess = 24.0f;
  return l;
}

namespace {
struct AgSample {
  float depth;
  AgColour c;
  bool hit;
};
}  // namespace

static AgColour ag_shade(const AgVertex& p, const AgLight* light, const float L[3], const float H[3]) {
  float nx = p.nx, ny = p.ny, nz = p.nz;
  float l = std::sqrt(nx * nx + ny * ny + nz * nz);
  if (l > 1e-12f) {
    nx /= l;
    ny /= l;
    nz /= l;
  }
  if (nz < 0.0f) {  // the front-most surface of a closed body faces the viewer
    nx = -nx;
    ny = -ny;
    nz = -nz;
  }
  float diff = nx * L[0] + ny * L[1] + nz * L[2];
  if (diff < 0.0f) diff = 0.0f;
  float nh = nx * H[0] + ny * H[1] + nz * H[2];
  float spec = nh > 0.0f ? std::pow(nh, light->shininess) * p.spec : 0.0f;
  float rim = (1.0f - nz);
  rim = rim * rim * (1.0f - diff * 0.5f);
  float lit = 1.0f - p.emit;
  AgColour c;
  c.r = p.albedo.r * (lit * (light->ambient.r + light->key.r * diff) + p.emit) + spec * light->key.r + rim * light->rim.r * lit;
  c.g = p.albedo.g * (lit * (light->ambient.g + light->key.g * diff) + p.emit) + spec * light->key.g + rim * light->rim.g * lit;
  c.b = p.albedo.b * (lit * (light->ambient.b + light->key.b * diff) + p.emit) + spec * light->key.b + rim * light->rim.b * lit;
  return c;
}

void ag_render_mesh(AgCanvas* dst, int fx, int fy, int w, int h, const AgMesh* m, float scale, float cx,
                    float cy, const AgLight* light, int ss) {
  int sw = w * ss, sh = h * ss;
  std::vector<AgSample> buf((size_t)sw * (size_t)sh, AgSample{-1e30f, ag_rgb(0, 0, 0), false});
  float L[3] = {light->dir[0], light->dir[1], light->dir[2]};
  float ll = std::sqrt(L[0] * L[0] + L[1] * L[1] + L[2] * L[2]);
  for (float& c : L) c /= ll;
  float H[3] = {L[0], L[1], L[2] + 1.0f};
  float hl = std::sqrt(H[0] * H[0] + H[1] * H[1] + H[2] * H[2]);
  for (float& c : H) c /= hl;
  float s = scale * (float)ss;
  for (size_t t = 0; t + 2 < m->tri.size(); t += 3) {
    const AgVertex* p[3] = {&m->v[m->tri[t]], &m->v[m->tri[t + 1]], &m->v[m->tri[t + 2]]};
    float X[3], Y[3];
    for (int k = 0; k < 3; ++k) {
      X[k] = cx * ss + p[k]->x * s;
      Y[k] = cy * ss + p[k]->y * s;
    }
    float area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (std::fabs(area) < 1e-9f) continue;
    int x0 = (int)std::floor(std::fmin(X[0], std::fmin(X[1], X[2]))), x1 = (int)std::ceil(std::fmax(X[0], std::fmax(X[1], X[2])));
    int y0 = (int)std::floor(std::fmin(Y[0], std::fmin(Y[1], Y[2]))), y1 = (int)std::ceil(std::fmax(Y[0], std::fmax(Y[1], Y[2])));
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > sw - 1) x1 = sw - 1;
    if (y1 > sh - 1) y1 = sh - 1;
    for (int y = y0; y <= y1; ++y) {
      float py = (float)y + 0.5f;
      for (int x = x0; x <= x1; ++x) {
        float px = (float)x + 0.5f;
        float w0 = ((X[1] - px) * (Y[2] - py) - (X[2] - px) * (Y[1] - py)) / area;
        float w1 = ((X[2] - px) * (Y[0] - py) - (X[0] - px) * (Y[2] - py)) / area;
        float w2 = 1.0f - w0 - w1;
        if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) continue;
        float z = w0 * p[0]->z + w1 * p[1]->z + w2 * p[2]->z;
        AgSample& smp = buf[(size_t)y * sw + x];
        if (z <= smp.depth) continue;
        AgVertex q;
        q.nx = w0 * p[0]->nx + w1 * p[1]->nx + w2 * p[2]->nx;
        q.ny = w0 * p[0]->ny + w1 * p[1]->ny + w2 * p[2]->ny;
        q.nz = w0 * p[0]->nz + w1 * p[1]->nz + w2 * p[2]->nz;
        q.albedo = ag_add(ag_add(ag_scale(p[0]->albedo, w0), ag_scale(p[1]->albedo, w1)), ag_scale(p[2]->albedo, w2));
        q.spec = w0 * p[0]->spec + w1 * p[1]->spec + w2 * p[2]->spec;
        q.emit = w0 * p[0]->emit + w1 * p[1]->emit + w2 * p[2]->emit;
        smp.depth = z;
        smp.c = ag_shade(q, light, L, H);
        smp.hit = true;
      }
    }
  }
  float inv = 1.0f / (float)(ss * ss);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      AgColour sum = ag_rgb(0, 0, 0);
      int n = 0;
      for (int j = 0; j < ss; ++j)
        for (int i = 0; i < ss; ++i) {
          const AgSample& smp = buf[(size_t)(y * ss + j) * sw + (x * ss + i)];
          if (!smp.hit) continue;
          sum = ag_add(sum, smp.c);
          ++n;
        }
      if (n == 0) continue;
      ag_blend(dst, fx + x, fy + y, ag_scale(sum, 1.0f / (float)n), (float)n * inv);
    }
  }
}
