// List boxes, combo boxes and file list boxes on Qt: a QListWidget or a
// QComboBox that shows the items the engine keeps. Owner-drawn items are
// painted by a delegate that asks the engine for each item's picture and
// height; what the user picks or types goes back to the engine, which
// raises the events (a list box's click comes from here: a click on an
// item, or the keyboard moving the current item).
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

gui::ItemListOwner* listOwner(const gui::WindowPeer& peer) { return dynamic_cast<gui::ItemListOwner*>(peer.owner()); }

// Sets a flag while the engine's changes are shown, so that the signals
// they cause are not taken for the user's.
class Applying {
 public:
  explicit Applying(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
  ~Applying() { flag_ = saved_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// Text items as the style paints them; owner-drawn ones as the engine
// paints them, at the height the peer or the engine gives.
class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  OwnerDrawDelegate(const gui::ItemListPeer* peer, QObject* parent) : QStyledItemDelegate(parent), peer_(peer) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (peer_->itemStyle() == gui::ItemStyle::Text) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    gui::ItemListOwner* owner = listOwner(*peer_);
    const QRect r = option.rect;
    if (owner == nullptr || r.width() <= 0 || r.height() <= 0) return;
    QtSurface picture(r.width(), r.height(), gui::kWhite);
    picture.quiet = true;
    owner->paintItem(index.row(), gui::Rect::fromSize(r.x(), r.y(), r.width(), r.height()),
                     (option.state & QStyle::State_Selected) != 0, picture);
    painter->drawImage(r.topLeft(), picture.image());
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    switch (peer_->itemStyle()) {
      case gui::ItemStyle::OwnerFixed: return {1, peer_->itemHeight()};
      case gui::ItemStyle::OwnerVariable: {
        gui::ItemListOwner* owner = listOwner(*peer_);
        return {1, owner != nullptr ? owner->measuredHeight(index.row()) : peer_->itemHeight()};
      }
      default: return QStyledItemDelegate::sizeHint(option, index);
    }
  }

 private:
  const gui::ItemListPeer* peer_;
};

// A list widget that tells whether the key being handled moved the
// current item.
class ListWidget : public QListWidget {
 public:
  bool handlingKey = false;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    handlingKey = true;
    QListWidget::keyPressEvent(event);
    handlingKey = false;
  }
};

void setBasePalette(QWidget* widget, uint32_t rgb) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, qColor(rgb));
  widget->setPalette(palette);
}

// Base: gui::ListPeer (list boxes) or gui::FileListPeer (file list boxes).
template <class Base>
class QtListPeer : public ChildPeer<Base> {
 public:
  explicit QtListPeer(gui::WindowOwner* owner) : ChildPeer<Base>(owner, new ListWidget) {
    QListWidget* w = list();
    w->setItemDelegate(new OwnerDrawDelegate(this, w));
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QObject::connect(w->selectionModel(), &QItemSelectionModel::selectionChanged, w, [this] { report(false); });
    QObject::connect(w->selectionModel(), &QItemSelectionModel::currentChanged, w, [this] { report(true); });
    QObject::connect(w, &QListWidget::itemClicked, w, [this] { deliver(gui::EventKind::Click); });
    QObject::connect(w, &QListWidget::itemDoubleClicked, w, [this] { deliver(gui::EventKind::DblClick); });
  }

  ListWidget* list() const { return static_cast<ListWidget*>(this->widget_.data()); }

  void insertItem(int32_t index, std::string_view text) override {
    Base::insertItem(index, text);
    if (!this->widget_) return;
    Applying applying(applying_);
    list()->insertItem(index, fromProgramText(text));
  }
  void removeItem(int32_t index) override {
    Base::removeItem(index);
    if (!this->widget_) return;
    Applying applying(applying_);
    delete list()->takeItem(index);
  }
  void setItemText(int32_t index, std::string_view text) override {
    Base::setItemText(index, text);
    if (!this->widget_) return;
    if (QListWidgetItem* item = list()->item(index)) item->setText(fromProgramText(text));
  }
  void clearItems() override {
    Base::clearItems();
    if (!this->widget_) return;
    Applying applying(applying_);
    list()->clear();
  }
  void setItemStyle(gui::ItemStyle style, int32_t itemHeight) override {
    Base::setItemStyle(style, itemHeight);
    if (!this->widget_) return;
    list()->setUniformItemSizes(style == gui::ItemStyle::OwnerFixed);
    layOut();
  }
  void repaintItems() override {
    if (this->widget_) layOut();
  }
  void showSelection(int32_t current, const std::vector<bool>& selected) override {
    Base::showSelection(current, selected);
    if (!this->widget_) return;
    Applying applying(applying_);
    QAbstractItemModel* model = list()->model();
    QItemSelection selection;
    const int count = model->rowCount();
    for (int i = 0; i < count && static_cast<size_t>(i) < selected.size(); ++i) {
      if (!selected[static_cast<size_t>(i)]) continue;
      int last = i;
      while (last + 1 < count && static_cast<size_t>(last + 1) < selected.size() && selected[static_cast<size_t>(last + 1)])
        ++last;
      selection.select(model->index(i, 0), model->index(last, 0));
      i = last;
    }
    list()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const QModelIndex at = current >= 0 && current < count ? model->index(current, 0) : QModelIndex();
    list()->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
  }

