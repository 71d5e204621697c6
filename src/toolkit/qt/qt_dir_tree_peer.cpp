// Directory trees on Qt: a QTreeWidget that shows the nodes the engine
// reads (the engine's model is synchronous, so a selection set by the
// program is there at once); opening, closing and selecting by the user go
// back to the engine.
#include <QStyle>
#include <QTreeWidget>
#include <utility>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class QtDirTreePeer : public ChildPeer<gui::DirTreePeer> {
 public:
  explicit QtDirTreePeer(gui::WindowOwner* owner) : ChildPeer<gui::DirTreePeer>(owner, new QTreeWidget) {
    QTreeWidget* t = tree();
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setUniformRowHeights(true);
    driveIcon_ = t->style()->standardIcon(QStyle::SP_DriveHDIcon);
    folderIcon_ = t->style()->standardIcon(QStyle::SP_DirIcon);
    QObject::connect(t, &QTreeWidget::itemExpanded, t, [this](QTreeWidgetItem* item) {
      if (gui::TreeOwner* o = userAction()) o->userExpanded(numberOf(item));
    });
    QObject::connect(t, &QTreeWidget::itemCollapsed, t, [this](QTreeWidgetItem* item) {
      if (gui::TreeOwner* o = userAction()) o->userCollapsed(numberOf(item));
    });
    QObject::connect(t, &QTreeWidget::currentItemChanged, t, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
      if (gui::TreeOwner* o = userAction(); o != nullptr && item != nullptr) o->userSelected(numberOf(item));
    });
  }

  QTreeWidget* tree() const { return static_cast<QTreeWidget*>(widget_.data()); }

  void clearNodes() override {
    gui::DirTreePeer::clearNodes();
    items_.clear();
    if (!widget_) return;
    const bool saved = std::exchange(applying_, true);
    tree()->clear();
    applying_ = saved;
  }
  void addNode(int32_t parent, std::string_view text, bool drive, bool expandable) override {
    gui::DirTreePeer::addNode(parent, text, drive, expandable);
    if (!widget_) return;
    const bool saved = std::exchange(applying_, true);
    QTreeWidgetItem* item = valid(parent) && static_cast<size_t>(parent) < items_.size()
                                ? new QTreeWidgetItem(items_[static_cast<size_t>(parent)])
                                : new QTreeWidgetItem(tree());
    item->setText(0, fromProgramText(text));
    item->setIcon(0, drive ? driveIcon_ : folderIcon_);
    item->setData(0, Qt::UserRole, static_cast<int>(items_.size()));
    showExpandable(item, expandable);
    items_.push_back(item);
    applying_ = saved;
  }
  void setExpandable(int32_t node, bool expandable) override {
    gui::DirTreePeer::setExpandable(node, expandable);
    if (QTreeWidgetItem* item = itemOf(node)) showExpandable(item, expandable);
  }
  void setExpanded(int32_t node, bool expanded) override {
    gui::DirTreePeer::setExpanded(node, expanded);
    QTreeWidgetItem* item = itemOf(node);
    if (item == nullptr) return;
    const bool saved = std::exchange(applying_, true);
    item->setExpanded(expanded);
    applying_ = saved;
  }
  void setSelected(int32_t node) override {
    gui::DirTreePeer::setSelected(node);
    if (!widget_) return;
    const bool saved = std::exchange(applying_, true);
    QTreeWidgetItem* item = itemOf(node);
    tree()->setCurrentItem(item);
    if (item != nullptr) tree()->scrollToItem(item);
    else tree()->clearSelection();
    applying_ = saved;
  }
  void setBorder(bool single) override {
    gui::DirTreePeer::setBorder(single);
    if (widget_) tree()->setFrameShape(single ? QFrame::StyledPanel : QFrame::NoFrame);
  }
  void setHideSelection(bool hide) override {
    gui::DirTreePeer::setHideSelection(hide);
    showPalette();
  }
  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::DirTreePeer>::setBackground(rgb);
    showPalette();
  }

 private:
  gui::TreeOwner* userAction() const {
    if (applying_) return nullptr;
    return dynamic_cast<gui::TreeOwner*>(owner());
  }
  static int32_t numberOf(const QTreeWidgetItem* item) { return item->data(0, Qt::UserRole).toInt(); }
  QTreeWidgetItem* itemOf(int32_t node) const {
    if (!widget_ || node < 0 || static_cast<size_t>(node) >= items_.size()) return nullptr;
    return items_[static_cast<size_t>(node)];
  }
  static void showExpandable(QTreeWidgetItem* item, bool expandable) {
    item->setChildIndicatorPolicy(expandable ? QTreeWidgetItem::ShowIndicator
                                             : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  }
  // The background, and (HideSelection) no highlight while the tree lacks
  // the focus.
  void showPalette() {
    if (!widget_) return;
    QPalette palette = tree()->palette();
    palette.setColor(QPalette::Base, qColor(background_));
    const QPalette standard = tree()->style()->standardPalette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     hideSelection_ ? qColor(background_) : standard.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     hideSelection_ ? palette.color(QPalette::Active, QPalette::Text)
                                    : standard.color(QPalette::Active, QPalette::HighlightedText));
    tree()->setPalette(palette);
  }

  std::vector<QTreeWidgetItem*> items_;
  QIcon driveIcon_;
  QIcon folderIcon_;
  bool applying_ = false;
};

}  // namespace

std::unique_ptr<gui::DirTreePeer> makeDirTreePeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtDirTreePeer>(&owner);
}

}  // namespace kestrel::qt
