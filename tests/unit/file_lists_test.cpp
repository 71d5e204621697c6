// File list boxes and directory trees on the null toolkit, over a folder
// each test makes: masks, kinds of entry, the directory path rules, the
// synchronous tree, its kinds of folder, Reload's fall-back to the root,
// FullExpand over a symbolic-link loop and its node cap, and the process's
// current directory left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "objects/controls/dir_tree.h"
#include "objects/controls/directory_model.h"
#include "objects/controls/file_list_box.h"
#include "platform/directory_listing.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;
namespace fs = std::filesystem;

namespace {

// A folder of its own: a.txt, B.TXT, c.ini, noext, .hidden, ro.txt (no
// write permission), sub/ with deep/ and a link back up (loop), .hdir/.
struct Folder {
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "kestrel-lists-XXXXXX").string();
    path = mkdtemp(pattern.data());
    for (const char* name : {"a.txt", "B.TXT", "c.ini", "noext", ".hidden", "ro.txt"}) std::ofstream(path + "/" + name);
    chmod((path + "/ro.txt").c_str(), 0444);
    fs::create_directories(path + "/sub/deep");
    fs::create_directories(path + "/.hdir");
    fs::create_directory_symlink("..", path + "/sub/loop");
  }
  ~Folder() { fs::remove_all(path); }
  std::string path;
};

using FileProgram = testsupport::UnitProgram;

std::string names(FileListBox& f) {
  std::string out;
  for (const Str& s : f.items().texts()) out += (out.empty() ? "" : " ") + s.str();
  return out;
}

std::string childrenOf(const DirectoryModel& model, int32_t parent) {
  std::string out;
  for (size_t i = 0; i < model.size(); ++i)
    if (model.node(static_cast<int32_t>(i))->parent == parent)
      out += (out.empty() ? "" : " ") + model.node(static_cast<int32_t>(i))->name;
  return out;
}

int32_t nodeNamed(const DirectoryModel& model, const std::string& path) {
  for (size_t i = 0; i < model.size(); ++i)
    if (model.node(static_cast<int32_t>(i))->path == path) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

TEST(FileMasks, SeparatedByStopsInEitherCase) {
  EXPECT_TRUE(matchesFileMask("*.txt", "A.TXT"));
  EXPECT_TRUE(matchesFileMask("*.ini; *.txt", "a.txt"));
  EXPECT_FALSE(matchesFileMask("*.ini;*.doc", "a.txt"));
  EXPECT_TRUE(matchesFileMask("*.*", "noext")) << "*.* takes names without a dot";
  EXPECT_TRUE(matchesFileMask("", "noext")) << "no mask is *.*";
  EXPECT_TRUE(matchesFileMask("?.ini", "c.ini"));
  EXPECT_FALSE(matchesFileMask(";;", "c.ini"));
}

TEST(FileListBoxes, KindsMasksAndTheDirectory) {
  Folder folder;
  const std::string cwd = platform::currentDirectory();
  FileProgram p("    dim int:9\n    dim filelistbox:0\n    set filelistbox:0.Directory = \"" + folder.path + "\"\n");
  ASSERT_EQ(p.run(), "");
  auto& f = world(p.m).as<FileListBox>(kFileListBoxType, 0);
  EXPECT_EQ(names(f), "a.txt B.TXT c.ini noext ro.txt") << "normal files, in either case's order";
  EXPECT_EQ(f.fileKinds(), 1 << kFileNormal);
  f.removeFileKind(kFileNormal);
  EXPECT_EQ(names(f), "");
  f.addFileKind(kFileReadOnly);
  EXPECT_EQ(names(f), "ro.txt");
  f.addFileKind(kFileDirectory);
  f.addFileKind(kFileHidden);
  EXPECT_EQ(names(f), ".hdir ro.txt sub") << "hidden folders need both kinds";
  f.addFileKind(kFileArchive);
  f.addFileKind(9);
  EXPECT_EQ(names(f), ".hdir .hidden a.txt B.TXT c.ini noext ro.txt sub");
  f.removeFileKind(kFileHidden);
  f.setMask(Str("*.TXT;*.ini"));
  EXPECT_EQ(names(f), "a.txt B.TXT c.ini ro.txt");
  // A path with wildcards sets the directory and the mask; a file's path
  // picks the file; "C:" and backslashes are translated.
  f.setDirectory(Str(folder.path + "/sub"));
  EXPECT_EQ(f.directory().str(), folder.path + "/sub");
  f.setDirectory(Str("C:" + folder.path + "\\*.ini"));
  EXPECT_EQ(f.mask().str(), "*.ini");
  EXPECT_EQ(f.directory().str(), folder.path);
  f.setMask(Str("*.*"));
  f.setDirectory(Str("sub/../b.txt"));
  EXPECT_EQ(f.fileName().str(), folder.path + "/B.TXT") << "relative to the list's directory, case found";
  EXPECT_EQ(f.drive().str(), "C");
  EXPECT_THROW(f.setDirectory(Str("")), RuntimeError);
  EXPECT_THROW(f.setDirectory(Str(folder.path + "/none/x.txt")), RuntimeError);
  EXPECT_EQ(platform::currentDirectory(), cwd) << "the process's directory never changes";
}

TEST(FileListBoxes, ChangeRunsWhenTheFileNameChanges) {
  Folder folder;
  FileProgram p("    dim int:9\n    dim filelistbox:0\n    set filelistbox:0.OnChange = changed\n    set filelistbox:0.Directory = \"" +
                folder.path + "\"\n    goto done\n.proc changed\n    let int:0 = int:0 + 1\n"
                "    let int:1 = arg.filelistbox:0.ItemIndex\n    endproc\ndone:\n");
  ASSERT_EQ(p.run(), "");
  auto& f = world(p.m).as<FileListBox>(kFileListBoxType, 0);
  EXPECT_EQ(p.number(0), 0) << "no file was selected before or after";
  f.userSelected(1, {});
  f.userSelected(1, {});
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.number(1), 1);
  f.reload();
  EXPECT_EQ(p.number(0), 2) << "reading again leaves no file selected";
}

