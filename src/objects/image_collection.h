#pragma once
// Image collections for game screens: standard picture files, each cut
// into patterns of one size, drawn with one colour left out. A collection
// is described by a manifest (docs/game.md):
//
//   KESTREL-IMAGES 1
//   # file  pattern-width  pattern-height  transparent-colour
//   ship.png 32 32 0
//
// A pattern size of 0 takes the whole picture's side; a transparent
// colour of -1 draws every pixel. Patterns are numbered left to right,
// then top to bottom. Which pixels each pattern draws is worked out once
// at load, as runs of opaque pixels a row, so a draw copies whole runs.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/pixel_view.h"

namespace kestrel::objects {

struct ManifestEntry {
  std::string file;
  int32_t patternWidth = 0;
  int32_t patternHeight = 0;
  int32_t transparent = -1;  // a canvas colour, or -1
};

inline constexpr size_t kMaxManifestBytes = 1 << 20;
inline constexpr size_t kMaxManifestImages = 4096;
inline constexpr int32_t kMaxPatternSide = 16384;

// The entries of a manifest: "Unsupported image collection format" when
// the text does not start as a manifest, "Invalid image collection (line
// N)" for a line out of bounds.
std::vector<ManifestEntry> parseManifest(std::string_view text);

class CollectionImage {
 public:
  // `pixels` (0xAARRGGBB, width x height, no padding) cut as `entry` says.
  CollectionImage(std::vector<uint32_t> pixels, int32_t width, int32_t height, const ManifestEntry& entry);

  int32_t patternCount() const { return static_cast<int32_t>(patterns_.size()); }
  // Draws a pattern with its top-left corner at (x, y), clipped to the
  // target; a pattern number outside the image draws nothing.
  void draw(const gui::PixelView& target, int32_t x, int32_t y, int32_t pattern) const;
  const std::vector<uint32_t>& pixels() const { return pixels_; }

 private:
  struct Run {
    int32_t row;     // within the pattern
    int32_t column;  // within the pattern
    int32_t length;
  };
  struct Pattern {
    int32_t left, top;  // in the picture
    std::vector<Run> runs;
  };

  std::vector<uint32_t> pixels_;
  int32_t width_;
  int32_t patternWidth_;
  int32_t patternHeight_;
  std::vector<Pattern> patterns_;
};

// The first 256 different colours of the pictures (0x00BBGGRR), the rest 0.
std::array<uint32_t, 256> buildColorTable(const std::vector<CollectionImage>& images);

}  // namespace kestrel::objects
