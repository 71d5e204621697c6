// kestrel: run, assemble, disassemble, extract and bind Kestrel programs.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "asm/kasm.h"
#include "asm/names.h"
#include "debug/post_mortem.h"
#include "debug/profile.h"
#include "debug/trace.h"
#include "doc/reference.h"
#include "image/program_image.h"
#include "interp/runner.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int kUsageError = 2;

const char* const kHelp =
    "Usage: kestrel COMMAND [OPTIONS] FILE ...\n"
    "\n"
    "FILE is a .kasm source, a program image, or an executable with an image appended:\n"
    "a bound Kestrel program, or a program built for the original platform.\n"
    "\n"
    "Commands:\n"
    "  run [OPTIONS] FILE [ARGS...]      run a program; ARGS are the program's own command line\n"
    "      --reference                   decode every statement afresh instead of using the fast path\n"
    "      --trace[=OUT]                 write each statement as it runs (standard error by default)\n"
    "      --profile[=OUT]               at the end, the statements and procedures that took the most time\n"
    "      --post-mortem                 on a run-time error, the calls, loops and variables as it left them\n"
    "  asm FILE -o IMAGE [--listing] [--names NAMES]\n"
    "                                    assemble a .kasm source into a program image; --listing prints\n"
    "                                    each line with its position, --names writes the source's names\n"
    "  dis FILE [--positions] [--names NAMES]\n"
    "                                    disassemble to standard output, with positions in comments and\n"
    "                                    the variable, parameter and label names of a names file\n"
    "  extract FILE -o IMAGE             write out the image that an executable carries\n"
    "  build FILE -o PROGRAM [--windowed] [--stub STUB]\n"
    "                                    bind a program to the run-time into a standalone executable\n"
    "  doc [-o FILE]                     write the reference of statements, functions and objects\n"
    "\n"
    "Options:\n"
    "  --help         show this help (also after a command)\n"
    "  --version      show the version\n"
    "  --no-warnings  assemble without the assembler's warnings\n"
    "\n"
    "A bound program reads one environment variable: KESTREL_POST_MORTEM=1 makes it print\n"
    "the post-mortem after a run-time error.\n"
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

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw kestrel::RuntimeError("Cannot open file " + path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A program as loaded: its image and, for a source, what the assembler knew.
struct Loaded {
  std::vector<uint8_t> image;
  std::shared_ptr<kestrel::SourceMap> source;
};

void printWarnings(const std::string& path, const std::vector<kestrel::kasm::Warning>& warnings) {
  for (const kestrel::kasm::Warning& w : warnings)
    std::fprintf(stderr, "%s:%d:%zu: warning: %s\n", path.c_str(), w.line, w.column, w.text.c_str());
}

// The image in FILE: a .kasm source is assembled (its warnings printed
// unless `quiet`), anything else is an image or carries one. A `lenient`
// load takes a file that is neither as a malformed image.
Loaded loadProgram(const std::string& path, bool quiet, bool lenient = false) {
  Loaded loaded;
  if (endsWith(path, ".kasm")) {
    kestrel::kasm::Assembly assembly = kestrel::kasm::assembleProgram(readText(path), directoryOf(path));
    if (!quiet) printWarnings(path, assembly.warnings);
    loaded.image = std::move(assembly.image);
    loaded.source = std::make_shared<kestrel::SourceMap>(std::move(assembly.map));
    loaded.source->file = path;
    return loaded;
  }
  const std::vector<uint8_t> bytes = kestrel::readWholeFile(path);
  try {
    loaded.image = bytes.empty() ? bytes : kestrel::imageInFile(bytes);
  } catch (const kestrel::ImageError&) {
    if (!lenient) throw;
    loaded.image = bytes;
  }
  return loaded;
}

bool writeFile(const std::string& path, const char* bytes, size_t size, bool executable) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes, static_cast<std::streamsize>(size));
  out.close();
  if (!out) return false;
  if (executable) chmod(path.c_str(), 0755);
  return true;
}

