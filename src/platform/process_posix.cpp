#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/paths.h"
#include "platform/process.h"

extern char** environ;

namespace kestrel::platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool endsWithExe(const std::string& name) {
  return name.size() > 4 && equalsIgnoringCase(std::string_view(name).substr(name.size() - 4), ".exe");
}

// The file for `path` as written, or without its ".exe" ending.
std::string executableFor(const std::string& path) {
  std::string candidate = translatePath(path);
  if (isExecutableFile(candidate)) return candidate;
  if (endsWithExe(path)) {
    candidate = translatePath(path.substr(0, path.size() - 4));
    if (isExecutableFile(candidate)) return candidate;
  }
  return {};
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  if (i == line.size()) return args;

  // The program name: quoted up to the next quote, or up to a blank.
  std::string program;
  if (line[i] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"') program += line[i++];
    if (i < line.size()) ++i;
  }
  while (i < line.size() && !isBlank(line[i])) program += line[i++];
  args.push_back(program);

  for (;;) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !isBlank(line[i]))) {
      if (line[i] == '\\') {
        size_t n = 0;
        while (i < line.size() && line[i] == '\\') ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

std::string findProgram(const std::string& name, const std::string& ownFolder) {
  if (name.empty()) return {};
  const std::string posixName = windowsToPosixPath(name);
  if (posixName.find('/') != std::string::npos) return executableFor(posixName);
  std::vector<std::string> folders;
  if (!ownFolder.empty()) folders.push_back(ownFolder);
  folders.emplace_back(".");
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const size_t colon = rest.find(':');
      std::string folder(rest.substr(0, colon));
      if (!folder.empty()) folders.push_back(folder);
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const std::string& folder : folders) {
    std::string found = executableFor(folder + "/" + posixName);
    if (!found.empty()) return found;
  }
  return {};
}

ProgramStart startProgram(std::string_view commandLine, bool wait, const std::string& ownFolder) {
  ProgramStart result;
  std::vector<std::string> args = splitCommandLine(commandLine);
  if (args.empty()) {
    result.error = ENOENT;
    return result;
  }
  const std::string program = findProgram(args[0], ownFolder);
  if (program.empty()) {
    result.error = ENOENT;
    return result;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    result.error = rc;
    return result;
  }
  if (!wait) {
    std::thread([pid] {
      int status;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
    return result;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) result.exitStatus = 128 + WTERMSIG(status);
  return result;
}

}  // namespace kestrel::platform
