// List boxes, combo boxes and the owner-draw piece on the null toolkit:
// sorted insertion, DeleteItems' counting rule, the index checks, the
// selection, the handler arguments of owner draw, rect:50, the busy flag,
// changes that wait for the paint to end, and measuring once per item.
#include <gtest/gtest.h>

#include <string>

#include "events/event_state.h"
#include "objects/controls/combo_box.h"
#include "objects/controls/list_box.h"
#include "objects/rect_record.h"
#include "toolkit/toolkit.h"
#include "unit_program.h"

using namespace kestrel;
using namespace kestrel::objects;

namespace {

struct ListProgram : testsupport::UnitProgram {
  using UnitProgram::UnitProgram;
  ListBox& list(int index = 0) { return world(m).as<ListBox>(kListBoxType, index); }
  ComboBox& combo(int index = 0) { return world(m).as<ComboBox>(kComboBoxType, index); }
};

std::string itemsOf(ListBox& l) {
  std::string out;
  for (const Str& s : l.items().texts()) out += (out.empty() ? "" : " ") + s.str();
  return out;
}

std::string peerItems(const gui::ItemListPeer& p) {
  std::string out;
  for (const std::string& s : p.items()) out += (out.empty() ? "" : " ") + s;
  return out;
}

}  // namespace

// Sorted lists put added items in their place (letters in either case),
// after equal ones; InsertItem and Item keep the index they are given.
TEST(ListBoxes, SortedInsertionKeepsInsertAndReplaceWhereTheyAreTold) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    set listbox:0.AddItems = "pear", "Apple", "fig"
    set listbox:0.ItemIndex = 2
    set listbox:0.Sorted = 1
)");
  ASSERT_EQ(p.run(), "");
  ListBox& l = p.list();
  EXPECT_EQ(itemsOf(l), "Apple fig pear");
  EXPECT_EQ(l.itemIndex(), 1) << "the current item goes with its item";
  l.items().add(Str("banana"));
  l.items().add(Str("APPLE"));
  EXPECT_EQ(itemsOf(l), "Apple APPLE banana fig pear");
  l.items().insert(0, Str("zebra"));
  l.items().replace(2, Str("aardvark"));
  EXPECT_EQ(itemsOf(l), "zebra Apple aardvark banana fig pear");
  EXPECT_EQ(l.itemIndex(), 4);
  EXPECT_EQ(peerItems(l.peer()), itemsOf(l)) << "the peer follows at once outside painting";
  EXPECT_EQ(l.peer().current(), 4);
}

// The k-th element deletes at its value - k; elements that name no item
// delete nothing and still count; none wraps below 0.
TEST(ListBoxes, DeleteItemsCountsEveryElement) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    dim listbox:1
    dim listbox:2
    dim listbox:3
    set listbox:0.AddItems = "a", "b", "c", "d", "e"
    set listbox:1.AddItems = "a", "b", "c", "d", "e"
    set listbox:2.AddItems = "a", "b", "c", "d", "e"
    set listbox:3.AddItems = "a", "b", "c", "d", "e"
    set listbox:0.DeleteItems = 2, 3
    set listbox:1.DeleteItems = 3, 2
    set listbox:2.DeleteItems = 9, 1, 3
    set listbox:3.DeleteItems = 0, 0, 1, -1
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(itemsOf(p.list(0)), "a b e");
  EXPECT_EQ(itemsOf(p.list(1)), "a c e") << "(3, 2) deletes those at 3 and then 1";
  EXPECT_EQ(itemsOf(p.list(2)), "b d e") << "9 deletes nothing but counts: then 1 - 1 and 3 - 2";
  EXPECT_EQ(itemsOf(p.list(3)), "b c d e") << "0 - 1 and below are skipped, never the last item";
}

TEST(ListBoxes, IndicesAreChecked) {
  const std::string setup = R"(
    dim int:9
    dim listbox:0
    dim int:0
    set listbox:0.AddItems = "a", "b", "c"
)";
  const std::pair<const char*, const char*> errors[] = {
      {"let int:0 = len(listbox:0.Item(3))", "List index out of bounds (3)"},
      {"set listbox:0.Item = -1, \"x\"", "List index out of bounds (-1)"},
      {"set listbox:0.InsertItem = 4, \"x\"", "List index out of bounds (4)"},
      {"set listbox:0.Selected = 5, 1", "List index out of bounds (5)"},
  };
  for (const auto& [statement, error] : errors) {
    ListProgram p(setup + statement + "\n");
    EXPECT_EQ(p.run(), error) << statement;
  }
  ListProgram p(setup + R"(
    set listbox:0.InsertItem = 3, "d"
    let int:0 = listbox:0.Selected(7)
    set listbox:0.ItemIndex = 9
    let int:1 = listbox:0.ItemIndex
    set listbox:0.TopIndex = 99
    let int:2 = listbox:0.TopIndex
    set listbox:0.TopIndex = -5
    let int:3 = listbox:0.TopIndex
    set listbox:0.ItemCount = int:9 + 1
    let int:4 = listbox:0.ItemCount
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 0);
  EXPECT_EQ(p.number(1), -1);
  EXPECT_EQ(p.number(2), 3) << "clamped to the last item";
  EXPECT_EQ(p.number(3), 0);
  EXPECT_EQ(p.number(4), 4) << "ItemCount as a statement only evaluates its operand";
}