TEST(DirectoryModel, RevealsPathsAndFiltersKinds) {
  Folder folder;
  DirectoryModel model(folder.path);
  model.rebuild(true);
  EXPECT_EQ(model.reveal(folder.path + "/nothing"), -1);
  EXPECT_EQ(model.reveal("/"), -1) << "outside the root";
  const int32_t deep = model.reveal(folder.path + "/sub/deep");
  ASSERT_GE(deep, 0);
  EXPECT_EQ(model.node(deep)->path, folder.path + "/sub/deep");
  EXPECT_EQ(childrenOf(model, 0), "sub") << "hidden folders are left out";
  EXPECT_EQ(childrenOf(model, nodeNamed(model, folder.path + "/sub")), "deep loop");
  EXPECT_TRUE(model.node(nodeNamed(model, folder.path + "/sub"))->expanded);
  EXPECT_EQ(model.node(1000), nullptr);
  model.setKinds((1 << kDirNormal) | (1 << kDirHidden));
  model.rebuild(true);
  model.load(0);
  EXPECT_EQ(childrenOf(model, 0), ".hdir sub");
  model.setKinds(1 << kDirReadOnly);
  model.rebuild(true);
  EXPECT_GE(model.reveal(folder.path + "/sub"), 0) << "a folder the kinds leave out still shows when revealed";
}

TEST(DirectoryModel, ExpandAllDoesNotFollowLinksAndStopsAtTheCap) {
  Folder folder;
  for (int i = 0; i < 30; ++i) fs::create_directories(folder.path + "/sub/deep/n" + std::to_string(i));
  DirectoryModel model(folder.path);
  model.rebuild(true);
  model.expandAll(100000);
  const int32_t loop = nodeNamed(model, folder.path + "/sub/loop");
  ASSERT_GE(loop, 0);
  EXPECT_TRUE(model.node(loop)->link);
  EXPECT_FALSE(model.node(loop)->expanded) << "a link is never opened";
  EXPECT_TRUE(model.node(nodeNamed(model, folder.path + "/sub/deep"))->expanded);
  EXPECT_EQ(model.size(), 34u);
  model.rebuild(true);
  model.expandAll(3);
  EXPECT_LE(model.size(), 4u) << "stops once the cap is reached (the last folder read whole)";
  model.collapseAll();
  EXPECT_FALSE(model.node(0)->expanded);
}

