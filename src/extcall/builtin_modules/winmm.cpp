// winmm: the millisecond clock and sounds from files or memory.
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "core/system_state.h"
#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"
#include "extcall/program_memory.h"
#include "toolkit/toolkit.h"

namespace kestrel::extcall::win {

namespace {

constexpr DWORD kSoundAsync = 0x1;
constexpr DWORD kSoundMemory = 0x4;
constexpr DWORD kSoundLoop = 0x8;
constexpr DWORD kSoundAlias = 0x10000;
constexpr DWORD kSoundFileName = 0x20000;
constexpr DWORD kMaxWaveBytes = 1u << 30;

DWORD timeGetTime() { return static_cast<DWORD>(millisecondsSinceBoot()); }

UINT timeBeginPeriod(UINT) { return 0; }
UINT timeEndPeriod(UINT) { return 0; }

// WAV bytes held by the program: the RIFF header tells the length.
std::vector<uint8_t> waveAt(Address data) {
  uint8_t header[8];
  readMemory(data, header, sizeof header);
  if (std::memcmp(header, "RIFF", 4) != 0) return {};
  uint32_t length = 0;
  std::memcpy(&length, header + 4, 4);
  if (length > kMaxWaveBytes) return {};
  std::vector<uint8_t> bytes(length + 8u);
  readMemory(data, bytes.data(), bytes.size());
  return bytes;
}

BOOL playSound(Address sound, DWORD flags) {
  Toolkit& t = toolkit();
  if (sound == 0) {
    t.stopSound();
    return 1;
  }
  if ((flags & kSoundMemory) != 0) {
    const std::vector<uint8_t> wave = waveAt(sound);
    if (wave.empty()) return 0;
    playWav(wave, static_cast<int>(flags));
    return 1;
  }
  const std::string name = textAt(sound);
  if ((flags & kSoundAlias) != 0 && (flags & kSoundFileName) == 0) {
    t.beep();  // a system sound by name
    return 1;
  }
  const std::string path = hostPath(name);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> wave((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  playWav(wave, static_cast<int>(flags));
  return 1;
}

BOOL PlaySoundA(Address sound, HANDLE, DWORD flags) {
  return guarded<BOOL>(0, [&] { return playSound(sound, flags); });
}

BOOL sndPlaySoundA(Address sound, UINT flags) {
  return guarded<BOOL>(0, [&] {
    const DWORD f = (flags & (kSoundAsync | kSoundMemory | kSoundLoop)) | ((flags & kSoundMemory) ? 0 : kSoundFileName);
    return playSound(sound, f);
  });
}

const BuiltinFunction kFunctions[] = {
    KESTREL_EXPORT(PlaySoundA),      KESTREL_EXPORT(sndPlaySoundA), KESTREL_EXPORT(timeBeginPeriod),
    KESTREL_EXPORT(timeEndPeriod),   KESTREL_EXPORT(timeGetTime),
};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kWinmmModule{"winmm", win::kFunctions, std::size(win::kFunctions)};
}