bool writeFile(const std::string& path, const std::string& text) {
  return writeFile(path, text.data(), text.size(), false);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes, bool executable) {
  return writeFile(path, reinterpret_cast<const char*>(bytes.data()), bytes.size(), executable);
}

int reportError(const std::string& path, const kestrel::kasm::AsmError& e) {
  std::fprintf(stderr, "%s:%d:%zu: error: %s\n", path.c_str(), e.line, e.column, e.what());
  return 1;
}

// Runs `body`, turning the errors of loading and assembling into messages.
template <typename Body>
int guarded(const std::string& path, Body body) {
  try {
    return body();
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(path, e);
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: %s\n", e.what());
    return 1;
  }
}

// An output stream named by --trace=OUT or --profile=OUT (standard error without one).
std::FILE* openReport(const std::string& option, const std::string& name) {
  const size_t equals = option.find('=');
  if (equals == std::string::npos) return stderr;
  const std::string path = option.substr(equals + 1);
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) std::fprintf(stderr, "kestrel: cannot write the %s to %s\n", name.c_str(), path.c_str());
  return f;
}

int runCommand(std::vector<std::string> args) {
  kestrel::MachineOptions options;
  bool quiet = false;
  std::string trace, profile;
  while (!args.empty() && args[0].rfind("--", 0) == 0) {
    const std::string& a = args[0];
    if (a == "--reference") options.useFastPath = false;
    else if (a == "--trace" || a.rfind("--trace=", 0) == 0) trace = a;
    else if (a == "--profile" || a.rfind("--profile=", 0) == 0) profile = a;
    else if (a == "--post-mortem") options.afterError = kestrel::debug::postMortemToStderr;
    else if (a == "--no-warnings") quiet = true;
    else return usage("unknown option " + a + " for run");
    args.erase(args.begin());
  }
  if (args.empty()) return usage("run needs a FILE");
  if (!trace.empty() && !profile.empty()) return usage("run takes --trace or --profile, not both");
  const std::string path = args[0];
  options.executablePath = path;
  options.arguments.assign(args.begin() + 1, args.end());
  Loaded loaded;
  try {
    loaded = loadProgram(path, quiet);
  } catch (const kestrel::kasm::AsmError& e) {
    return reportError(path, e);
  } catch (const kestrel::RuntimeError& e) {
    std::fprintf(stderr, "kestrel: run-time error: %s\n", e.what());
    return 1;
  }
  options.source = loaded.source;
  std::unique_ptr<kestrel::RunObserver> observer;
  std::FILE* report = nullptr;
  if (!trace.empty() || !profile.empty()) {
    report = trace.empty() ? openReport(profile, "profile") : openReport(trace, "trace");
    if (!report) return 1;
    if (!trace.empty()) {
      observer = std::make_unique<kestrel::debug::Trace>(report);
      options.useFastPath = false;  // every statement goes through the decoder, and so past the trace
    } else {
      observer = std::make_unique<kestrel::debug::Profile>(report);
    }
    options.observer = observer.get();
  }
  const int status = kestrel::runImage(std::move(loaded.image), std::move(options));
  if (report && report != stderr) std::fclose(report);
  return status;
}

// Splits "FILE -o OUT --names NAMES" style arguments; other "--" words are flags.
bool fileAndOutput(std::vector<std::string> args, std::string& file, std::string& output, std::string& names,
                   std::vector<std::string>& flags) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
    else if (args[i] == "--names" && i + 1 < args.size()) names = args[++i];
    else if (args[i].rfind("--", 0) == 0) flags.push_back(args[i]);
    else if (file.empty()) file = args[i];
    else return false;
  }
  return !file.empty();
}

