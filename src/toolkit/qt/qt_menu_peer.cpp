// Menus on Qt: an item is a QAction (with a QMenu once it has sub-items),
// a main menu a QMenuBar that its form shows above the client area, a
// popup menu a QMenu. The engine keeps the check marks: Qt's own toggling
// on a click is put back before the click reaches the program.
#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/toolkit.h"

namespace kestrel::qt {

namespace {

class QtMenuItemPeer;

constexpr int kMetricMenuBar = 15;

// Where the actions of a container's items go, and the group that draws
// its radio items' marks round.
class ActionHolder {
 public:
  virtual ~ActionHolder() = default;
  virtual QWidget* actionWidget() = 0;
  virtual QActionGroup* radioGroup() = 0;
  // Puts back every item's check mark as the engine has it.
  void restoreChecks(const std::vector<gui::MenuItemPeer*>& items);
};

class QtMenuItemPeer : public gui::MenuItemPeer, public ActionHolder {
 public:
  explicit QtMenuItemPeer(gui::WindowOwner* owner) : gui::MenuItemPeer(owner), action_(new QAction) {
    QObject::connect(action_, &QAction::triggered, action_, [this] { triggered(); });
  }
  ~QtMenuItemPeer() override {
    delete action_.data();
    delete menu_.data();
  }

  QAction* action() const { return action_; }
  ActionHolder* holder() const { return holder_; }

  // Where the item is now (nullptr: nowhere).
  void placeIn(ActionHolder* holder) {
    if (holder_ != nullptr && holder_->radioGroup() != nullptr) holder_->radioGroup()->removeAction(action_);
    holder_ = holder;
    showRadio();
  }

  void setText(std::string_view text) override {
    gui::MenuItemPeer::setText(text);
    action_->setSeparator(text == "-");
    action_->setText(fromProgramText(text));
  }
  void setEnabled(bool enabled) override {
    gui::MenuItemPeer::setEnabled(enabled);
    action_->setEnabled(enabled);
  }
  void setVisible(bool visible) override {
    gui::MenuItemPeer::setVisible(visible);
    action_->setVisible(visible);
  }
  void setChecked(bool checked) override {
    gui::MenuItemPeer::setChecked(checked);
    showCheck();
  }
  void setRadio(bool radio) override {
    gui::MenuItemPeer::setRadio(radio);
    showRadio();
  }
  void setShortcut(int virtualKey, int shift) override {
    gui::MenuItemPeer::setShortcut(virtualKey, shift);
    const int key = qtKeyOf(virtualKey);
    if (key == 0) {
      action_->setShortcut(QKeySequence());
      return;
    }
    Qt::KeyboardModifiers modifiers;
    if (shift & gui::kShiftKey) modifiers |= Qt::ShiftModifier;
    if (shift & gui::kCtrlKey) modifiers |= Qt::ControlModifier;
    if (shift & gui::kAltKey) modifiers |= Qt::AltModifier;
    action_->setShortcut(QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key))));
  }

  void insertItem(size_t index, gui::MenuItemPeer& item) override;
  void removeItem(gui::MenuItemPeer& item) override;

  QWidget* actionWidget() override {
    if (!menu_) menu_ = new QMenu;
    return menu_;
  }
  QActionGroup* radioGroup() override {
    if (!group_) group_ = new QActionGroup(action_);
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    return group_;
  }

  // A checked item is checkable; an unchecked one shows no mark at all.
  void showCheck() {
    action_->setCheckable(checked_);
    action_->setChecked(checked_);
  }

 private:
  void showRadio() {
    if (holder_ == nullptr) return;
    QActionGroup* group = holder_->radioGroup();
    if (radio_) group->addAction(action_);
    else group->removeAction(action_);
    showCheck();
  }
  void triggered() {
    if (holder_ != nullptr) holder_->restoreChecks(siblings());
    showCheck();
    gui::InputEvent click{gui::EventKind::Click};
    if (gui::WindowOwner* o = owner()) o->event(click);
  }
  std::vector<gui::MenuItemPeer*> siblings() const;

  QPointer<QAction> action_;
  QPointer<QMenu> menu_;
  QPointer<QActionGroup> group_;
  ActionHolder* holder_ = nullptr;
  std::vector<gui::MenuItemPeer*>* siblings_ = nullptr;

  friend void place(gui::MenuContainerPeer&, ActionHolder&, size_t, gui::MenuItemPeer&);
  friend void unplace(ActionHolder&, gui::MenuItemPeer&);
};