TEST(ListBoxes, SelectionWithOneAndWithSeveral) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    set listbox:0.AddItems = "a", "b", "c", "d"
    set listbox:0.Selected = 2, 1
    let int:0 = listbox:0.ItemIndex
    set listbox:0.Selected = 2, 0
    let int:1 = listbox:0.ItemIndex
    set listbox:0.MultiSelect = 1
    set listbox:0.Selected = 0, 1
    set listbox:0.Selected = 3, 1
    set listbox:0.ItemIndex = 1
    let int:2 = listbox:0.Selected(0) + listbox:0.Selected(1) * 2 + listbox:0.Selected(3) * 8
    set listbox:0.DeleteItems = 0
    let int:3 = listbox:0.Selected(0) + listbox:0.Selected(2) * 4
    set listbox:0.MultiSelect = 0
    let int:4 = listbox:0.Selected(0) + listbox:0.Selected(2) * 4
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.number(0), 2) << "with one selection, selecting makes the item current";
  EXPECT_EQ(p.number(1), -1);
  EXPECT_EQ(p.number(2), 11);
  EXPECT_EQ(p.number(3), 5) << "flags move with their items";
  EXPECT_EQ(p.number(4), 1) << "back to one selection: only the current item stays selected";
  const std::vector<bool> shown = p.list().peer().selected();
  EXPECT_EQ(shown, (std::vector<bool>{true, false, false}));
}

// The draw handler gets the index, 0 for a selected item, rect:50 with the
// item's rectangle and the list as the sender; rect:50 is made when the
// table is shorter, and the busy flag is set while the handler runs.
TEST(OwnerDraw, HandlerArgumentsAndTheItemRectangle) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    dim rect:3
    set listbox:0.Style = 1
    set listbox:0.AddItems = "a", "b"
    set listbox:0.OnDrawItem = draw
    goto done
.proc draw
    let int:0 = arg.double:0
    let int:1 = arg.double:1
    let int:2 = arg.rect:2.Left + arg.rect:2.Top * 1000 + arg.rect:2.Right * 1000000
    let int:3 = arg.rect:2.Bottom
    let int:4 = arg.listbox:3.ItemCount
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  ListBox& l = p.list();
  l.setItemIndex(1);
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(80, 16, gui::kWhite);
  l.paintItem(1, gui::Rect::fromSize(2, 18, 80, 16), true, *picture);
  EXPECT_EQ(p.number(0), 1);
  EXPECT_EQ(p.number(1), 0) << "selected: 0";
  EXPECT_EQ(p.number(2), 2 + 18 * 1000 + 82 * 1000000);
  EXPECT_EQ(p.number(3), 34);
  EXPECT_EQ(p.number(4), 2);
  EXPECT_EQ(world(p.m).count(kRectangleType), 51u);
  l.paintItem(0, gui::Rect::fromSize(0, 0, 80, 16), false, *picture);
  EXPECT_EQ(p.number(1), 1);
  EXPECT_EQ(world(p.m).as<Rectangle>(kRectangleType, 50).fields[3], 16) << "every draw writes rect:50 again";
  EXPECT_FALSE(events::state(p.m).listDrawBusy);
}

TEST(OwnerDraw, BusyFlagDropsGuardedDrawsOnly) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    dim combobox:0
    set combobox:0.OnDrawItem = draw
    set listbox:0.OnDrawItem = draw
    set listbox:0.OnMeasureItem = measure
    goto done
.proc draw
    let int:0 = int:0 + 1
    endproc
.proc measure
    let arg.double:1 = 30
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(10, 10, gui::kWhite);
  events::state(p.m).listDrawBusy = true;
  p.combo().paintItem(0, gui::Rect::fromSize(0, 0, 10, 10), false, *picture);
  EXPECT_EQ(p.number(0), 0) << "the combo box's draw is dropped while busy";
  EXPECT_EQ(p.combo().measuredHeight(0), 16) << "and its measure gives the height passed in";
  p.list().paintItem(0, gui::Rect::fromSize(0, 0, 10, 10), false, *picture);
  EXPECT_EQ(p.number(0), 1) << "the list box's is not";
  EXPECT_EQ(p.list().measuredHeight(0), 30);
  EXPECT_TRUE(events::state(p.m).listDrawBusy) << "the flag is put back as it was";
}

