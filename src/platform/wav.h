#pragma once
// Sound data: reading WAV (RIFF) files and making the square-wave tone.
#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel::platform {

// Interleaved samples ready for an audio device.
struct PcmSound {
  int sampleRate = 0;
  int channels = 0;
  // 8 (unsigned), 16 or 32 (signed) bits per sample, or 32-bit float.
  int bitsPerSample = 0;
  bool isFloat = false;
  std::vector<uint8_t> samples;
};

// The PCM content of a WAV file in memory (plain PCM of 8, 16, 24 or 32
// bits, 32-bit float, and the extensible form of these; 24-bit samples are
// widened to 32). Nothing for anything else, including truncated files.
std::optional<PcmSound> parseWav(const std::vector<uint8_t>& bytes);

// A square wave of `frequency` Hz lasting `milliseconds`, 16-bit mono at
// `sampleRate`, at a quarter of full scale.
PcmSound squareWave(int frequency, int milliseconds, int sampleRate = 22050);

}  // namespace kestrel::platform
