#include "scene3d/x_file.h"

#include <cctype>
#include <cmath>
#include <charconv>
#include <stdexcept>
#include <vector>

namespace kestrel::scene3d {

namespace {

struct BadFile : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Tokens: names, numbers, strings and braces. Commas and semicolons only
// separate values, so they are dropped here.
class Reader {
 public:
  explicit Reader(std::string_view t) : text_(t) {}

  bool atEnd() {
    skip();
    return pos_ >= text_.size();
  }
  char peekChar() {
    skip();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  bool accept(char c) {
    if (peekChar() != c) return false;
    ++pos_;
    return true;
  }
  void expect(char c, const char* what) {
    if (!accept(c)) throw BadFile(std::string("expected ") + what);
  }
  // A name (letters, digits, underscore, dash); empty when none is here.
  std::string name() {
    skip();
    size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_' ||
                                   text_[pos_] == '-' || text_[pos_] == '.'))
      ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }
  double number() {
    skip();
    const char* b = text_.data() + pos_;
    const char* e = text_.data() + text_.size();
    double v = 0;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || !std::isfinite(v)) throw BadFile("a number is missing or malformed");
    pos_ += static_cast<size_t>(p - b);
    return v;
  }
  // A count: a whole number no larger than the values left could hold.
  size_t count(size_t valuesEach) {
    double v = number();
    if (v < 0 || v != std::floor(v)) throw BadFile("a count is negative or not whole");
    if (v * static_cast<double>(valuesEach) > static_cast<double>(text_.size() - pos_))
      throw BadFile("a count is larger than the values that follow");
    return static_cast<size_t>(v);
  }
  std::string string() {
    skip();
    if (pos_ >= text_.size() || text_[pos_] != '"') throw BadFile("expected a string");
    size_t end = text_.find('"', pos_ + 1);
    if (end == std::string_view::npos) throw BadFile("a string is not closed");
    std::string s(text_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = end + 1;
    return s;
  }
  // Skips to just after the brace that closes the one already read.
  void skipBlock() {
    int depth = 1;
    while (depth > 0) {
      skip();
      if (pos_ >= text_.size()) throw BadFile("a block is not closed");
      char c = text_[pos_++];
      if (c == '"') {
        size_t end = text_.find('"', pos_);
        if (end == std::string_view::npos) throw BadFile("a string is not closed");
        pos_ = end + 1;
      } else if (c == '{') {
        ++depth;
      } else if (c == '}') {
        --depth;
      }
    }
  }

 private:
  void skip() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ';') {
        ++pos_;
      } else if (c == '#' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }
  std::string_view text_;
  size_t pos_ = 0;
};

struct MaterialData {
  Color color{1, 1, 1, 1};
  Material material;
  std::shared_ptr<Texture> texture;
};

class Loader {
 public:
  Loader(std::string_view text, const TextureLoader& textures) : r_(text), textures_(textures) {}

  std::vector<std::shared_ptr<Face>> faces;

  void file() {
    while (!r_.atEnd()) element(Mat4{});
  }

 private:
  // One template instance at the top level or inside a frame.
  void element(const Mat4& world) {
    if (r_.accept('{')) {  // a reference to a named object: nothing to add
      r_.skipBlock();
      return;
    }
    std::string kind = r_.name();
    if (kind.empty()) throw BadFile("expected a template name");
    if (r_.peekChar() != '{') r_.name();  // the instance's own name
    if (kind == "template") {
      r_.expect('{', "'{'");
      r_.skipBlock();
      return;
    }
    r_.expect('{', "'{'");
    if (kind == "Mesh")
      mesh(world);
    else if (kind == "Frame")
      frame(world);
    else
      r_.skipBlock();
  }

