#include "scene3d/renderer.h"

#include <cmath>

#include "scene3d/wrap.h"

namespace kestrel::scene3d {

namespace {

struct PlacedLight {
  const Light* light;
  Vec3 position;   // world
  Vec3 direction;  // world, unit
};

struct Context {
  std::vector<PlacedLight> lights;
  Mat4 view;       // world to camera
  Vec3 eye;        // camera position in world space
  const DeviceSettings* device;
  Rasteriser* raster;
  std::vector<std::pair<const Shadow*, Mat4>> shadows;
};

// Calls visit(frame, world transform) for every frame under root, parents
// before children, in order; without recursion, however deep the frames go.
template <class Visit>
void forEachFrame(const Frame& root, Visit&& visit) {
  std::vector<std::pair<const Frame*, Mat4>> pending{{&root, Mat4{}}};
  while (!pending.empty()) {
    auto [f, parent] = pending.back();
    pending.pop_back();
    Mat4 world = f->transform() * parent;
    visit(*f, world);
    const auto& kids = f->children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) pending.emplace_back(it->get(), world);
  }
}

void collectLights(const Frame& root, Context& ctx) {
  forEachFrame(root, [&](const Frame& f, const Mat4& world) {
    for (auto& l : f.lights)
      if (l) ctx.lights.push_back({l.get(), world.row(3), normalize(world.row(2))});
  });
}

Color add(Color a, Color b, float k) { return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k, a.a}; }

// The colour of a surface point p with normal n lit by every light.
Color lightPoint(const Context& ctx, Vec3 p, Vec3 n, Vec3 objectOrigin, Color base, const Material& m) {
  Color out{m.emissive.r, m.emissive.g, m.emissive.b, base.a};
  Color highlight{0, 0, 0, 0};
  for (auto& pl : ctx.lights) {
    const Light& l = *pl.light;
    Color lc{l.color.r * base.r, l.color.g * base.g, l.color.b * base.b, 1};
    if (l.type == LightType::Ambient) {
      out = add(out, lc, 1);
      continue;
    }
    Vec3 toLight;
    float k = 1;
    if (l.type == LightType::Directional) {
      toLight = -pl.direction;
    } else if (l.type == LightType::ParallelPoint) {
      toLight = normalize(pl.position - objectOrigin);
    } else {
      Vec3 d = pl.position - p;
      float dist = length(d);
      if (dist > l.range) continue;
      toLight = normalize(d);
      float att = l.constant + l.linear * dist + l.quadratic * dist * dist;
      k = att > 0 ? 1 / att : 1;
      if (l.type == LightType::Spot) {
        float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f, dot(-toLight, pl.direction))));
        float inner = l.umbra / 2, outer = std::fmax(l.penumbra / 2, inner);
        if (angle > outer) continue;
        if (angle > inner) k *= (outer - angle) / (outer - inner);
      }
    }
    float diffuse = dot(n, toLight);
    if (diffuse <= 0) continue;
    out = add(out, lc, diffuse * k);
    if (m.power > 0) {
      Vec3 h = normalize(toLight + normalize(ctx.eye - p));
      float s = std::pow(std::fmax(0.0f, dot(n, h)), m.power) * k;
      highlight = add(highlight, Color{l.color.r * m.specular.r, l.color.g * m.specular.g, l.color.b * m.specular.b, 1}, s);
    }
  }
  return {clamp01(out.r + highlight.r), clamp01(out.g + highlight.g), clamp01(out.b + highlight.b), base.a};
}

// Normals go through the inverse transpose: dot products with the rows of
// the inverse, worked out once a mesh.
struct NormalTransform {
  explicit NormalTransform(const Mat4& m) : inv(m.inverse()) {}
  Vec3 operator()(Vec3 n) const { return normalize({dot(n, inv.row(0)), dot(n, inv.row(1)), dot(n, inv.row(2))}); }
  Mat4 inv;
};