void ActionHolder::restoreChecks(const std::vector<gui::MenuItemPeer*>& items) {
  for (gui::MenuItemPeer* item : items) static_cast<QtMenuItemPeer*>(item)->showCheck();
}

// After the container recorded the item at `index`: its action goes before
// the action of the item after it.
void place(gui::MenuContainerPeer& container, ActionHolder& holder, size_t index, gui::MenuItemPeer& item) {
  auto& qtItem = static_cast<QtMenuItemPeer&>(item);
  const auto& items = container.items();
  QAction* before = index + 1 < items.size() ? static_cast<QtMenuItemPeer*>(items[index + 1])->action() : nullptr;
  holder.actionWidget()->insertAction(before, qtItem.action());
  qtItem.siblings_ = const_cast<std::vector<gui::MenuItemPeer*>*>(&items);
  qtItem.placeIn(&holder);
}

void unplace(ActionHolder& holder, gui::MenuItemPeer& item) {
  auto& qtItem = static_cast<QtMenuItemPeer&>(item);
  holder.actionWidget()->removeAction(qtItem.action());
  qtItem.placeIn(nullptr);
  qtItem.siblings_ = nullptr;
}

std::vector<gui::MenuItemPeer*> QtMenuItemPeer::siblings() const {
  return siblings_ != nullptr ? *siblings_ : std::vector<gui::MenuItemPeer*>{};
}

void QtMenuItemPeer::insertItem(size_t index, gui::MenuItemPeer& item) {
  gui::MenuItemPeer::insertItem(index, item);
  place(*this, *this, index, item);
  action_->setMenu(static_cast<QMenu*>(actionWidget()));
}

void QtMenuItemPeer::removeItem(gui::MenuItemPeer& item) {
  gui::MenuItemPeer::removeItem(item);
  unplace(*this, item);
  if (items_.empty()) action_->setMenu(static_cast<QMenu*>(nullptr));
}

// A menu bar or a popup menu: the items' actions go into its widget.
template <class Base, class Widget>
class QtMenuPeer : public Base, public ActionHolder {
 public:
  explicit QtMenuPeer(gui::WindowOwner* owner) : Base(owner), widget_(new Widget) {}
  ~QtMenuPeer() override { delete widget_.data(); }

  void insertItem(size_t index, gui::MenuItemPeer& item) override {
    Base::insertItem(index, item);
    place(*this, *this, index, item);
  }
  void removeItem(gui::MenuItemPeer& item) override {
    Base::removeItem(item);
    unplace(*this, item);
  }
  QWidget* actionWidget() override { return widget_; }
  QActionGroup* radioGroup() override {
    if (!group_) group_ = new QActionGroup(widget_);
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    return group_;
  }

 protected:
  QPointer<Widget> widget_;
  QPointer<QActionGroup> group_;
};

// The bar is always as high as the run-time says a menu bar is, so that
// the form's frame arithmetic holds.
class QtMenuBarPeer : public QtMenuPeer<gui::MenuBarPeer, QMenuBar>, public QtWidgetHolder {
 public:
  explicit QtMenuBarPeer(gui::WindowOwner* owner) : QtMenuPeer(owner) {
    widget_->setNativeMenuBar(false);
    widget_->setFixedHeight(toolkit().systemMetric(kMetricMenuBar));
  }
  QWidget* heldWidget() const override { return widget_; }
};

class QtPopupMenuPeer : public QtMenuPeer<gui::PopupMenuPeer, QMenu> {
 public:
  using QtMenuPeer::QtMenuPeer;

  void popup(int x, int y, int alignment) override {
    if (!widget_) return;
    bool any = false;
    for (QAction* a : widget_->actions()) any = any || a->isVisible();
    if (!any) return;  // nothing to pick
    const int width = widget_->sizeHint().width();
    if (alignment == 1) x -= width;
    else if (alignment == 2) x -= width / 2;
    widget_->exec(QPoint(x, y));
  }
  void popupAtMouse(int alignment) override {
    const QPoint at = QCursor::pos();
    popup(at.x(), at.y(), alignment);
  }
};

}  // namespace

std::unique_ptr<gui::MenuItemPeer> makeMenuItemPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtMenuItemPeer>(&owner);
}

std::unique_ptr<gui::MenuBarPeer> makeMenuBarPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtMenuBarPeer>(&owner);
}

std::unique_ptr<gui::PopupMenuPeer> makePopupMenuPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtPopupMenuPeer>(&owner);
}

}  // namespace kestrel::qt
