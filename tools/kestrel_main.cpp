// kestrel: run, assemble, disassemble and bind Kestrel programs.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "asm/kasm.h"
#include "image/program_image.h"
#include "interp/runner.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int kUsageError = 2;

const char* const kHelp =
    "Usage: kestrel COMMAND [OPTIONS] FILE ...\n"
    "\n"
    "Commands:\n"
    "  run [--reference] FILE [ARGS...]  run a program (.kasm source, image or bound program);\n"
    "                                    ARGS are the program's own command line\n"
    "  asm FILE -o IMAGE                 assemble a .kasm source into a program image\n"
    "  dis FILE                          disassemble an image or bound program to standard output\n"
    "  build FILE -o PROGRAM [--windowed] [--stub STUB]\n"
    "                                    bind a program to the run-time into a standalone executable\n"
    "\n"
    "Options:\n"
    "  --help       show this help (also after a command)\n"
    "  --version    show the version\n"
    "  --reference  decode every statement afresh instead of using the fast path (slower)\n"
    "\n"
    "Exit status: 0 on success, 1 on a run-time or assembly error, 2 on bad usage.\n";

int usage(const std::string& why) {
  std::fprintf(stderr, "kestrel: %s\nTry 'kestrel --help'.\n", why.c_str());
  return kUsageError;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string selfDirectory() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  buf[n] = 0;
  return directoryOf(buf);
}

// The image in FILE: a .kasm source is assembled, a bound program is read
// through its trailer, anything else is taken as an image.
std::vector<uint8_t> loadProgram(const std::string& path) {
  if (endsWith(path, ".kasm")) {
    std::ifstream in(path);
    if (!in) throw kestrel::RuntimeError("Cannot open file " + path);
    std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return kestrel::kasm::assemble(source, directoryOf(path));
  }
  std::vector<uint8_t> bytes = kestrel::readWholeFile(path);
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "\x7f" "ELF", 4) == 0) return kestrel::imageFromBound(bytes);
  return bytes;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return false;
  if (executable) chmod(path.c_str(), 0755);
  return true;
}

int reportError(const std::string& path, const kestrel::kasm::AsmError& e) {
  std::fprintf(stderr, "%s:%d:%zu: error: %s\n", path.c_str(), e.line, e.column, e.what());
  return 1;
}

int runCommand(std::vector<std::string> args) {
  kestrel::MachineOptions options;
  while (!args.empty() && args[0].rfind("--", 0) == 0) {
    if (args[0] == "--reference") options.useFastPath = false;
    else return usage("unknown option " + args[0] + " for run");
    args.erase(args.begin());
  }
  if (args.empty()) return usage("run needs a FILE");
  const std::string path = args[0];
  options.executablePath = path;
  options.arguments.assign(args.begin() + 1, args.end());
  std::vector<uint8_t> image;
  try {
    image = loadProgram(path);
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(path, e);
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: run-time error: %s\n", e.what());
    return 1;
  }
  return kestrel::runImage(std::move(image), std::move(options));
}

// Splits "FILE -o OUT" style arguments.
bool fileAndOutput(std::vector<std::string> args, std::string& file, std::string& output,
                   std::vector<std::string>& flags) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
    else if (args[i].rfind("--", 0) == 0) flags.push_back(args[i]);
    else if (file.empty()) file = args[i];
    else return false;
  }
  return !file.empty();
}

int asmCommand(const std::vector<std::string>& args) {
  std::string file, output;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, flags) || output.empty() || !flags.empty())
    return usage("asm needs FILE -o IMAGE");
  try {
    std::ifstream in(file);
    if (!in) {
      std::fprintf(stderr, "kestrel: cannot open %s\n", file.c_str());
      return 1;
    }
    std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!writeFile(output, kestrel::kasm::assemble(source, directoryOf(file)), false)) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", output.c_str());
      return 1;
    }
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(file, e);
  }
  return 0;
}

int disCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage("dis needs one FILE");
  try {
    std::vector<uint8_t> image = loadProgram(args[0]);
    std::fputs(kestrel::kasm::disassemble(image).c_str(), stdout);
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(args[0], e);
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: %s\n", e.what());
    return 1;
  }
  return 0;
}

int buildCommand(std::vector<std::string> args) {
  std::string stub;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--stub") {
      stub = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      break;
    }
  }
  std::string file, output;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, flags) || output.empty()) return usage("build needs FILE -o PROGRAM");
  bool windowed = false;
  for (const std::string& f : flags) {
    if (f == "--windowed") windowed = true;
    else return usage("unknown option " + f + " for build");
  }
  if (stub.empty()) stub = selfDirectory() + (windowed ? "/kestrel-rtw" : "/kestrel-rt");
  try {
    std::vector<uint8_t> image = loadProgram(file);
    kestrel::parseImage(image);  // refuse to bind an image that cannot run
    std::vector<uint8_t> stubBytes = kestrel::readWholeFile(stub);
    if (!writeFile(output, kestrel::bindImage(stubBytes, image), true)) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", output.c_str());
      return 1;
    }
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(file, e);
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kestrel::useToolkitPlugin();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage("no command given");
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("kestrel %s\n", KESTREL_VERSION);
    return 0;
  }
  // --help anywhere before the program's own arguments.
  for (const std::string& a : args) {
    if (command == "run" && a.rfind("--", 0) != 0) break;
    if (a == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("kestrel %s\n", KESTREL_VERSION);
      return 0;
    }
  }
  if (command == "run") return runCommand(args);
  if (command == "asm") return asmCommand(args);
  if (command == "dis") return disCommand(args);
  if (command == "build") return buildCommand(args);
  return usage("unknown command '" + command + "'");
}
