// Tree views on Qt: a QTreeView over a model that reads the engine's nodes
// as it shows them. The view never expands, collapses, selects or edits on
// its own: each user action goes to the engine first (whose program may
// veto it), and the engine shows the outcome.
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>

#include "toolkit/peers/tree_view.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

using gui::TreeNodeRef;

class NodeModel : public QAbstractItemModel {
 public:
  explicit NodeModel(gui::TreeViewPeer* peer) : peer_(peer) {}

  gui::TreeViewSource* source() const { return peer_->source(); }
  static TreeNodeRef refOf(const QModelIndex& index) { return index.isValid() ? index.internalPointer() : nullptr; }
  QModelIndex indexOf(TreeNodeRef node) const {
    if (node == nullptr || source() == nullptr) return {};
    return createIndex(source()->rowOf(node), 0, const_cast<void*>(node));
  }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (column != 0 || source() == nullptr) return {};
    TreeNodeRef node = source()->childAt(refOf(parent), row);
    return node == nullptr ? QModelIndex() : createIndex(row, 0, const_cast<void*>(node));
  }
  QModelIndex parent(const QModelIndex& child) const override {
    if (!child.isValid() || source() == nullptr) return {};
    return indexOf(source()->parentOf(refOf(child)));
  }
  int rowCount(const QModelIndex& parent) const override {
    if (parent.column() > 0 || source() == nullptr) return 0;
    return source()->childCount(refOf(parent));
  }
  int columnCount(const QModelIndex&) const override { return 1; }
  bool hasChildren(const QModelIndex& parent) const override {
    if (source() == nullptr) return false;
    return parent.isValid() ? source()->nodeHasChildren(refOf(parent)) : rowCount(parent) > 0;
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!peer_->look().readOnly) f |= Qt::ItemIsEditable;
    return f;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || source() == nullptr) return {};
    TreeNodeRef node = refOf(index);
    if (role == Qt::DisplayRole || role == Qt::EditRole) return fromProgramText(source()->nodeText(node));
    if (role == Qt::DecorationRole) return pictures(node);
    return {};
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole || !index.isValid() || source() == nullptr) return false;
    source()->userEdited(refOf(index), toProgramText(value.toString()));
    return true;
  }

  // The state picture and the node's picture side by side; nothing
  // without image lists (no room is kept). The node's picture is asked for
  // first: the program's answer may change the state pictures.
  QVariant pictures(TreeNodeRef node) const {
    gui::Size stateSize, imageSize;
    const gui::Surface* image = source()->nodeImage(node, imageSize);
    const gui::Surface* state = source()->nodeStateImage(node, stateSize);
    const int width = stateSize.width + imageSize.width;
    const int height = std::max(stateSize.height, imageSize.height);
    if (width <= 0 || height <= 0) return {};
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    if (state != nullptr) p.drawImage(0, 0, imageOf(*state));
    if (image != nullptr) p.drawImage(stateSize.width, 0, imageOf(*image));
    return pixmap;
  }

  // ---- What the engine announces.
  void insertNodes(TreeNodeRef parent, int row, int count) { beginInsertRows(indexOf(parent), row, row + count - 1); }
  void insertedNodes() { endInsertRows(); }
  void removeNodes(TreeNodeRef parent, int row, int count) { beginRemoveRows(indexOf(parent), row, row + count - 1); }
  void removedNodes() { endRemoveRows(); }
  void resetNodes() { beginResetModel(); }
  void wasReset() { endResetModel(); }
  void changed(TreeNodeRef node) {
    const QModelIndex i = indexOf(node);
    if (i.isValid()) emit dataChanged(i, i);
  }
  void changedAll() {
    emit layoutAboutToBeChanged();
    emit layoutChanged();
  }
  // Siblings change places: the nodes stay, their rows move.
  void reorder() {
    emit layoutAboutToBeChanged();
    moving_ = persistentIndexList();
  }
  void reordered() {
    QModelIndexList now;
    now.reserve(moving_.size());
    for (const QModelIndex& i : moving_) now.push_back(indexOf(refOf(i)));
    changePersistentIndexList(moving_, now);
    moving_.clear();
    emit layoutChanged();
  }

 private:
  gui::TreeViewPeer* peer_;
  QModelIndexList moving_;
};

class QtTreeViewPeer;

class NodeView : public QTreeView {
 public:
  explicit NodeView(QtTreeViewPeer* peer) : peer_(peer) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

 private:
  QtTreeViewPeer* peer_;
};

class QtTreeViewPeer : public ChildPeer<gui::TreeViewPeer> {
 public:
  explicit QtTreeViewPeer(gui::WindowOwner* owner)
      : ChildPeer<gui::TreeViewPeer>(owner, new NodeView(this)), model_(this) {
    QTreeView* v = view();
    v->setModel(&model_);
    v->setHeaderHidden(true);
    v->setItemsExpandable(false);  // the engine expands and collapses
    v->setExpandsOnDoubleClick(false);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    v->setUniformRowHeights(true);  // a long tree lays out in time
    v->setFocusPolicy(Qt::StrongFocus);
    // The mouse acts on the viewport: its events are the control's client area's.
    new EventBridge(v->viewport(), this);
    setLook(look_);
  }

  QTreeView* view() const { return static_cast<QTreeView*>(widget_.data()); }
  NodeModel& model() { return model_; }