int asmCommand(const std::vector<std::string>& args) {
  std::string file, output, names;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, names, flags)) return usage("asm needs FILE -o IMAGE");
  bool listing = false, quiet = false;
  for (const std::string& f : flags) {
    if (f == "--listing") listing = true;
    else if (f == "--no-warnings") quiet = true;
    else return usage("unknown option " + f + " for asm");
  }
  if (output.empty() && !listing) return usage("asm needs FILE -o IMAGE (or --listing)");
  return guarded(file, [&] {
    const std::string source = readText(file);
    const kestrel::kasm::Assembly assembly = kestrel::kasm::assembleProgram(source, directoryOf(file));
    if (!quiet) printWarnings(file, assembly.warnings);
    if (listing) std::fputs(kestrel::kasm::listing(assembly, source).c_str(), stdout);
    if (!output.empty() && !writeFile(output, assembly.image, false)) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", output.c_str());
      return 1;
    }
    if (!names.empty() && !writeFile(names, kestrel::kasm::writeNamesFile(assembly.map))) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", names.c_str());
      return 1;
    }
    return 0;
  });
}

int disCommand(const std::vector<std::string>& args) {
  std::string file, output, names;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, names, flags) || !output.empty()) return usage("dis needs one FILE");
  kestrel::kasm::DisassemblyOptions options;
  for (const std::string& f : flags) {
    if (f == "--positions") options.positions = true;
    else if (f == "--no-warnings") continue;
    else return usage("unknown option " + f + " for dis");
  }
  kestrel::SourceMap map;
  if (!names.empty()) {
    const int status = guarded(names, [&] {
      map = kestrel::kasm::readNamesFile(readText(names));
      return 0;
    });
    if (status != 0) return status;
    options.names = &map;
  }
  return guarded(file, [&] {
    const Loaded loaded = loadProgram(file, true, true);
    std::fputs(kestrel::kasm::disassemble(loaded.image, options).c_str(), stdout);
    return 0;
  });
}

int extractCommand(const std::vector<std::string>& args) {
  std::string file, output, names;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, names, flags) || output.empty() || !flags.empty() || !names.empty())
    return usage("extract needs FILE -o IMAGE");
  return guarded(file, [&] {
    const std::vector<uint8_t> image = kestrel::imageInFile(kestrel::readWholeFile(file));
    if (image.empty()) {
      std::fprintf(stderr, "kestrel: %s carries no program image\n", file.c_str());
      return 1;
    }
    if (!writeFile(output, image, false)) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", output.c_str());
      return 1;
    }
    return 0;
  });
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
  std::string file, output, names;
  std::vector<std::string> flags;
  if (!fileAndOutput(args, file, output, names, flags) || output.empty() || !names.empty())
    return usage("build needs FILE -o PROGRAM");
  bool windowed = false, quiet = false;
  for (const std::string& f : flags) {
    if (f == "--windowed") windowed = true;
    else if (f == "--no-warnings") quiet = true;
    else return usage("unknown option " + f + " for build");
  }
  if (stub.empty()) stub = selfDirectory() + (windowed ? "/kestrel-rtw" : "/kestrel-rt");
  return guarded(file, [&] {
    const Loaded loaded = loadProgram(file, quiet);
    kestrel::parseImage(loaded.image);  // refuse to bind an image that cannot run
    std::vector<uint8_t> stubBytes = kestrel::readWholeFile(stub);
    if (!writeFile(output, kestrel::bindImage(stubBytes, loaded.image), true)) {
      std::fprintf(stderr, "kestrel: cannot write %s\n", output.c_str());
      return 1;
    }
    return 0;
  });
}

int docCommand(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::fputs(kestrel::doc::referenceText().c_str(), stdout);
    return 0;
  }
  if (args.size() != 2 || args[0] != "-o") return usage("doc takes no arguments but -o FILE");
  const std::string text = kestrel::doc::referenceText();
  if (!writeFile(args[1], std::vector<uint8_t>(text.begin(), text.end()), false)) {
    std::fprintf(stderr, "kestrel: cannot write %s\n", args[1].c_str());
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
  if (command == "extract") return extractCommand(args);
  if (command == "build") return buildCommand(args);
  if (command == "doc") return docCommand(args);
  return usage("unknown command '" + command + "'");
}