  void setSelectionMode(bool multiSelect, bool extendedSelect) override {
    Base::setSelectionMode(multiSelect, extendedSelect);
    if (!this->widget_) return;
    list()->setSelectionMode(!multiSelect    ? QAbstractItemView::SingleSelection
                             : extendedSelect ? QAbstractItemView::ExtendedSelection
                                              : QAbstractItemView::MultiSelection);
  }
  void setColumns(int32_t columns) override {
    Base::setColumns(columns);
    if (this->widget_) layOut();
  }
  void setBorder(bool single) override {
    Base::setBorder(single);
    if (this->widget_) list()->setFrameShape(single ? QFrame::StyledPanel : QFrame::NoFrame);
  }
  void scrollTo(int32_t index) override {
    Base::scrollTo(index);
    if (!this->widget_) return;
    if (QListWidgetItem* item = list()->item(index)) list()->scrollToItem(item, QAbstractItemView::PositionAtTop);
  }
  int32_t topIndex() const override {
    if (!this->widget_) return Base::topIndex();
    const QModelIndex at = list()->indexAt(QPoint(1, 1));
    return at.isValid() ? at.row() : 0;
  }
  void setGeometry(const gui::Rect& r) override {
    ChildPeer<Base>::setGeometry(r);
    if (this->widget_ && this->columns_ > 0) layOut();
  }
  void setBackground(uint32_t rgb) override {
    ChildPeer<Base>::setBackground(rgb);
    if (this->widget_) setBasePalette(list(), rgb);
  }

 protected:
  // Items in columns: each column a part of the width, filled top to
  // bottom; else one column. Painted items are measured again.
  void layOut() {
    QListWidget* w = list();
    if (this->columns_ > 0) {
      const int height = this->style_ == gui::ItemStyle::Text ? w->fontMetrics().height() + 2 : this->itemHeight_;
      w->setFlow(QListView::TopToBottom);
      w->setWrapping(true);
      w->setGridSize(QSize(std::max(1, w->viewport()->width() / this->columns_), std::max(1, height)));
    } else {
      w->setWrapping(false);
      w->setGridSize(QSize());
    }
    w->doItemsLayout();
    w->viewport()->update();
  }

  void report(bool currentMoved) {
    if (applying_ || !this->widget_) return;
    gui::ItemListOwner* owner = listOwner(*this);
    if (owner == nullptr) return;
    ListWidget* w = list();
    std::vector<bool> selected(static_cast<size_t>(w->count()));
    for (int i = 0; i < w->count(); ++i) selected[static_cast<size_t>(i)] = w->item(i)->isSelected();
    this->current_ = w->currentRow();
    this->selected_ = selected;
    owner->userSelected(w->currentRow(), selected);
    // The keyboard moved the current item: that is a click too.
    if (currentMoved && w->handlingKey) deliver(gui::EventKind::Click);
  }

  void deliver(gui::EventKind kind) {
    gui::InputEvent e{kind};
    if (gui::WindowOwner* o = this->owner()) o->event(e);
  }

  bool applying_ = false;
};

class QtFileListPeer : public QtListPeer<gui::FileListPeer> {
 public:
  using QtListPeer::QtListPeer;

