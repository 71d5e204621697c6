// Tree views on the null toolkit: the absolute-index cache against a plain
// depth-first list, the node members as programs use them, the vetoable
// and deletion events (also when their handlers edit the tree), the
// image-index events during painting, and the tree files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/controls/tree_nodes.h"
#include "objects/controls/tree_view.h"
#include "objects/image_list.h"
#include "platform/files.h"
#include "state/store_kinds.h"
#include "toolkit/toolkit.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct TreeProgram {
  explicit TreeProgram(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(3, m.vars.scalarAt(3, index)); }
  TreeView& tree() { return world(m).as<TreeView>(kTreeViewType, 0); }
  Machine m;
};

// The texts in depth-first order, each led by its level in dots.
std::string outline(NodeTree& nodes) {
  std::string out;
  for (TreeNode* n = nodes.at(0); n != nullptr; n = nodes.next(n))
    out += std::string(static_cast<size_t>(NodeTree::level(n)), '.') + n->text.str() + " ";
  return out;
}

std::string tempDir() {
  const auto dir = std::filesystem::temp_directory_path() / ("kestrel_tree_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

}  // namespace

// Random inserts and removals anywhere, each followed by lookups in both
// directions, against the depth-first list built from scratch.
TEST(TreeNodes, IndexCacheAgreesWithAPlainWalk) {
  NodeTree tree;
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    const int32_t count = tree.count();
    if (count > 0 && random() % 4 == 0) {
      NodeTree::destroy(tree.detach(tree.at(static_cast<int64_t>(random() % count))));
    } else {
      TreeNode* parent = count == 0 || random() % 3 == 0 ? tree.root() : tree.at(random() % count);
      tree.insert(parent, static_cast<int32_t>(random() % (parent->childCount() + 1)), "n");
    }
    if (step % 50 != 0) continue;
    int32_t expected = 0;
    for (TreeNode* n = tree.at(0); n != nullptr; n = tree.next(n), ++expected) {
      ASSERT_EQ(tree.indexOf(n), expected) << "step " << step;
      ASSERT_EQ(tree.at(expected), n) << "step " << step;
      ASSERT_EQ(n->parent()->child(tree.rowOf(n)), n);
    }
    ASSERT_EQ(expected, tree.count());
  }
}

// Lookups along a deep chain, and freeing it.
TEST(TreeNodes, DeepChains) {
  auto tree = std::make_unique<NodeTree>();
  TreeNode* n = tree->root();
  for (int i = 0; i < 3000; ++i) n = tree->insert(n, 0, "d");
  EXPECT_EQ(tree->indexOf(n), 2999);
  EXPECT_EQ(tree->at(2999), n);
  EXPECT_EQ(NodeTree::level(n), 2999);
  tree.reset();
}

