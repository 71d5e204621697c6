// Outlines on Qt: a QTreeWidget with an item for each of the engine's
// items. The styles choose what shows beside the text: the tree's lines
// and buttons, the pictures, both or neither.
#include <QHash>
#include <QHeaderView>
#include <QTreeWidget>

#include "toolkit/peers/outline.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

using gui::OutlineItemRef;

class QtOutlinePeer : public ChildPeer<gui::OutlinePeer> {
 public:
  explicit QtOutlinePeer(gui::WindowOwner* owner) : ChildPeer<gui::OutlinePeer>(owner, new QTreeWidget) {
    QTreeWidget* t = tree();
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setFocusPolicy(Qt::StrongFocus);
    new EventBridge(t->viewport(), this);
    QObject::connect(t, &QTreeWidget::currentItemChanged, t, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
      if (listener_ != nullptr && !showing_) listener_->userSelected(refOf(item));
    });
    QObject::connect(t, &QTreeWidget::itemExpanded, t, [this](QTreeWidgetItem* item) { expandedChanged(item, true); });
    QObject::connect(t, &QTreeWidget::itemCollapsed, t, [this](QTreeWidgetItem* item) { expandedChanged(item, false); });
    setLook(look_);
  }

  QTreeWidget* tree() const { return static_cast<QTreeWidget*>(widget_.data()); }

  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::OutlinePeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Base, qColor(rgb));
    widget_->setPalette(palette);
  }

  void insertItem(OutlineItemRef parent, int32_t row, OutlineItemRef item, std::string_view text) override {
    if (!widget_) return;
    auto* shown = new QTreeWidgetItem(QStringList(fromProgramText(text)));
    items_.insert(item, shown);
    shown->setData(0, Qt::UserRole, QVariant::fromValue(const_cast<void*>(item)));
    if (QTreeWidgetItem* p = items_.value(parent)) {
      p->insertChild(row, shown);
      showPicture(p);
    } else {
      tree()->insertTopLevelItem(row, shown);
    }
    showPicture(shown);
  }
  void removeItem(OutlineItemRef item) override {
    QTreeWidgetItem* shown = items_.value(item);
    if (shown == nullptr) return;
    forget(shown);
    QTreeWidgetItem* parent = shown->parent();
    showing_ = true;
    delete shown;
    showing_ = false;
    if (parent != nullptr) showPicture(parent);
  }
  void clearItems() override {
    items_.clear();
    showing_ = true;
    if (widget_) tree()->clear();
    showing_ = false;
  }
  void setItemText(OutlineItemRef item, std::string_view text) override {
    if (QTreeWidgetItem* shown = items_.value(item)) shown->setText(0, fromProgramText(text));
  }
  void showExpanded(OutlineItemRef item, bool expanded) override {
    if (QTreeWidgetItem* shown = items_.value(item)) shown->setExpanded(expanded);
  }
  void showSelected(OutlineItemRef item) override {
    if (!widget_) return;
    showing_ = true;
    tree()->setCurrentItem(items_.value(item));
    showing_ = false;
  }
  void setLook(const gui::OutlineLook& look) override {
    gui::OutlinePeer::setLook(look);
    if (!widget_) return;
    QTreeWidget* t = tree();
    const bool treeLines = look.style == 4 || look.style == 5;
    const bool buttons = treeLines || look.style == 1 || look.style == 3;
    t->setRootIsDecorated(buttons && look.drawTreeRoot);
    t->setItemsExpandable(true);
    t->setIndentation(buttons || look.style == 2 ? 19 : 12);
    t->setFrameShape(look.border ? QFrame::StyledPanel : QFrame::NoFrame);
    t->setHorizontalScrollBarPolicy(look.scrollBars & 1 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(look.scrollBars & 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    t->setUniformRowHeights(true);
    t->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }").arg(look.itemHeight));
    for (QTreeWidgetItem* shown : std::as_const(items_)) showPicture(shown);
  }
  void setPicture(gui::OutlinePicture which, const gui::Surface* picture) override {
    pictures_[static_cast<int>(which)] = picture != nullptr ? QPixmap::fromImage(imageOf(*picture)) : QPixmap();
    for (QTreeWidgetItem* shown : std::as_const(items_)) showPicture(shown);
  }

 private:
  static OutlineItemRef refOf(QTreeWidgetItem* item) {
    return item == nullptr ? nullptr : item->data(0, Qt::UserRole).value<void*>();
  }
  void forget(QTreeWidgetItem* shown) {
    items_.remove(refOf(shown));
    for (int i = 0; i < shown->childCount(); ++i) forget(shown->child(i));
  }
  void expandedChanged(QTreeWidgetItem* item, bool expanded) {
    showPicture(item);
    if (listener_ != nullptr) listener_->userExpanded(refOf(item), expanded);
  }
  // Styles 2, 3 and 5 show the leaf, open or closed picture.
  void showPicture(QTreeWidgetItem* shown) {
    const int style = look_.style;
    if (style != 2 && style != 3 && style != 5) {
      shown->setIcon(0, QIcon());
      return;
    }
    const auto which = shown->childCount() == 0 ? gui::OutlinePicture::Leaf
                       : shown->isExpanded()     ? gui::OutlinePicture::Open
                                                 : gui::OutlinePicture::Closed;
    const QPixmap& p = pictures_[static_cast<int>(which)];
    shown->setIcon(0, p.isNull() ? QIcon() : QIcon(p));
  }

  QHash<OutlineItemRef, QTreeWidgetItem*> items_;
  QPixmap pictures_[gui::kOutlinePictureCount];
  bool showing_ = false;
};

}  // namespace

std::unique_ptr<gui::OutlinePeer> makeOutlinePeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtOutlinePeer>(&owner);
}

}  // namespace kestrel::qt
