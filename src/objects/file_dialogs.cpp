// The open dialog (type 44) and the save dialog (45): a title, a filter,
// the filter chosen, a folder to start in and a file name, kept between
// runs; Execute asks the toolkit for the dialog. Names the program gives
// are Windows-style and translated; the name chosen is this system's.
#include "events/dispatch.h"
#include "objects/file_dialogs.h"
#include "objects/member_operands.h"
#include "objects/member_rows.h"
#include "platform/paths.h"
#include "toolkit/file_dialog.h"
#include "toolkit/toolkit.h"

namespace kestrel::objects {

namespace {

class FileDialog : public Object {
 public:
  explicit FileDialog(int type) : Object(type) {}
  Str title;
  Str filter;
  int32_t filterIndex = 1;
  Str initialDir;
  Str fileName;

  bool execute(Machine& m);
};

// A filter index of 0 or past the pairs shows the first pair. The index
// and the name change only when the user chose a file.
bool FileDialog::execute(Machine& m) {
  if (sandboxed(m)) return false;  // no dialogs in the sandbox
  gui::FileDialogRequest request;
  request.save = classCode() == kSaveDialogType;
  request.title = title.str();
  request.filters = gui::translateFilter(filter.view());
  const auto pairs = static_cast<int32_t>(request.filters.size());
  request.filterIndex = filterIndex >= 1 && filterIndex <= pairs ? filterIndex : 1;
  if (!initialDir.empty()) request.directory = platform::translatePath(initialDir.view());
  if (!fileName.empty()) request.fileName = platform::translatePath(fileName.view());
  const bool chosen = toolkit().showFileDialog(request);
  events::checkPendingEnd(m);  // a handler that ran meanwhile ended the program
  if (!chosen) return false;
  fileName = Str(request.fileName);
  filterIndex = request.filterIndex;
  return true;
}

std::vector<Member<FileDialog>> fileDialogRows() {
  using D = FileDialog;
  return {
      field<&D::title>(0, "Title", "the dialog's caption (empty: the dialog's own)"),
      field<&D::filter>(1, "Filter", "description|patterns pairs, e.g. \"Text (*.txt)|*.txt;*.log|All (*.*)|*.*\""),
      field<&D::filterIndex>(2, "FilterIndex",
                             "the pair shown first, from 1 (0 or past the pairs: 1); after Execute the pair chosen"),
      field<&D::initialDir>(3, "InitialDir", "the folder the dialog starts in (empty: the current folder)"),
      {4, "Execute", "", [](Machine& m, D& d) { d.execute(m); },
       "", [](Machine& m, D& d, EvalStacks& s) { pushBool(s, d.execute(m)); },
       "shows the dialog; as an expression 1 when the user chose a file, else 0"},
      field<&D::fileName>(5, "FileName",
                          "the name proposed; after Execute the full name of the file chosen (a path of this system)"),
  };
}

std::unique_ptr<Object> createFileDialog(Machine&, int type, int32_t) { return std::make_unique<FileDialog>(type); }

}  // namespace

void registerFileDialogTypes(TypeRegistry& registry) {
  static const std::vector<Member<FileDialog>> rows = fileDialogRows();
  registry.add(describeType(kOpenDialogType, "opendialog", rows, createFileDialog));
  registry.add(describeType(kSaveDialogType, "savedialog", rows, createFileDialog));
}

}  // namespace kestrel::objects
