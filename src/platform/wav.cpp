#include "platform/wav.h"

#include <cstring>
#include <string>

namespace kestrel::platform {

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

std::optional<PcmSound> parseWav(const std::vector<uint8_t>& b) {
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;
  PcmSound sound;
  uint16_t format = 0;
  int bits = 0;
  bool haveFormat = false;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint8_t* chunk = b.data() + at;
    const uint32_t length = le32(chunk + 4);
    const size_t body = at + 8;
    const size_t available = b.size() - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || length > available) return std::nullopt;
      format = le16(chunk + 8);
      sound.channels = le16(chunk + 10);
      sound.sampleRate = static_cast<int>(le32(chunk + 12));
      bits = le16(chunk + 22);
      if (format == kFormatExtensible && length >= 40) format = le16(chunk + 32);
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return std::nullopt;
      // A data length past the end (streams written without a final size)
      // takes what is there.
      const size_t n = std::min<size_t>(length, available);
      sound.samples.assign(b.begin() + static_cast<long>(body), b.begin() + static_cast<long>(body + n));
      break;
    }
    if (length > available) return std::nullopt;
    at = body + length + (length & 1);
  }
  if (!haveFormat || sound.channels < 1 || sound.channels > 8 || sound.sampleRate < 1000 ||
      sound.sampleRate > 384000)
    return std::nullopt;
  if (format == kFormatFloat && bits == 32) {
    sound.isFloat = true;
    sound.bitsPerSample = 32;
  } else if (format == kFormatPcm && (bits == 8 || bits == 16 || bits == 32)) {
    sound.bitsPerSample = bits;
  } else if (format == kFormatPcm && bits == 24) {
    std::vector<uint8_t> wide;
    wide.reserve(sound.samples.size() / 3 * 4);
    for (size_t i = 0; i + 3 <= sound.samples.size(); i += 3) {
      wide.push_back(0);
      wide.insert(wide.end(), sound.samples.begin() + static_cast<long>(i),
                  sound.samples.begin() + static_cast<long>(i + 3));
    }
    sound.samples = std::move(wide);
    sound.bitsPerSample = 32;
  } else {
    return std::nullopt;
  }
  const size_t frame = static_cast<size_t>(sound.channels * sound.bitsPerSample / 8);
  sound.samples.resize(sound.samples.size() / frame * frame);
  return sound;
}

PcmSound squareWave(int frequency, int milliseconds, int sampleRate) {
  PcmSound sound;
  sound.sampleRate = sampleRate;
  sound.channels = 1;
  sound.bitsPerSample = 16;
  if (frequency <= 0 || milliseconds <= 0) return sound;
  const int64_t count = int64_t{sampleRate} * milliseconds / 1000;
  sound.samples.resize(static_cast<size_t>(count) * 2);
  constexpr int16_t kLevel = 8192;
  for (int64_t i = 0; i < count; ++i) {
    // The first half of each period high, the second low.
    const bool high = (i * frequency * 2 / sampleRate) % 2 == 0;
    const int16_t v = high ? kLevel : static_cast<int16_t>(-kLevel);
    std::memcpy(&sound.samples[static_cast<size_t>(i) * 2], &v, 2);
  }
  return sound;
}

}  // namespace kestrel::platform