// The tree selects at once, reports its own index as the sender, and falls
// back to the root when the selected folder is gone.
TEST(DirTrees, SelectionIsThereAtOnce) {
  Folder folder;
  const std::string cwd = platform::currentDirectory();
  FileProgram p(R"(
    dim int:9
    dim dirtree:0
    dim dirtree:1
    dim str:1
    set dirtree:1.OnChange = changed
    let int:5 = dirtree:1.AddDriveTypes
    set dirtree:1.RemoveDriveTypes = 4
    let int:6 = dirtree:1.AddDriveTypes
    goto done
.proc changed
    let int:0 = int:0 + 1
    let int:1 = arg.dirtree:0.AddDirTypes
    let str:1 = arg.dirtree:0.SelectedDirectory
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(5), 0x3E);
  EXPECT_EQ(p.number(6), 0x2E);
  auto& t = world(p.m).as<DirTree>(kDirTreeType, 1);
  EXPECT_EQ(t.selectedDirectory().str(), cwd) << "at first the current directory";
  t.setDirectory(Str(folder.path + "/sub/deep"));
  EXPECT_EQ(t.selectedDirectory().str(), folder.path + "/sub/deep");
  EXPECT_EQ(p.m.vars.stringAt(1).str(), folder.path + "/sub/deep") << "the sender is the tree itself";
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.number(1), (1 << kDirReadOnly) | (1 << kDirNormal));
  t.setDirectory(Str(folder.path + "/sub/deep"));
  EXPECT_EQ(p.number(0), 1) << "the same folder again is no change";
  EXPECT_EQ(t.directory().str(), folder.path + "/sub/deep");
  EXPECT_THROW(t.setDirectory(Str("")), RuntimeError);
  EXPECT_THROW(t.setDirectory(Str(folder.path + "/a.txt")), RuntimeError);
  fs::remove_all(folder.path + "/sub");
  t.reload();
  EXPECT_EQ(t.selectedDirectory().str(), "/") << "the root of its drive";
  EXPECT_EQ(p.number(0), 2);
  t.removeDriveKind(kDriveFixed);
  EXPECT_EQ(t.selectedDirectory().str(), "?") << "no drive, no selection";
  EXPECT_EQ(t.peer().nodes().size(), 0u);
  EXPECT_EQ(platform::currentDirectory(), cwd);
}

TEST(DirTrees, ParentTakesOutRemovableDrives) {
  FileProgram p(R"(
    dim int:9
    dim panel:0
    dim dirtree:0
    set dirtree:0.AddDriveTypes = 1
    let int:0 = dirtree:0.AddDriveTypes
    set dirtree:0.Parent = panel:0
    let int:1 = dirtree:0.AddDriveTypes
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(static_cast<int>(p.number(0)) & 2, 2);
  EXPECT_EQ(static_cast<int>(p.number(1)) & 2, 0) << "even though the program had added them";
}

// The peer hears of every node the model adds, opens and selects; the
// user's actions reach the model.
TEST(DirTrees, PeerFollowsTheModel) {
  Folder folder;
  FileProgram p("    dim int:9\n    dim dirtree:0\n    set dirtree:0.Directory = \"" + folder.path + "\"\n");
  ASSERT_EQ(p.run(), "");
  auto& t = world(p.m).as<DirTree>(kDirTreeType, 0);
  const auto& nodes = t.peer().nodes();
  ASSERT_EQ(nodes.size(), t.model().size());
  const int32_t here = t.peer().selected();
  ASSERT_GE(here, 0);
  EXPECT_EQ(nodes[static_cast<size_t>(here)].text, fs::path(folder.path).filename().string());
  EXPECT_EQ(nodes[0].text, "C:");
  EXPECT_TRUE(nodes[0].drive);
  t.userExpanded(here);
  const int32_t sub = nodeNamed(t.model(), folder.path + "/sub");
  ASSERT_GE(sub, 0);
  EXPECT_EQ(nodes[static_cast<size_t>(sub)].text, "sub");
  t.userSelected(sub);
  EXPECT_EQ(t.selectedDirectory().str(), folder.path + "/sub");
  t.userExpanded(sub);
  t.userCollapsed(sub);
  EXPECT_FALSE(nodes[static_cast<size_t>(sub)].expanded);
  t.userExpanded(99999);  // numbers from outside are checked
  t.userSelected(-4);
  EXPECT_EQ(t.selectedDirectory().str(), folder.path + "/sub");
}