// Item changes a draw handler makes change the engine's list at once and
// reach the window only after the paint, in order.
TEST(OwnerDraw, ChangesInsideTheHandlerWaitForThePaintToEnd) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    set listbox:0.Style = 1
    set listbox:0.AddItems = "a", "b"
    set listbox:0.OnDrawItem = draw
    goto done
.proc draw
    set listbox:0.AddItems = "c"
    set listbox:0.DeleteItems = 0
    set listbox:0.ItemIndex = 0
    let int:0 = listbox:0.ItemCount
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  ListBox& l = p.list();
  std::unique_ptr<gui::Surface> picture = toolkit().createSurface(10, 10, gui::kWhite);
  l.paintItem(0, gui::Rect::fromSize(0, 0, 10, 10), false, *picture);
  EXPECT_EQ(p.number(0), 2) << "the handler sees its own changes";
  EXPECT_EQ(peerItems(l.peer()), "a b") << "the window does not, while it paints";
  EXPECT_EQ(l.peer().current(), -1);
  l.setItemIndex(1);  // after the paint, but before the waiting changes are shown
  EXPECT_EQ(l.peer().current(), -1) << "later changes keep their turn";
  toolkit().processPendingEvents();
  EXPECT_EQ(peerItems(l.peer()), "b c");
  EXPECT_EQ(l.peer().current(), 1);
  l.items().add(Str("d"));
  EXPECT_EQ(peerItems(l.peer()), "b c d") << "nothing waits any more";
}

// Each item is measured once, with the item height; a changed item, a new
// item height or style measures again.
TEST(OwnerDraw, EachItemIsMeasuredOnce) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    set listbox:0.Style = 2
    set listbox:0.ItemHeight = 20
    set listbox:0.AddItems = "a", "b", "c"
    set listbox:0.OnMeasureItem = measure
    goto done
.proc measure
    let int:0 = int:0 + 1
    let arg.double:1 = arg.double:1 + arg.double:0
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  ListBox& l = p.list();
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(l.measuredHeight(i), 20 + i);
  EXPECT_EQ(p.number(0), 3);
  l.items().replace(1, Str("B"));
  l.items().insert(0, Str("z"));
  EXPECT_EQ(l.measuredHeight(0), 20);
  EXPECT_EQ(l.measuredHeight(1), 20) << "the item that was 0 keeps its height";
  EXPECT_EQ(l.measuredHeight(2), 22) << "the replaced item is measured again";
  EXPECT_EQ(p.number(0), 5);
  l.setItemHeight(10);
  EXPECT_EQ(l.measuredHeight(3), 13);
  EXPECT_EQ(p.number(0), 6);
}

TEST(OwnerDraw, MeasuredHeightsKeepWithinRange) {
  ListProgram p(R"(
    dim int:9
    dim listbox:0
    set listbox:0.AddItems = "a", "b"
    set listbox:0.OnMeasureItem = measure
    goto done
.proc measure
    let arg.double:1 = 100000 - 200000 * arg.double:0
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  EXPECT_EQ(p.list().measuredHeight(0), 32767);
  EXPECT_EQ(p.list().measuredHeight(1), 0);
}

TEST(ComboBoxes, ItemIndexTextAndTheUsersChoices) {
  ListProgram p(R"(
    dim int:9
    dim combobox:0
    dim str:0
    set combobox:0.AddItems = "one", "two", "three"
    set combobox:0.ItemIndex = 1
    let str:0 = combobox:0.Text
    set combobox:0.Style = 3
    let int:1 = combobox:0.Style + combobox:0.CurrentStyle
    set combobox:0.OnChange = changed
    set combobox:0.MaxLength = -3
    let int:2 = combobox:0.MaxLength
    goto done
.proc changed
    let int:0 = int:0 + 1
    endproc
done:
)");
  ASSERT_EQ(p.run(), "");
  ComboBox& c = p.combo();
  EXPECT_EQ(p.text(0), "two");
  EXPECT_EQ(p.number(1), 0) << "the style stays 0";
  EXPECT_EQ(p.number(2), -3);
  EXPECT_EQ(c.peer().editText(), "two");
  c.setItemIndex(-1);
  EXPECT_EQ(c.caption().str(), "");
  EXPECT_EQ(p.number(0), 0) << "the program's own changes raise no change event";
  c.userSelected(2, {});
  EXPECT_EQ(c.caption().str(), "three");
  c.userEdited("thr");
  EXPECT_EQ(c.caption().str(), "thr");
  EXPECT_EQ(c.itemIndex(), 2);
  EXPECT_EQ(p.number(0), 2);
}