  void frame(const Mat4& parent) {
    // Frames nest by recursion here: a file may not nest them without end.
    if (++depth_ > kMaxFrameDepth) throw BadFile("frames are nested too deeply");
    Mat4 local;
    Mat4 world = parent;
    while (!r_.accept('}')) {
      if (r_.atEnd()) throw BadFile("a frame is not closed");
      if (r_.peekChar() != '{') {
        // Look ahead at the template name without losing it.
        std::string kind = r_.name();
        if (kind.empty()) throw BadFile("expected a template name");
        if (kind == "FrameTransformMatrix") {
          if (r_.peekChar() != '{') r_.name();
          r_.expect('{', "'{'");
          for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) local.m[i][j] = static_cast<float>(r_.number());
          r_.expect('}', "'}' after a matrix");
          world = local * parent;
          continue;
        }
        if (r_.peekChar() != '{') r_.name();
        r_.expect('{', "'{'");
        if (kind == "Mesh")
          mesh(world);
        else if (kind == "Frame")
          frame(world);
        else
          r_.skipBlock();
        continue;
      }
      element(world);
    }
    --depth_;
  }

  Vec3 vec3() {
    float x = static_cast<float>(r_.number());
    float y = static_cast<float>(r_.number());
    return {x, y, static_cast<float>(r_.number())};
  }

  Color color(bool alpha) {
    Color c;
    c.r = clamp01(static_cast<float>(r_.number()));
    c.g = clamp01(static_cast<float>(r_.number()));
    c.b = clamp01(static_cast<float>(r_.number()));
    c.a = alpha ? clamp01(static_cast<float>(r_.number())) : 1.0f;
    return c;
  }

  // A face list: count, then for each face its corner count and indices,
  // each below limit.
  std::vector<std::vector<size_t>> faceList(size_t limit) {
    size_t n = r_.count(2);
    std::vector<std::vector<size_t>> out(n);
    for (auto& f : out) {
      size_t k = r_.count(2);
      f.resize(k);
      for (auto& i : f) {
        double v = r_.number();
        if (v < 0 || v != std::floor(v) || v >= static_cast<double>(limit))
          throw BadFile("a face index is past the end of its list");
        i = static_cast<size_t>(v);
      }
    }
    return out;
  }

  void mesh(const Mat4& world) {
    size_t nv = r_.count(2);
    std::vector<Vec3> positions(nv);
    for (auto& p : positions) p = vec3();
    auto faceIdx = faceList(nv);
    std::vector<Vec3> normals;
    std::vector<std::vector<size_t>> normalIdx;
    std::vector<std::pair<float, float>> uv;
    std::vector<MaterialData> materials;
    std::vector<size_t> faceMaterial;
    while (!r_.accept('}')) {
      if (r_.atEnd()) throw BadFile("a mesh is not closed");
      if (r_.peekChar() == '{') {
        r_.accept('{');
        r_.skipBlock();
        continue;
      }
      std::string kind = r_.name();
      if (kind.empty()) throw BadFile("expected a template name");
      if (r_.peekChar() != '{') r_.name();
      r_.expect('{', "'{'");
      if (kind == "MeshNormals") {
        normals.resize(r_.count(2));
        for (auto& n : normals) n = normalize(vec3());
        normalIdx = faceList(normals.size());
        if (normalIdx.size() != faceIdx.size()) throw BadFile("the normals' faces differ from the mesh's");
        for (size_t i = 0; i < faceIdx.size(); ++i)
          if (normalIdx[i].size() != faceIdx[i].size()) throw BadFile("a face's normals differ from its corners");
        r_.expect('}', "'}' after normals");
      } else if (kind == "MeshTextureCoords") {
        uv.resize(r_.count(2));
        if (uv.size() != nv) throw BadFile("texture coordinates differ in number from the vertices");
        for (auto& t : uv) {
          t.first = static_cast<float>(r_.number());
          t.second = static_cast<float>(r_.number());
        }
        r_.expect('}', "'}' after texture coordinates");
      } else if (kind == "MeshMaterialList") {
        size_t nm = r_.count(1);
        size_t nf = r_.count(1);
        if (nf != faceIdx.size() && nf != 1) throw BadFile("the material list's faces differ from the mesh's");
        faceMaterial.resize(nf);
        for (auto& m : faceMaterial) {
          double v = r_.number();
          if (v < 0 || v != std::floor(v) || v >= static_cast<double>(nm))
            throw BadFile("a material index is past the end of the list");
          m = static_cast<size_t>(v);
        }
        while (!r_.accept('}')) {
          if (r_.atEnd()) throw BadFile("a material list is not closed");
          if (r_.accept('{')) {
            r_.skipBlock();
            materials.emplace_back();
            continue;
          }
          std::string k = r_.name();
          if (k.empty()) throw BadFile("expected a template name");
          if (r_.peekChar() != '{') r_.name();
          r_.expect('{', "'{'");
          if (k == "Material")
            materials.push_back(material());
          else
            r_.skipBlock();
        }
        if (materials.size() < nm) materials.resize(nm);
      } else {
        r_.skipBlock();
      }
    }
    MeshBuilder part;
    for (size_t f = 0; f < faceIdx.size(); ++f) {
      auto face = std::make_shared<Face>();
      for (size_t c = 0; c < faceIdx[f].size(); ++c) {
        size_t vi = faceIdx[f][c];
        Corner corner;
        corner.position = world.transformPoint(positions[vi]);
        if (!normalIdx.empty()) corner.normal = world.transformNormal(normals[normalIdx[f][c]]);
        if (!uv.empty()) corner.u = uv[vi].first, corner.v = uv[vi].second;
        face->corners.push_back(corner);
      }
      if (!faceMaterial.empty()) {
        const MaterialData& m = materials[faceMaterial[faceMaterial.size() == 1 ? 0 : f]];
        face->color = m.color;
        face->texture = m.texture;
      }
      part.faces.push_back(face);
    }
    // A mesh without normals of its own gets smooth ones.
    if (normalIdx.empty()) part.generateNormals();
    faces.insert(faces.end(), part.faces.begin(), part.faces.end());
  }

  MaterialData material() {
    MaterialData m;
    m.color = color(true);
    m.material.power = static_cast<float>(r_.number());
    m.material.specular = color(false);
    m.material.emissive = color(false);
    while (!r_.accept('}')) {
      if (r_.atEnd()) throw BadFile("a material is not closed");
      if (r_.accept('{')) {
        r_.skipBlock();
        continue;
      }
      std::string k = r_.name();
      if (k.empty()) throw BadFile("expected a template name");
      if (r_.peekChar() != '{') r_.name();
      r_.expect('{', "'{'");
      if (k == "TextureFilename" || k == "TextureFileName") {
        std::string file = r_.string();
        r_.expect('}', "'}' after a texture file name");
        if (textures_) m.texture = textures_(file);
      } else {
        r_.skipBlock();
      }
    }
    return m;
  }

  static constexpr int kMaxFrameDepth = 256;
  Reader r_;
  const TextureLoader& textures_;
  int depth_ = 0;
};

}  // namespace

XFileResult loadXFile(std::string_view text, MeshBuilder& mesh, const TextureLoader& textures) {
  XFileResult result;
  if (text.size() < 16 || text.substr(0, 4) != "xof ") {
    result.error = "not a mesh file";
    return result;
  }
  std::string_view format = text.substr(8, 4);
  if (format != "txt ") {
    result.error = format == "bin " ? "binary mesh files are not read" : "compressed mesh files are not read";
    return result;
  }
  try {
    Loader loader(text.substr(16), textures);
    loader.file();
    if (loader.faces.empty()) throw BadFile("the file holds no mesh");
    mesh.faces.insert(mesh.faces.end(), loader.faces.begin(), loader.faces.end());
    result.ok = true;
  } catch (const BadFile& e) {
    result.error = e.what();
  }
  return result;
}

}  // namespace kestrel::scene3d
