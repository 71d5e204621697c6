#pragma once
// What the engine and the toolkit exchange about the open and save
// dialogs, and the programs' filter strings in the toolkit's form. Nothing
// here depends on a window system.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::gui {

struct FileDialogRequest {
  bool save = false;
  std::string title;                 // program text; "" gives the dialog's own
  std::vector<std::string> filters;  // program text in Qt's form (translateFilter)
  int filterIndex = 1;               // 1-based; in: shown first, out: the one chosen
  std::string directory;             // a host path; "" is the current folder
  std::string fileName;              // in: the name proposed; out: the first file chosen (host paths)
  std::string defaultExtension;      // added, with a dot, to a name typed without one
  bool multiSelect = false;
  bool fileMustExist = false;
  bool overwritePrompt = false;
  std::vector<std::string> files;  // out: every file chosen, full host paths
};

// The programs' filter, description and patterns alternating between bars
// ("Text (*.txt)|*.txt;*.log|All (*.*)|*.*"), as Qt's name filters
// ("Text (*.txt *.log)", "All (*)"). A piece left over without patterns is
// dropped; an empty filter (or one without a whole pair) shows all files.
std::vector<std::string> translateFilter(std::string_view filter);

}  // namespace kestrel::gui
