#include "objects/image_collection.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_set>

#include "state/errors.h"

namespace kestrel::objects {

namespace {

constexpr std::string_view kMagic = "KESTREL-IMAGES";

[[noreturn]] void raiseLine(size_t line) {
  raise("Invalid image collection (line " + std::to_string(line) + ")");
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool number(std::string_view word, int64_t low, int64_t high, int32_t& out) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || value < low || value > high) return false;
  out = static_cast<int32_t>(value);
  return true;
}

// Names stay inside the manifest's folder.
bool safeName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name.front() == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find('/', start), name.size());
    if (name.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return name.find('\0') == std::string_view::npos;
}

}  // namespace

std::vector<ManifestEntry> parseManifest(std::string_view text) {
  const size_t firstEnd = std::min(text.find('\n'), text.size());
  std::string_view first = text.substr(0, firstEnd);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  const std::vector<std::string_view> head = words(first);
  if (head.size() != 2 || head[0] != kMagic || head[1] != "1") raise("Unsupported image collection format");
  if (text.size() > kMaxManifestBytes) raiseLine(1);
  std::vector<ManifestEntry> entries;
  size_t lineNumber = 1;
  for (size_t pos = firstEnd; pos < text.size();) {
    const size_t start = pos + 1;
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(std::min(start, text.size()), end - std::min(start, text.size()));
    pos = end;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> w = words(line);
    if (w.empty() || w[0].front() == '#') continue;
    ManifestEntry e;
    if (w.size() != 4 || !safeName(w[0]) || !number(w[1], 0, kMaxPatternSide, e.patternWidth) ||
        !number(w[2], 0, kMaxPatternSide, e.patternHeight) || !number(w[3], -1, 0xFFFFFF, e.transparent) ||
        entries.size() >= kMaxManifestImages)
      raiseLine(lineNumber);
    e.file = std::string(w[0]);
    entries.push_back(std::move(e));
  }
  return entries;
}

CollectionImage::CollectionImage(std::vector<uint32_t> pixels, int32_t width, int32_t height,
                                 const ManifestEntry& entry)
    : pixels_(std::move(pixels)), width_(std::max(width, 0)) {
  height = std::max(height, 0);
  if (pixels_.size() < static_cast<size_t>(width_) * height) pixels_.resize(static_cast<size_t>(width_) * height);
  patternWidth_ = entry.patternWidth > 0 ? std::min(entry.patternWidth, width_) : width_;
  patternHeight_ = entry.patternHeight > 0 ? std::min(entry.patternHeight, height) : height;
  if (patternWidth_ <= 0 || patternHeight_ <= 0) return;
  const uint32_t key = entry.transparent < 0 ? 0 : gui::pixelOf(static_cast<uint32_t>(entry.transparent));
  auto opaque = [&](uint32_t p) {
    return (p >> 24) >= 0x80 && (entry.transparent < 0 || (p & 0xFFFFFF) != (key & 0xFFFFFF));
  };
  for (int32_t top = 0; top + patternHeight_ <= height; top += patternHeight_) {
    for (int32_t left = 0; left + patternWidth_ <= width_; left += patternWidth_) {
      Pattern p{left, top, {}};
      for (int32_t row = 0; row < patternHeight_; ++row) {
        const uint32_t* line = pixels_.data() + static_cast<size_t>(top + row) * width_ + left;
        for (int32_t column = 0; column < patternWidth_;) {
          if (!opaque(line[column])) {
            ++column;
            continue;
          }
          const int32_t first = column;
          while (column < patternWidth_ && opaque(line[column])) ++column;
          p.runs.push_back({row, first, column - first});
        }
      }
      patterns_.push_back(std::move(p));
    }
  }
}

void CollectionImage::draw(const gui::PixelView& target, int32_t x, int32_t y, int32_t pattern) const {
  if (pattern < 0 || pattern >= patternCount() || target.empty()) return;
  const Pattern& p = patterns_[static_cast<size_t>(pattern)];
  // Whole patterns outside the target are common (sprites leaving the screen).
  if (int64_t{x} + patternWidth_ <= 0 || int64_t{y} + patternHeight_ <= 0 || x >= target.width ||
      y >= target.height)
    return;
  for (const Run& r : p.runs) {
    const int32_t ty = y + r.row;
    if (ty < 0 || ty >= target.height) continue;
    int32_t from = x + r.column;
    int32_t skip = 0;
    if (from < 0) {
      skip = -from;
      from = 0;
    }
    const int32_t length = std::min(r.length - skip, target.width - from);
    if (length <= 0) continue;
    const uint32_t* source =
        pixels_.data() + static_cast<size_t>(p.top + r.row) * width_ + p.left + r.column + skip;
    uint32_t* dest = target.row(ty) + from;
    for (int32_t i = 0; i < length; ++i) dest[i] = source[i] | 0xFF000000u;
  }
}

std::array<uint32_t, 256> buildColorTable(const std::vector<CollectionImage>& images) {
  std::array<uint32_t, 256> table{};
  std::unordered_set<uint32_t> seen;
  for (const CollectionImage& image : images) {
    for (uint32_t p : image.pixels()) {
      if (seen.size() == table.size()) return table;
      const uint32_t color = gui::colorOf(p);
      if (seen.insert(color).second) table[seen.size() - 1] = color;
    }
  }
  return table;
}

}  // namespace kestrel::objects