  void setSource(gui::TreeViewSource* source) override {
    model_.resetNodes();
    gui::TreeViewPeer::setSource(source);
    model_.wasReset();
  }
  bool showingUserSelection = false;

  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::TreeViewPeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Base, qColor(rgb));
    widget_->setPalette(palette);
  }

  void beginInsertNodes(TreeNodeRef parent, int32_t row, int32_t count) override {
    model_.insertNodes(parent, row, count);
  }
  void endInsertNodes() override { model_.insertedNodes(); }
  void beginRemoveNodes(TreeNodeRef parent, int32_t row, int32_t count) override {
    model_.removeNodes(parent, row, count);
  }
  void endRemoveNodes() override { model_.removedNodes(); }
  void beginReorderNodes() override { model_.reorder(); }
  void endReorderNodes() override { model_.reordered(); }
  void beginResetNodes() override { model_.resetNodes(); }
  void endResetNodes() override { model_.wasReset(); }
  void nodeChanged(TreeNodeRef node) override { model_.changed(node); }
  void imagesChanged() override { model_.changedAll(); }

  void showExpanded(TreeNodeRef node, bool expanded) override {
    if (widget_) view()->setExpanded(model_.indexOf(node), expanded);
  }
  void showSelected(TreeNodeRef node) override {
    if (!widget_) return;
    const QModelIndex i = model_.indexOf(node);
    showingUserSelection = true;
    if (i.isValid()) view()->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    else view()->selectionModel()->clear();
    showingUserSelection = false;
  }
  void setLook(const gui::TreeLook& look) override {
    gui::TreeViewPeer::setLook(look);
    if (!widget_) return;
    QTreeView* v = view();
    v->setFrameShape(look.border ? QFrame::StyledPanel : QFrame::NoFrame);
    v->setRootIsDecorated(look.showRoot && (look.showButtons || look.showLines));
    v->setIndentation(look.indent);
    v->setEditTriggers(look.readOnly ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    QPalette palette = v->palette();
    // Hiding the selection without the focus: the inactive highlight is the base.
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor text = palette.color(QPalette::Active, QPalette::HighlightedText);
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     look.hideSelection ? palette.color(QPalette::Active, QPalette::Base) : highlight);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     look.hideSelection ? palette.color(QPalette::Active, QPalette::Text) : text);
    v->setPalette(palette);
  }
  void scrollToTop(TreeNodeRef node) override {
    if (widget_) view()->scrollTo(model_.indexOf(node), QAbstractItemView::PositionAtTop);
  }
  bool topNode(TreeNodeRef& node) const override {
    if (!widget_ || !widget_->isVisible()) return false;
    node = NodeModel::refOf(view()->indexAt(QPoint(1, 1)));
    return true;
  }
  TreeNodeRef nodeAt(int32_t x, int32_t y) const override {
    if (!widget_) return nullptr;
    return NodeModel::refOf(view()->indexAt(QPoint(x, y)));
  }

  // ---- The user's actions, each through the engine.
  void toggle(const QModelIndex& index) {
    if (source_ != nullptr && index.isValid())
      source_->userExpand(NodeModel::refOf(index), !view()->isExpanded(index));
  }
  void expand(const QModelIndex& index, bool expanded) {
    if (source_ != nullptr && index.isValid()) source_->userExpand(NodeModel::refOf(index), expanded);
  }
  void expandAll(const QModelIndex& index) {
    if (source_ != nullptr && index.isValid()) source_->userExpandAll(NodeModel::refOf(index));
  }
  bool select(const QModelIndex& index) {
    return source_ != nullptr && source_->userSelect(NodeModel::refOf(index));
  }
  bool mayEdit(const QModelIndex& index) {
    return source_ != nullptr && source_->userMayEdit(NodeModel::refOf(index));
  }

 private:
  NodeModel model_;
};

// A press on a node's button.
void NodeView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QModelIndex index = indexAt(at);
  if (index.isValid() && event->button() == Qt::LeftButton && model()->hasChildren(index)) {
    const QRect item = visualRect(index);
    if (at.x() < item.left() && at.x() >= item.left() - indentation()) {
      peer_->toggle(index);
      event->accept();
      return;
    }
  }
  QTreeView::mousePressEvent(event);
}

void NodeView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && event->button() == Qt::LeftButton && model()->hasChildren(index)) {
    peer_->toggle(index);
    event->accept();
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void NodeView::keyPressEvent(QKeyEvent* event) {
  const QModelIndex index = currentIndex();
  if (index.isValid() && state() != EditingState) {
    const bool parent = model()->hasChildren(index);
    switch (event->key()) {
      case Qt::Key_Right:
        if (parent && !isExpanded(index)) {
          peer_->expand(index, true);
          return;
        }
        break;
      case Qt::Key_Left:
        if (parent && isExpanded(index)) {
          peer_->expand(index, false);
          return;
        }
        break;
      case Qt::Key_Plus: peer_->expand(index, true); return;
      case Qt::Key_Minus: peer_->expand(index, false); return;
      case Qt::Key_Asterisk: peer_->expandAll(index); return;
      default: break;
    }
  }
  QTreeView::keyPressEvent(event);
}

// The program decides whether another node becomes the selected one.
QItemSelectionModel::SelectionFlags NodeView::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  if (!index.isValid() || peer_->showingUserSelection) return QTreeView::selectionCommand(index, event);
  // The press decided; releasing or dragging asks nothing more.
  if (event != nullptr && (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseMove))
    return QItemSelectionModel::NoUpdate;
  if (selectionModel()->isSelected(index)) return QItemSelectionModel::NoUpdate;
  if (!peer_->select(index)) return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

bool NodeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger != AllEditTriggers && (editTriggers() & trigger) == 0) return QTreeView::edit(index, trigger, event);
  if (state() == EditingState || !index.isValid() || !peer_->mayEdit(index)) return false;
  return QTreeView::edit(index, trigger, event);
}

}  // namespace

std::unique_ptr<gui::TreeViewPeer> makeTreeViewPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtTreeViewPeer>(&owner);
}

}  // namespace kestrel::qt