TEST(TreeViews, NodeMembers) {
  TreeProgram r(R"(
    dim treeview:0
    dim int:20
    let int:0 = treeview:0.Selected
    let int:1 = treeview:0.TopItem
    set treeview:0.Add = "b", "a"
    set treeview:0.AddChild = 0, "b1", "b2"
    set treeview:0.AddChild = 1,
    set treeview:0.Insert = 3, "a0"
    let int:2 = treeview:0.Count
    let int:3 = treeview:0.Node(2, 4)
    let int:4 = treeview:0.Node(2, 5)
    let int:5 = treeview:0.Node(4, 6)
    let int:6 = treeview:0.Node(0, 4)
    let int:7 = treeview:0.Node(0, 77)
    set treeview:0.Node = 1.9, 1, 6.7
    let int:8 = treeview:0.Node(1, 1)
    set treeview:0.Selected = 2
    let int:9 = treeview:0.Node(2, 8)
    let int:10 = treeview:0.Selected
    set treeview:0.Node = 4, 0, "A"
    set treeview:0.Node = 0, 4, 1
    let int:11 = treeview:0.Node(1, 7)
    set treeview:0.Node = 1, 7, 1
    let int:12 = treeview:0.Node(1, 7)
    let int:13 = treeview:0.Node(9, 0)
)");
  EXPECT_EQ(r.run(), "List index out of bounds (9)");
  EXPECT_EQ(r.number(0), -1) << "nothing selected in an empty tree";
  EXPECT_EQ(r.number(1), -1);
  EXPECT_EQ(outline(r.tree().nodes()), "b .b1 .b2 a0 A ");
  EXPECT_EQ(r.number(2), 5) << "an empty child list adds nothing";
  EXPECT_EQ(r.number(3), 0);
  EXPECT_EQ(r.number(4), 1);
  EXPECT_EQ(r.number(5), 2);
  EXPECT_EQ(r.number(6), 2);
  EXPECT_EQ(r.number(7), 0) << "an unknown selector reads 0";
  EXPECT_EQ(r.number(8), 6) << "index and value cut toward zero";
  EXPECT_EQ(r.number(9), 1);
  EXPECT_EQ(r.number(10), 2);
  EXPECT_EQ(r.number(11), 0);
  EXPECT_EQ(r.number(12), 1) << "a node without children may show a button";
}

// Each index is less one for every node the statement deleted before it,
// whatever the deleted node took with it; bad indices are skipped.
TEST(TreeViews, DeleteCountsEachIndexOnce) {
  TreeProgram r(R"(
    dim treeview:0
    set treeview:0.Add = "a", "b", "c"
    set treeview:0.AddChild = 0, "a1"
    set treeview:0.Delete = 0, 1, 40, -1
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(outline(r.tree().nodes()), "c ");
}

TEST(TreeViews, SortedTreesKeepNewNodesInPlace) {
  TreeProgram r(R"(
    dim treeview:0
    set treeview:0.Add = "c", "a"
    set treeview:0.AddChild = 1, "z", "y"
    set treeview:0.SortType = 2
    set treeview:0.Add = "B"
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(outline(r.tree().nodes()), "a .y .z B c ");
}

// A deletion handler that adds a node while Clear runs: the clearing walks
// the nodes it started with, the additions follow it.
TEST(TreeViews, DeletionHandlersEditAfterTheClear) {
  TreeProgram r(R"(
    dim treeview:0
    dim int:2
    set treeview:0.OnDeletion = gone
    set treeview:0.Add = "a", "b"
    set treeview:0.AddChild = 0, "a1"
    set treeview:0.Clear
    let int:1 = treeview:0.Count
    goto finish
.proc gone
    let int:0 = int:0 + 1
    set treeview:0.Add = "new"
    endproc
finish:
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 3);
  EXPECT_EQ(r.number(1), 3);
  EXPECT_EQ(outline(r.tree().nodes()), "new new new ");
}

TEST(TreeViews, VetoesAndLazyChildren) {
  TreeProgram r(R"(
    dim treeview:0
    dim int:4
    set treeview:0.OnChanging = changing
    set treeview:0.OnExpanding = expanding
    set treeview:0.OnExpanded = expanded
    set treeview:0.Add = "a", "b"
    set treeview:0.Node = 0, 7, 1
    set treeview:0.Selected = 1
    let int:0 = treeview:0.Selected
    set treeview:0.Selected = 0
    let int:1 = treeview:0.Selected
    set treeview:0.Expand = 0, 0
    set treeview:0.Expand = 2, 0
    goto finish
.proc changing
    ifnot arg.double:0 = 1 goto allowed
    let arg.double:1 = 0
allowed:
    endproc
.proc expanding
    ifnot arg.double:0 = 2 goto notvetoed
    let arg.double:1 = 0
notvetoed:
    ifnot arg.double:0 = 0 goto notfirst
    set treeview:0.AddChild = 0, "lazy"
notfirst:
    endproc
.proc expanded
    let int:2 = int:2 + 1
    let int:3 = treeview:0.Count
    endproc
finish:
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), -1) << "the changing handler vetoed node 1";
  EXPECT_EQ(r.number(1), 0);
  EXPECT_EQ(r.number(2), 1) << "node 2's expanding was vetoed";
  EXPECT_EQ(r.number(3), 3) << "children added while expanding are there";
  EXPECT_TRUE(r.tree().node(0).expanded);
}

TEST(TreeFiles, LevelsAndLineEnds) {
  const auto lines = parseTreeText("a\r\n\tb\r\n\t\tc\n\n\td\re");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2].level, 2);
  EXPECT_EQ(lines[2].text.str(), "c");
  EXPECT_EQ(lines[3].level, 1);
  EXPECT_EQ(lines[4].text.str(), "e");
  try {
    parseTreeText("a\n\t\tdeep\n");
    FAIL() << "a jump of two levels";
  } catch (const RuntimeError& e) {
    EXPECT_STREQ(e.what(), "Invalid level (2) for item \"deep\"");
  }
  EXPECT_THROW(parseTreeText("\tfirst\n"), RuntimeError);
}