void drawMesh(const MeshBuilder& mesh, const Frame& frame, const Mat4& world, Context& ctx) {
  Mat4 toCamera = world * ctx.view;
  NormalTransform worldNormal(world), cameraNormal(toCamera);
  Mat4 toChrome = world;
  if (mesh.chrome)
    if (auto ref = mesh.chrome->reference.lock()) toChrome = world * ref->worldTransform().inverse();
  NormalTransform chromeNormal(toChrome);
  Vec3 origin = world.row(3);
  uint32_t shadeMode = mesh.quality & quality::ShadeMask;
  bool lit = (mesh.quality & quality::LightMask) != 0;
  uint32_t fillMode = mesh.quality & quality::FillMask;
  std::vector<RasterCorner> corners;
  for (auto& fp : mesh.faces) {
    const Face& face = *fp;
    size_t n = face.corners.size();
    if (n < 3 && fillMode != quality::Points) continue;
    const Texture* tex = face.texture ? face.texture.get()
                         : mesh.texture ? mesh.texture.get()
                         : frame.texture ? frame.texture.get() : nullptr;
    if (tex && tex->empty()) tex = nullptr;
    Color base = face.color.value_or(mesh.color);
    // A texture gives the surface its colours; the lights then scale them.
    if (tex) base = {1, 1, 1, base.a};
    Vec3 faceNormal = face.normal();
    corners.resize(n);
    for (size_t i = 0; i < n; ++i) corners[i].p = toCamera.transformPoint(face.corners[i].position);
    if (fillMode == quality::Solid && n >= 3) {
      // Seen from behind at every corner: the rasteriser would cull it, so
      // it is not worth lighting.
      Vec3 cn = cameraNormal(faceNormal);
      bool back = dot(cn, cn) > 0;
      for (size_t i = 0; back && i < n; ++i) back = dot(cn, corners[i].p) > 1e-4f * length(corners[i].p);
      if (back) continue;
    }
    Vec3 worldFaceNormal = worldNormal(faceNormal);
    Color flat{};
    if (!lit) {
      flat = base;
    } else if (shadeMode == quality::Flat) {
      Vec3 centre;
      for (auto& c : face.corners) centre = centre + c.position;
      flat = lightPoint(ctx, world.transformPoint(centre * (1.0f / n)), worldFaceNormal, origin, base, mesh.material);
    }
    for (size_t i = 0; i < n; ++i) {
      const Corner& c = face.corners[i];
      RasterCorner& rc = corners[i];
      Vec3 normal = dot(c.normal, c.normal) > 0 ? c.normal : faceNormal;
      if (lit && shadeMode != quality::Flat)
        rc.color = lightPoint(ctx, world.transformPoint(c.position), worldNormal(normal), origin, base, mesh.material);
      else
        rc.color = flat;
      rc.u = c.u, rc.v = c.v;
      if (mesh.chrome) mesh.chrome->coordinates(toChrome.transformPoint(c.position), chromeNormal(normal), rc.u, rc.v);
    }
    if (fillMode == quality::Points) {
      for (auto& rc : corners) ctx.raster->drawPoint(rc);
    } else if (fillMode == quality::Wireframe) {
      for (size_t i = 0; i < n; ++i) ctx.raster->drawLine(corners[i], corners[(i + 1) % n]);
    } else {
      DrawState s;
      s.texture = tex;
      s.linear = ctx.device->linearTextures();
      s.blend = base.a < 1;
      for (size_t i = 1; i + 1 < n; ++i) ctx.raster->drawTriangle(corners[0], corners[i], corners[i + 1], s);
    }
  }
}

void drawFrames(const Frame& root, Context& ctx) {
  forEachFrame(root, [&](const Frame& f, const Mat4& world) {
    for (auto& v : f.visuals) {
      if (!v) continue;
      if (v->kind == Visual::Kind::Shadow)
        ctx.shadows.emplace_back(static_cast<const Shadow*>(v.get()), world);
      else
        drawMesh(static_cast<const MeshBuilder&>(*v), f, world, ctx);
    }
  });
}

// Where the light's ray through p meets the plane; false when it never does.
bool castOnto(const Shadow& s, const PlacedLight& l, Vec3 p, Vec3& out) {
  Vec3 n = normalize(s.planeNormal);
  bool parallel = l.light->type == LightType::Directional || l.light->type == LightType::Ambient;
  Vec3 ray = parallel ? l.direction : p - l.position;
  float denom = dot(ray, n);
  if (std::fabs(denom) < 1e-6f) return false;
  float t = dot(s.planePoint - p, n) / denom;
  if (!parallel && t < 0) return false;
  out = p + ray * t;
  return finite(out);
}

void drawShadows(Context& ctx) {
  for (auto& [shadow, world] : ctx.shadows) {
    if (!shadow->caster || !shadow->light) continue;
    PlacedLight light{shadow->light.get(), {}, {0, 0, 1}};
    for (auto& pl : ctx.lights)
      if (pl.light == shadow->light.get()) light = pl;
    DrawState s;
    s.cull = false;
    s.shadowMask = true;
    for (auto& fp : shadow->caster->faces) {
      std::vector<RasterCorner> rc(fp->corners.size());
      bool ok = rc.size() >= 3;
      for (size_t i = 0; ok && i < rc.size(); ++i) {
        Vec3 onPlane;
        ok = castOnto(*shadow, light, world.transformPoint(fp->corners[i].position), onPlane);
        rc[i].p = ctx.view.transformPoint(onPlane);
      }
      if (!ok) continue;
      for (size_t i = 1; i + 1 < rc.size(); ++i) ctx.raster->drawTriangle(rc[0], rc[i], rc[i + 1], s);
    }
  }
  ctx.raster->resolveShadows(0.5f);
}

}  // namespace

void Renderer::render(Frame& scene, const Viewport& viewport, const DeviceSettings& device,
                      const gui::PixelView& target) {
  raster_.begin(target, viewport);
  const SceneSettings& settings = scene.sceneSettings();
  if (settings.backgroundImage && !settings.backgroundImage->empty())
    raster_.clearToImage(*settings.backgroundImage);
  else
    raster_.clear(settings.background);
  Fog fog;
  fog.enabled = settings.fogEnabled;
  fog.mode = static_cast<int>(settings.fogMode);
  fog.color = unpackColor(settings.fogColor);
  fog.start = settings.fogStart, fog.end = settings.fogEnd, fog.density = settings.fogDensity;
  raster_.setFog(fog);

  Context ctx;
  ctx.device = &device;
  ctx.raster = &raster_;
  Mat4 cameraWorld = viewport.camera ? viewport.camera->worldTransform() : Mat4{};
  ctx.view = cameraWorld.inverse();
  ctx.eye = cameraWorld.row(3);
  auto root = scene.scene();
  collectLights(*root, ctx);
  drawFrames(*root, ctx);
  drawShadows(ctx);
}

}  // namespace kestrel::scene3d
