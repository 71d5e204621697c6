// The toolkit's peer table: a listed peer type comes from its factory,
// any other from its storing base class.
#include <gtest/gtest.h>

#include <typeinfo>

#include "toolkit/peers/button.h"
#include "toolkit/peers/picture.h"
#include "toolkit/toolkit.h"

using namespace kestrel;

namespace {

class NoOwner : public gui::WindowOwner {
 public:
  void event(gui::InputEvent&) override {}
  intptr_t message(uint32_t, intptr_t, intptr_t) override { return 0; }
  std::string windowText() override { return ""; }
  void setWindowText(const std::string&) override {}
  bool showCommand(int) override { return false; }
  const char* windowClass() const override { return "TNone"; }
};

class ShownButtonPeer : public gui::ButtonPeer {
 public:
  using ButtonPeer::ButtonPeer;
};

std::unique_ptr<ShownButtonPeer> makeShownButton(gui::WindowOwner& owner) {
  return std::make_unique<ShownButtonPeer>(&owner);
}

class ButtonsOnlyToolkit : public Toolkit {
 public:
  ButtonsOnlyToolkit() { addPeers({peer<gui::ButtonPeer, makeShownButton>()}); }
  bool windowSystemAvailable() override { return false; }
  void processPendingEvents() override {}
};

}  // namespace

TEST(PeerFactory, ListedTypesComeFromTheToolkitOthersFromTheirBase) {
  ButtonsOnlyToolkit toolkit;
  NoOwner owner;
  const std::unique_ptr<gui::ButtonPeer> button = toolkit.create<gui::ButtonPeer>(owner);
  EXPECT_EQ(typeid(*button), typeid(ShownButtonPeer));
  const std::unique_ptr<gui::PanelPeer> panel = toolkit.create<gui::PanelPeer>(owner);
  EXPECT_EQ(typeid(*panel), typeid(gui::PanelPeer));
  EXPECT_EQ(panel->owner(), &owner);
  // The null toolkit lists nothing: every peer is its storing base.
  const std::unique_ptr<Toolkit> none = makeNullToolkit();
  EXPECT_EQ(typeid(*none->create<gui::ButtonPeer>(owner)), typeid(gui::ButtonPeer));
}
