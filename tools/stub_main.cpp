// The run-time stub: runs the program image appended to its own file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "debug/post_mortem.h"
#include "interp/runner.h"
#include "toolkit/toolkit.h"

int main(int argc, char** argv) {
  kestrel::useToolkitPlugin();
  kestrel::MachineOptions options;
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  options.executablePath = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
  for (int i = 1; i < argc; ++i) options.arguments.emplace_back(argv[i]);
#ifdef KESTREL_WINDOWED
  options.windowed = true;
#endif
  // The one setting a bound program reads of its own: the post-mortem after a run-time error.
  const char* postMortem = std::getenv("KESTREL_POST_MORTEM");
  if (postMortem && std::string(postMortem) == "1") options.afterError = kestrel::debug::postMortemToStderr;
  std::vector<uint8_t> image;
  try {
    image = kestrel::imageFromExecutable("/proc/self/exe");
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: run-time error: %s\n", e.what());
    return 1;
  }
  return kestrel::runImage(std::move(image), std::move(options));
}