TEST(TreeFiles, SaveAndLoadRoundTrip) {
  const std::string path = tempDir() + "/round.txt";
  TreeProgram r(R"(
    dim treeview:0
    dim treeview:1
    set treeview:0.Add = "one", "two"
    set treeview:0.AddChild = 0, "x", "y"
    set treeview:0.AddChild = 2, "deep"
    set treeview:0.SaveToFile = ")" + path + R"("
    set treeview:1.LoadFromFile = ")" + path + R"("
)");
  ASSERT_EQ(r.run(), "");
  auto& loaded = world(r.m).as<TreeView>(kTreeViewType, 1);
  EXPECT_EQ(outline(loaded.nodes()), "one .x .y ..deep two ");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "one\r\n\tx\r\n\ty\r\n\t\tdeep\r\ntwo\r\n");
}

// The new text goes to a temporary file that replaces the old one only
// when it is whole: a save that cannot finish leaves the old file and no
// temporary behind, and the program goes on.
TEST(TreeFiles, FailedSaveKeepsTheOldFile) {
  const std::string dir = tempDir() + "/keep";
  std::filesystem::create_directories(dir + "/target");
  std::ofstream(dir + "/target/inside") << "old";
  TreeProgram r(R"(
    dim treeview:0
    dim int:1
    set treeview:0.Add = "a"
    set treeview:0.SaveToFile = ")" + dir + R"(/target"
    set treeview:0.SaveToFile = ")" + dir + R"(/missing/x.txt"
    let int:0 = 1
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(r.number(0), 1);
  EXPECT_TRUE(std::filesystem::exists(dir + "/target/inside"));
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) files += e.path().filename() != "target";
  EXPECT_EQ(files, 0) << "no temporary file is left";
  EXPECT_TRUE(platform::replaceFileBytes(dir + "/new.txt", "text"));
  EXPECT_FALSE(platform::replaceFileBytes(dir + "/target", "text"));
}

