// shell32: opening documents, folders and URLs (with xdg-open) and starting
// programs, without waiting for them.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "extcall/builtin_modules/builtin_module.h"
#include "extcall/builtin_modules/builtin_support.h"
#include "core/machine.h"

namespace kestrel::extcall::win {

namespace {

// Results below 33 are errors.
constexpr HANDLE kStarted = 42;
constexpr HANDLE kFileNotFound = 2;
constexpr HANDLE kPathNotFound = 3;
constexpr HANDLE kNoAssociation = 31;

bool isUrl(const std::string& s) {
  return s.find("://") != std::string::npos || strncasecmp(s.c_str(), "mailto:", 7) == 0;
}

bool executableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A program on the search path, or "".
std::string onPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (end > start && executableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// Parameters split the Windows way: blanks separate, double quotes group.
std::vector<std::string> splitParameters(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) parts.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) parts.push_back(current);
  return parts;
}

// Starts a detached process (a grandchild, so that no zombie is left).
bool startDetached(const std::vector<std::string>& argv, const std::string& folder) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      const int devNull = ::open("/dev/null", O_RDWR);
      if (devNull >= 0) dup2(devNull, 0);
      if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
      execv(args[0], args.data());
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return true;
}

HANDLE shellExecute(Address operation, Address file, Address parameters, Address folder) {
  const std::string verb = operation == 0 ? std::string("open") : textAt(operation);
  const std::string target = textAt(file);
  const std::string params = parameters == 0 ? std::string() : textAt(parameters);
  const std::string directory = folder == 0 ? std::string() : hostPath(textAt(folder));
  if (!directory.empty() && ::access(directory.c_str(), F_OK) != 0) return kPathNotFound;
  const bool url = isUrl(target);
  const std::string path = url ? target : hostPath(target);
  if (!url && ::access(path.c_str(), F_OK) != 0) return kFileNotFound;
  const bool open = verb.empty() || strcasecmp(verb.c_str(), "open") == 0;
  machine().out.flush();
  if (!url && open && executableFile(path)) {
    std::vector<std::string> argv{path.find('/') == std::string::npos ? "./" + path : path};
    for (std::string& p : splitParameters(params)) argv.push_back(std::move(p));
    return startDetached(argv, directory) ? kStarted : kNoAssociation;
  }
  if (!open && strcasecmp(verb.c_str(), "explore") != 0 && strcasecmp(verb.c_str(), "edit") != 0)
    return kNoAssociation;
  const std::string opener = onPath("xdg-open");
  if (opener.empty()) return kNoAssociation;
  return startDetached({opener, path}, directory) ? kStarted : kNoAssociation;
}

HANDLE ShellExecuteA(HANDLE, Address operation, Address file, Address parameters, Address folder, INT) {
  return guarded<HANDLE>(0, [&] { return shellExecute(operation, file, parameters, folder); });
}

const BuiltinFunction kFunctions[] = {KESTREL_EXPORT(ShellExecuteA)};

}  // namespace

}  // namespace kestrel::extcall::win

namespace kestrel::extcall {
const BuiltinModule kShell32Module{"shell32", win::kFunctions, std::size(win::kFunctions)};
}
