#include "platform/plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kestrel::platform {

namespace {

std::string executableFolder() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return ".";
  std::string path(self, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<std::string> pluginFolders() {
  if (const char* only = std::getenv("KESTREL_PLUGIN_DIR")) return {only};
  const std::string here = executableFolder();
  std::vector<std::string> folders{here, here + "/../lib/kestrel"};
#ifdef KESTREL_PLUGIN_INSTALL_DIR
  folders.emplace_back(KESTREL_PLUGIN_INSTALL_DIR);
#endif
  return folders;
}

}  // namespace

void* pluginSymbol(const std::string& fileName, const char* symbol, std::string& error) {
  error.clear();
  if (void* linkedIn = dlsym(RTLD_DEFAULT, symbol)) return linkedIn;  // a program built with the plug-in inside
  for (const std::string& folder : pluginFolders()) {
    const std::string path = folder + "/" + fileName;
    if (access(path.c_str(), F_OK) != 0) continue;
    // Global, so that the libraries it brings serve later plug-ins too.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (module == nullptr) {
      const char* why = dlerror();
      error = why != nullptr ? why : path + " does not load";
      continue;
    }
    if (void* address = dlsym(module, symbol)) return address;
    error = path + " lacks " + symbol;
  }
  if (error.empty()) error = fileName + " not found";
  return nullptr;
}

void* librarySymbol(const char* library, const char* symbol, std::string& error) {
  void* module = dlopen(library, RTLD_NOW | RTLD_LOCAL);  // loaded once: later calls find it open
  if (module == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : std::string(library) + " does not load";
    return nullptr;
  }
  void* address = dlsym(module, symbol);
  if (address == nullptr) error = std::string(library) + " lacks " + symbol;
  return address;
}

}  // namespace kestrel::platform