  void setGlyphs(const std::vector<bool>& folders, bool show) override {
    gui::FileListPeer::setGlyphs(folders, show);
    if (!widget_) return;
    QStyle* style = list()->style();
    const QIcon folder = style->standardIcon(QStyle::SP_DirIcon);
    const QIcon file = style->standardIcon(QStyle::SP_FileIcon);
    for (int i = 0; i < list()->count(); ++i) {
      const bool isFolder = static_cast<size_t>(i) < folders.size() && folders[static_cast<size_t>(i)];
      list()->item(i)->setIcon(show ? (isFolder ? folder : file) : QIcon());
    }
  }
};

class QtComboPeer : public ChildPeer<gui::ComboPeer> {
 public:
  explicit QtComboPeer(gui::WindowOwner* owner) : ChildPeer<gui::ComboPeer>(owner, new QComboBox) {
    QComboBox* c = combo();
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->setMaxVisibleItems(dropDownCount_);
    c->setCurrentIndex(-1);
    QObject::connect(c, &QComboBox::activated, c, [this](int index) {
      if (applying_) return;
      current_ = index;
      editText_ = toProgramText(combo()->currentText());
      if (gui::ItemListOwner* o = listOwner(*this)) o->userSelected(index, {});
    });
    QObject::connect(c->lineEdit(), &QLineEdit::textEdited, c, [this](const QString& text) {
      if (applying_) return;
      editText_ = toProgramText(text);
      if (gui::ItemListOwner* o = listOwner(*this)) o->userEdited(editText_);
    });
  }

  QComboBox* combo() const { return static_cast<QComboBox*>(widget_.data()); }

  void insertItem(int32_t index, std::string_view text) override {
    gui::ComboPeer::insertItem(index, text);
    if (!widget_) return;
    Applying applying(applying_);
    combo()->insertItem(index, fromProgramText(text));
    restore();
  }
  void removeItem(int32_t index) override {
    gui::ComboPeer::removeItem(index);
    if (!widget_) return;
    Applying applying(applying_);
    combo()->removeItem(index);
    restore();
  }
  void setItemText(int32_t index, std::string_view text) override {
    gui::ComboPeer::setItemText(index, text);
    if (!widget_) return;
    Applying applying(applying_);
    combo()->setItemText(index, fromProgramText(text));
    restore();
  }
  void clearItems() override {
    gui::ComboPeer::clearItems();
    if (!widget_) return;
    Applying applying(applying_);
    combo()->clear();
    restore();
  }
  void showSelection(int32_t current, const std::vector<bool>& selected) override {
    gui::ComboPeer::showSelection(current, selected);
    if (!widget_) return;
    Applying applying(applying_);
    restore();
  }
  // Items the program paints need the engine's delegate (combo boxes
  // draw text as their style does otherwise).
  void setItemStyle(gui::ItemStyle style, int32_t itemHeight) override {
    gui::ComboPeer::setItemStyle(style, itemHeight);
    if (widget_ && style != gui::ItemStyle::Text && dynamic_cast<OwnerDrawDelegate*>(combo()->itemDelegate()) == nullptr)
      combo()->setItemDelegate(new OwnerDrawDelegate(this, combo()));
  }
  void setEditText(std::string_view text) override {
    gui::ComboPeer::setEditText(text);
    if (!widget_) return;
    Applying applying(applying_);
    combo()->setEditText(fromProgramText(text));
  }
  void setMaxLength(int32_t length) override {
    gui::ComboPeer::setMaxLength(length);
    if (widget_) combo()->lineEdit()->setMaxLength(length > 0 ? length : 32767);
  }
  void setDropDownCount(int32_t count) override {
    gui::ComboPeer::setDropDownCount(count);
    if (widget_) combo()->setMaxVisibleItems(count);
  }
  void repaint() override {
    if (widget_) combo()->repaint();
  }
  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::ComboPeer>::setBackground(rgb);
    if (widget_) setBasePalette(combo(), rgb);
  }

 private:
  // The engine's current item and text, whatever the combo box made of
  // its items' changes.
  void restore() {
    combo()->setCurrentIndex(current_ < combo()->count() ? current_ : -1);
    combo()->setEditText(fromProgramText(editText_));
  }

  bool applying_ = false;
};

}  // namespace

std::unique_ptr<gui::ListPeer> makeListPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtListPeer<gui::ListPeer>>(&owner);
}

std::unique_ptr<gui::FileListPeer> makeFileListPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtFileListPeer>(&owner);
}

std::unique_ptr<gui::ComboPeer> makeComboPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtComboPeer>(&owner);
}

}  // namespace kestrel::qt
