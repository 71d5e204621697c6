// The member table of tree views (type 83).
#include <string>
#include <vector>

#include "objects/control_members.h"
#include "objects/controls/tree_view.h"
#include "objects/image_list.h"
#include "state/errors.h"

namespace kestrel::objects {

namespace {

using T = TreeView;

// The texts of an argument list.
std::vector<Str> textList(Machine& m) {
  std::vector<Str> texts;
  forEachArgument(m, [&] { texts.push_back(stringOperand(m)); });
  return texts;
}

void addTopNodes(Machine& m, T& t) { t.addNodes(t.nodes().root(), textList(m)); }

void addChildren(Machine& m, T& t) {
  skipByte(m);
  const int32_t index = truncOperand(m);
  skipByte(m);
  std::vector<Str> texts = textList(m);
  TreeNode& parent = t.node(index);
  if (!texts.empty()) t.addNodes(&parent, std::move(texts));
}

void insertNode(Machine& m, T& t) {
  skipByte(m);
  const int32_t index = truncOperand(m);
  skipByte(m);
  const Str text = stringOperand(m);
  skipByte(m);
  t.insertNode(&t.node(index), text);
}

void deleteNodes(Machine& m, T& t) {
  std::vector<int32_t> indices;
  forEachArgument(m, [&] { indices.push_back(numberOperand(m)); });
  t.deleteIndices(std::move(indices));
}

template <bool Expand>
void expandNode(Machine& m, T& t) {
  skipByte(m);
  const int32_t index = truncOperand(m);
  skipByte(m);
  const bool recurse = truncOperand(m) != 0;
  skipByte(m);
  t.expand(t.node(index), Expand, recurse);
}

enum Selector { kText, kImageIndex, kStateIndex, kSelectedIndex, kChildCount, kLevel, kIndex, kHasChildren,
                kSelected, kItemHandle };

void writeNodeProperty(Machine& m, T& t) {
  const int32_t index = truncOperand(m);
  const int selector = byteOperand(m);
  if (selector == kText) {
    const Str text = stringOperand(m);
    t.setNodeText(t.node(index), text);
    return;
  }
  if (selector != kImageIndex && selector != kStateIndex && selector != kSelectedIndex && selector != kHasChildren &&
      selector != kSelected) {
    ignoredOperand(m);
    return;
  }
  const int32_t value = truncOperand(m);
  TreeNode& n = t.node(index);
  switch (selector) {
    case kImageIndex: t.setImageIndex(n, value); break;
    case kStateIndex: t.setStateIndex(n, value); break;
    case kSelectedIndex: t.setSelectedIndex(n, value); break;
    case kHasChildren: t.setHasChildren(n, value != 0); break;
    default:
      if (value != 0) t.select(&n);
      else if (t.selected() == &n) t.select(nullptr);
  }
}

// An unknown selector reads 0, so the expression stack stays in step.
void readNodeProperty(Machine& m, T& t, EvalStacks& s) {
  const int32_t index = truncOperand(m);
  const int selector = byteOperand(m);
  TreeNode& n = t.node(index);
  switch (selector) {
    case kText: s.pushString(n.text); return;
    case kImageIndex: s.pushNumber(n.imageIndex); return;
    case kStateIndex: s.pushNumber(n.stateIndex); return;
    case kSelectedIndex: s.pushNumber(n.selectedIndex); return;
    case kChildCount: s.pushNumber(n.childCount()); return;
    case kLevel: s.pushNumber(NodeTree::level(&n)); return;
    case kIndex: s.pushNumber(t.nodes().rowOf(&n)); return;
    case kHasChildren: pushBool(s, n.hasChildren || n.childCount() > 0); return;
    case kSelected: pushBool(s, t.selected() == &n); return;
    case kItemHandle: s.pushNumber(n.handle); return;
    default: s.pushNumber(0);
  }
}

void loadFile(Machine& m, T& t) {
  const Str name = stringOperand(m);
  const std::vector<uint8_t> bytes = programFileBytes(m, name);
  t.loadLines(parseTreeText({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
}

// A save that fails is silent; the old file stays as it was.
void saveFile(Machine& m, T& t) {
  const Str name = stringOperand(m);
  saveProgramFile(m, name, treeText(t.nodes()));
}

std::vector<Member<T>> treeViewRows() {
  std::vector<Member<T>> rows = {
      property<&T::borderStyle, &T::setBorderStyle>(11, "BorderStyle", "0 none, 1 a single line around the tree"),
      property<&T::hideSelection, &T::setHideSelection>(14, "HideSelection",
                                                         "flag: the selection is hidden while the tree lacks the focus"),
      property<&T::indent, &T::setIndent>(15, "Indent", "pixels from a node to its children"),
      property<&T::readOnly, &T::setReadOnly>(16, "ReadOnly", "flag: the user cannot edit the node texts"),
      property<&T::showButtons, &T::setShowButtons>(17, "ShowButtons", "flag: plus and minus buttons beside parents"),
      property<&T::showLines, &T::setShowLines>(18, "ShowLines", "flag: lines join the nodes"),
      property<&T::showRoot, &T::setShowRoot>(19, "ShowRoot", "flag: buttons and lines for the top-level nodes too"),
      property<&T::sortType, &T::setSortType>(20, "SortType",
                                              "0 none, 1 by data, 2 by text, 3 both (2 and 3 keep nodes sorted)"),
      {22, "Images", "O", [](Machine& m, T& t) { t.setImages(&imageListOperand(m)); }, nullptr, nullptr,
       "image list object: the pictures beside the nodes"},
      {23, "StateImages", "O", [](Machine& m, T& t) { t.setStateImages(&imageListOperand(m)); }, nullptr, nullptr,
       "image list object: the state pictures before the nodes"},
      {25, "Add", "L", addTopNodes, nullptr, nullptr, "texts: each a new last node at the top level"},
      {26, "AddChild", "bEbL", addChildren, nullptr, nullptr,
       "node index, texts: each a new last child of the node"},
      {27, "Insert", "bEbEb", insertNode, nullptr, nullptr,
       "node index, text: a new node before that node, at its level"},
      {28, "AlphaSort", "", [](Machine&, T& t) { t.sortNodes(); }, nullptr, nullptr,
       "sorts the nodes of every level alphabetically"},
      {29, "Delete", "L", deleteNodes, nullptr, nullptr,
       "node indices, each less the deletions before it: deletes the nodes with their children (bad ones skipped)"},
      {30, "Count", nullptr, nullptr, "", [](Machine&, T& t, EvalStacks& s) { s.pushNumber(t.nodes().count()); },
       "the number of nodes on all levels"},
      {31, "Expand", "bEbEb", expandNode<true>, nullptr, nullptr,
       "node index, recurse flag: expands the node (and the nodes below it)"},
      {32, "Collapse", "bEbEb", expandNode<false>, nullptr, nullptr,
       "node index, recurse flag: collapses the node (and the nodes below it)"},
      {33, "Node", "EBE", writeNodeProperty, "EB", readNodeProperty,
       "node index, selector, value: 0 text, 1 image, 2 state image, 3 selected image, 4 children (read), "
       "5 level (read), 6 index among siblings (read), 7 has children, 8 selected, 9 item handle (read)"},
      {53, "GetNodeAt", "EE", [](Machine& m, T&) { ignoredOperand(m); ignoredOperand(m); },
       "EE", [](Machine& m, T& t, EvalStacks& s) {
         const int32_t x = numberOperand(m);
         const int32_t y = numberOperand(m);
         s.pushNumber(t.indexAt(x, y));
       },
       "read with (x, y): the index of the node at that point, -1 if none"},
      {54, "FullExpand", "", [](Machine&, T& t) { t.expandAll(true); }, nullptr, nullptr, "expands every node"},
      {55, "FullCollapse", "", [](Machine&, T& t) { t.expandAll(false); }, nullptr, nullptr,
       "collapses every node"},
      {56, "LoadFromFile", "E", loadFile, nullptr, nullptr,
       "file name: the nodes of a file with one node a line, a tab per level"},
      {57, "SaveToFile", "E", saveFile, nullptr, nullptr,
       "file name: writes the nodes a line each, a tab per level (silent when it fails)"},
      {58, "TopItem", "E", [](Machine& m, T& t) { t.setTopNode(t.node(truncOperand(m))); },
       "", [](Machine&, T& t, EvalStacks& s) { s.pushNumber(t.topIndex()); },
       "node index: scrolls the node to the top; reads the top visible node, -1 if none"},
      {59, "Clear", "", [](Machine&, T& t) { t.clear(); }, nullptr, nullptr, "deletes every node"},
      {60, "Selected", "E", [](Machine& m, T& t) { t.select(&t.node(truncOperand(m))); },
       "", [](Machine&, T& t, EvalStacks& s) { s.pushNumber(t.selectedIndex()); },
       "node index: selects the node; reads the selected node, -1 if none"},
  };
  addCommonMembers(rows, CommonCodes{.left = 1, .top = 3, .width = 4, .height = 2, .parent = 5, .font = 13,
                                     .popupMenu = 24, .enabled = 7, .visible = 8, .showHint = 9, .hint = 10,
                                     .color = 12, .cursor = 6, .align = 0, .tabOrder = 21, .handle = 61});
  addEventMembers(rows, EventCodes{.click = 45, .dblClick = 46, .mouseDown = 47, .mouseUp = 49, .mouseMove = 48,
                                   .keyPress = 51, .keyDown = 50, .keyUp = 52, .change = 34, .changing = 35,
                                   .expanding = 42, .expanded = 41, .collapsing = 37, .collapsed = 36,
                                   .deletion = 38, .editing = 40, .edited = 39, .getImageIndex = 43,
                                   .getSelectedIndex = 44});
  addFontMembers(rows, 200);
  return rows;
}

std::unique_ptr<Object> createTreeView(Machine& m, int type, int32_t) { return std::make_unique<TreeView>(m, type); }

}  // namespace

void registerTreeViewType(TypeRegistry& registry) {
  static const std::vector<Member<T>> rows = treeViewRows();
  registry.add(describeType(kTreeViewType, "treeview", rows, createTreeView));
}

}  // namespace kestrel::objects