// The image-index handler answers while the node is painted: the index it
// sets is the one shown, and a deletion it asks for waits for the event
// loop, after painting.
TEST(TreeViews, ImageIndexHandlersDuringPainting) {
  TreeProgram r(R"(
    dim treeview:0
    dim imagelist:0
    dim bitmap:0
    set imagelist:0.Width = 4
    set imagelist:0.Height = 3
    set bitmap:0.Width = 12
    set bitmap:0.Height = 3
    set imagelist:0.AddBitmap = bitmap:0.Picture, 536870911
    set treeview:0.OnGetImageIndex = image
    set treeview:0.OnGetSelectedIndex = selected
    set treeview:0.Add = "a", "b"
    set treeview:0.Images = imagelist:0
    goto finish
.proc image
    set treeview:0.Node = arg.double:0, 1, 2
    set treeview:0.Delete = 1
    endproc
.proc selected
    set treeview:0.Node = arg.double:0, 3, 9
    endproc
finish:
)");
  ASSERT_EQ(r.run(), "");
  const ImageList& images = world(r.m).as<ImageList>(kImageListType, 0);
  ASSERT_EQ(images.count(), 3);
  TreeView& tree = r.tree();
  gui::TreeViewSource* source = tree.peer().source();
  gui::Size size;
  EXPECT_EQ(source->nodeImage(&tree.node(0), size), images.strip().at(2));
  EXPECT_EQ(size, (gui::Size{4, 3}));
  EXPECT_EQ(tree.nodes().count(), 2) << "the deletion waits";
  toolkit().waitForEvents();
  EXPECT_EQ(tree.nodes().count(), 1);
  tree.select(&tree.node(0));
  EXPECT_EQ(source->nodeImage(&tree.node(0), size), nullptr) << "image 9 is missing: a blank";
  EXPECT_EQ(size, (gui::Size{4, 3}));
  tree.setImages(nullptr);
  EXPECT_EQ(source->nodeImage(&tree.node(0), size), nullptr);
  EXPECT_EQ(size, (gui::Size{})) << "no list, no room";
}

// Images and StateImages take image lists only; a list that goes away
// while the tree still names it is forgotten, and the nodes then show no
// pictures and keep no room for them.
TEST(TreeViews, ImageListsTheTreeNames) {
  TreeProgram r(R"(
    dim treeview:0
    dim imagelist:0
    dim bitmap:0
    set treeview:0.Add = "a"
    set treeview:0.Node = 0, 2, 0
    set treeview:0.StateImages = imagelist:0
    set treeview:0.Images = bitmap:0
)");
  EXPECT_EQ(r.run(), "Invalid class typecast");
  TreeView& tree = r.tree();
  EXPECT_EQ(tree.images(), nullptr);
  ASSERT_NE(tree.stateImages(), nullptr);
  gui::TreeViewSource* source = tree.peer().source();
  gui::Size size;
  EXPECT_EQ(source->nodeStateImage(&tree.node(0), size), nullptr) << "an empty list: a blank";
  EXPECT_EQ(size, (gui::Size{16, 16}));

  auto doomed = std::make_unique<ImageList>(kImageListType);
  doomed->setWidth(8);
  ASSERT_TRUE(doomed->addIcon(*toolkit().createSurface(8, 16, 0)));
  tree.setImages(doomed.get());
  tree.setStateImages(doomed.get());
  EXPECT_EQ(source->nodeImage(&tree.node(0), size), doomed->strip().at(0));
  EXPECT_EQ(size, (gui::Size{8, 16}));
  doomed.reset();
  EXPECT_EQ(tree.images(), nullptr);
  EXPECT_EQ(tree.stateImages(), nullptr);
  EXPECT_EQ(source->nodeImage(&tree.node(0), size), nullptr);
  EXPECT_EQ(size, (gui::Size{}));
  EXPECT_EQ(source->nodeStateImage(&tree.node(0), size), nullptr);
  EXPECT_EQ(size, (gui::Size{}));
}

// Handlers that delete the very node they are asked about: the node stays
// readable until the question is settled, and the answer is no.
TEST(TreeViews, HandlersDeletingTheirOwnNode) {
  TreeProgram r(R"(
    dim treeview:0
    set treeview:0.OnChanging = drop
    set treeview:0.OnExpanding = drop
    set treeview:0.Add = "a", "b", "c"
    set treeview:0.Node = 1, 7, 1
    set treeview:0.Selected = 0
    set treeview:0.Expand = 0, 0
    goto finish
.proc drop
    set treeview:0.Delete = arg.double:0
    endproc
finish:
)");
  ASSERT_EQ(r.run(), "");
  EXPECT_EQ(outline(r.tree().nodes()), "c ");
  EXPECT_EQ(r.tree().selectedIndex(), -1);
}
