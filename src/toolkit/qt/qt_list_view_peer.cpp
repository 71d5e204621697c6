// List views on Qt: one model over the items the engine keeps, shown by a
// QTreeView in the report style and by a QListView in the icon, small icon
// and list styles (the two share the model and its selection). The model
// asks the engine for every text, picture and check; what the user
// selects, checks, edits and clicks goes back to the engine, which raises
// the events.
#include <QHeaderView>
#include <algorithm>
#include <array>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPointer>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "toolkit/peers/list_view.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

gui::ListViewOwner* viewOwner(const gui::WindowPeer& peer) { return dynamic_cast<gui::ListViewOwner*>(peer.owner()); }

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

std::vector<QPixmap> pixmapsOf(const gui::ImageStrip& strip) {
  std::vector<QPixmap> out;
  out.reserve(strip.pictures.size());
  for (const auto& picture : strip.pictures) out.push_back(QPixmap::fromImage(imageOf(*picture)));
  return out;
}

// The items as rows; column 0 the caption, column c the sub-item c - 1.
class ListViewModel : public QAbstractTableModel {
 public:
  explicit ListViewModel(const gui::ListViewPeer* peer, QObject* parent) : QAbstractTableModel(parent), peer_(peer) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : peer_->rows(); }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(peer_->columns().size()));
  }

  QVariant data(const QModelIndex& index, int role) const override {
    gui::ListViewOwner* owner = viewOwner(*peer_);
    if (owner == nullptr || !index.isValid()) return {};
    const int32_t row = index.row();
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole: return fromProgramText(owner->itemText(row, index.column()));
      case Qt::DecorationRole: return index.column() == 0 ? decoration(*owner, row) : QVariant();
      case Qt::CheckStateRole:
        if (index.column() != 0 || !peer_->look().checkboxes) return {};
        return owner->itemChecked(row) ? Qt::Checked : Qt::Unchecked;
      default: return {};
    }
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0 && peer_->look().checkboxes) f |= Qt::ItemIsUserCheckable;
    if (index.column() == 0 && !peer_->look().readOnly) f |= Qt::ItemIsEditable;
    return f;
  }

  // The user's checks and edits reach the engine from the event loop,
  // after the view is done with them: the handlers they run may change
  // the items.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || index.column() != 0) return false;
    const QPersistentModelIndex at(index);
    const gui::ListViewPeer* peer = peer_;
    if (role == Qt::CheckStateRole) {
      const bool checked = value.toInt() == Qt::Checked;
      QMetaObject::invokeMethod(this, [peer, at, checked] {
        if (gui::ListViewOwner* owner = viewOwner(*peer); owner != nullptr && at.isValid())
          owner->userChecked(at.row(), checked);
      }, Qt::QueuedConnection);
      return true;
    }
    if (role == Qt::EditRole) {
      const std::string text = toProgramText(value.toString());
      QMetaObject::invokeMethod(this, [peer, at, text] {
        if (gui::ListViewOwner* owner = viewOwner(*peer); owner != nullptr && at.isValid())
          owner->userEdited(at.row(), text);
      }, Qt::QueuedConnection);
      return true;
    }
    return false;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const auto& columns = peer_->columns();
    if (section < 0 || static_cast<size_t>(section) >= columns.size()) return {};
    return fromProgramText(columns[static_cast<size_t>(section)].caption);
  }

  // ---- What the peer tells the views (the begin and end calls are the model's own).
  template <class F>
  void insertRows(int first, int last, F&& change) {
    beginInsertRows({}, first, last);
    change();
    endInsertRows();
  }
  template <class F>
  void removeRows(int first, int last, F&& change) {
    beginRemoveRows({}, first, last);
    change();
    endRemoveRows();
  }
  template <class F>
  void reset(F&& change) {
    beginResetModel();
    change();
    endResetModel();
  }
  template <class F>
  void changeColumns(int before, int after, F&& change) {
    if (after > before) beginInsertColumns({}, before, after - 1);
    if (after < before) beginRemoveColumns({}, after, before - 1);
    change();
    if (after > before) endInsertColumns();
    if (after < before) endRemoveColumns();
    if (after > 0) emit headerDataChanged(Qt::Horizontal, 0, after - 1);
  }
  void rowsChanged(int first, int last) { emit dataChanged(index(first, 0), index(last, columnCount({}) - 1)); }

  // Pictures: large ones in the icon view, small ones (after the state
  // picture when there are state images) in the others.
  void setPictures(gui::ListImages which, std::vector<QPixmap> pixmaps) {
    pixmaps_[static_cast<size_t>(which)] = std::move(pixmaps);
  }
  QSize pictureSize() const {
    if (peer_->look().viewStyle == gui::kViewIcon) return toQSize(peer_->images(gui::ListImages::Large).size);
    const gui::Size small = peer_->images(gui::ListImages::Small).size;
    if (!hasStateImages()) return toQSize(small);
    const gui::Size state = peer_->images(gui::ListImages::State).size;
    return {state.width + small.width, std::max(state.height, small.height)};
  }

 private:
  static QSize toQSize(gui::Size s) { return {s.width, s.height}; }
  bool hasStateImages() const {
    return !peer_->look().checkboxes && !pixmaps_[static_cast<size_t>(gui::ListImages::State)].empty();
  }
  const QPixmap* pixmap(gui::ListImages which, int32_t index) const {
    const std::vector<QPixmap>& list = pixmaps_[static_cast<size_t>(which)];
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
    return &list[static_cast<size_t>(index)];
  }
  QVariant decoration(gui::ListViewOwner& owner, int32_t row) const {
    if (peer_->look().viewStyle == gui::kViewIcon) {
      const QPixmap* large = pixmap(gui::ListImages::Large, owner.itemImage(row));
      return large != nullptr ? QVariant(*large) : QVariant();
    }
    const QPixmap* small = pixmap(gui::ListImages::Small, owner.itemImage(row));
    if (!hasStateImages()) return small != nullptr ? QVariant(*small) : QVariant();
    const QPixmap* state = pixmap(gui::ListImages::State, owner.itemStateImage(row));
    const QSize size = pictureSize();
    QPixmap both(size);
    both.fill(Qt::transparent);
    QPainter p(&both);
    const int stateWidth = peer_->images(gui::ListImages::State).size.width;
    if (state != nullptr) p.drawPixmap(0, 0, *state);
    if (small != nullptr) p.drawPixmap(stateWidth, 0, *small);
    return both;
  }

  const gui::ListViewPeer* peer_;
  std::vector<QPixmap> pixmaps_[3];
};

// Grid lines, the selection only on the caption unless the whole row
// shows selected, and the item under the mouse underlined in the link
// colour while hot tracking.
class ListViewDelegate : public QStyledItemDelegate {
 public:
  ListViewDelegate(const gui::ListViewPeer* peer, QObject* parent) : QStyledItemDelegate(parent), peer_(peer) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const gui::ListViewLook& look = peer_->look();
    const bool report = look.viewStyle == gui::kViewReport;
    QStyleOptionViewItem o(option);
    if (report && !look.rowSelect && index.column() != 0) o.state &= ~QStyle::State_Selected;
    if (look.hotTrack && (o.state & QStyle::State_MouseOver)) {
      o.font.setUnderline(true);
      o.palette.setColor(QPalette::Text, o.palette.color(QPalette::Link));
    }
    QStyledItemDelegate::paint(painter, o, index);
    if (report && look.gridLines) {
      painter->save();
      painter->setPen(o.palette.color(QPalette::Button));
      const QRect r = o.rect;
      painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
      painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
      painter->restore();
    }
  }

 private:
  const gui::ListViewPeer* peer_;
};

// Asks the engine before an item's caption is edited (only the caption can be).
template <class View>
class VetoingView : public View {
 public:
  explicit VetoingView(const gui::ListViewPeer* peer) : peer_(peer) {}

 protected:
  bool edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger, QEvent* event) override {
    if (trigger != QAbstractItemView::AllEditTriggers && index.isValid()) {
      const bool wantsEditor = (this->editTriggers() & trigger) != 0;
      if (wantsEditor) {
        gui::ListViewOwner* owner = viewOwner(*peer_);
        if (index.column() != 0 || owner == nullptr || !owner->mayEdit(index.row())) return false;
      }
    }
    return View::edit(index, trigger, event);
  }

 private:
  const gui::ListViewPeer* peer_;
};

using ReportView = VetoingView<QTreeView>;
using IconView = VetoingView<QListView>;

class QtListViewPeer : public ChildPeer<gui::ListViewPeer> {
 public:
  explicit QtListViewPeer(gui::WindowOwner* owner) : ChildPeer(owner, new QWidget) {
    QWidget* box = widget_;
    model_ = new ListViewModel(this, box);
    report_ = new ReportView(this);
    icons_ = new IconView(this);
    auto* stack = new QStackedLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(icons_);
    stack->addWidget(report_);
    stack_ = stack;

    report_->setModel(model_);
    icons_->setModel(model_);
    QItemSelectionModel* own = icons_->selectionModel();
    icons_->setSelectionModel(report_->selectionModel());
    delete own;
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
      view->setItemDelegate(new ListViewDelegate(this, view));
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      new EventBridge(view, this);
      new EventBridge(view->viewport(), this);
      view->viewport()->setMouseTracking(true);
    }
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionsMovable(false);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(2000);

    QObject::connect(report_->selectionModel(), &QItemSelectionModel::selectionChanged, box,
                     [this](const QItemSelection& selected, const QItemSelection& deselected) {
                       userSelected(selected, deselected);
                     });
    QObject::connect(report_->header(), &QHeaderView::sectionClicked, box, [this](int section) {
      if (gui::ListViewOwner* o = viewOwner(*this)) o->userClickedColumn(section);
    });
    QObject::connect(report_->header(), &QHeaderView::sectionResized, box, [this](int section, int, int size) {
      if (applying_ || static_cast<size_t>(section) >= columns_.size()) return;
      columns_[static_cast<size_t>(section)].width = size;
      if (gui::ListViewOwner* o = viewOwner(*this)) o->userResizedColumn(section, size);
    });
    showLook();
  }

  // ---- Items
  void itemsInserted(int32_t first, int32_t count) override {
    Applying applying(applying_);
    model_->insertRows(first, first + count - 1, [&] { gui::ListViewPeer::itemsInserted(first, count); });
  }
  void itemsRemoved(int32_t first, int32_t count) override {
    Applying applying(applying_);
    model_->removeRows(first, first + count - 1, [&] { gui::ListViewPeer::itemsRemoved(first, count); });
  }
  void itemsChanged(int32_t first, int32_t last) override {
    if (rows_ > 0) model_->rowsChanged(std::max(first, 0), std::min(last, rows_ - 1));
  }
  // The rows may all have moved: the selection comes from the engine again.
  void itemsReset(int32_t rows) override {
    Applying applying(applying_);
    model_->reset([&] { gui::ListViewPeer::itemsReset(rows); });
    applyColumnWidths();
    gui::ListViewOwner* owner = viewOwner(*this);
    if (owner == nullptr) return;
    QItemSelection selection;
    for (int32_t row = 0; row < rows_; ++row) {
      if (!owner->itemSelected(row)) continue;
      int32_t last = row;
      while (last + 1 < rows_ && owner->itemSelected(last + 1)) ++last;
      selection.select(model_->index(row, 0), model_->index(last, 0));
      row = last;
    }
    report_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  void selectionChanged(const std::vector<int32_t>& rows, int32_t current) override {
    gui::ListViewPeer::selectionChanged(rows, current);
    gui::ListViewOwner* owner = viewOwner(*this);
    if (owner == nullptr) return;
    Applying applying(applying_);
    QItemSelectionModel* selection = report_->selectionModel();
    for (int32_t row : rows) {
      if (row < 0 || row >= rows_) continue;
      const auto how = owner->itemSelected(row) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
      selection->select(model_->index(row, 0), how | QItemSelectionModel::Rows);
    }
    if (current >= 0 && current < rows_)
      selection->setCurrentIndex(model_->index(current, 0), QItemSelectionModel::NoUpdate);
  }
  void makeVisible(int32_t row) override {
    if (row >= 0 && row < rows_) currentView()->scrollTo(model_->index(row, 0));
  }

  // ---- Columns, look, pictures
  void setColumns(const std::vector<gui::ListColumnDesc>& columns) override {
    Applying applying(applying_);
    const int before = model_->columnCount({});
    const int after = std::max<int>(1, static_cast<int>(columns.size()));
    model_->changeColumns(before, after, [&] { gui::ListViewPeer::setColumns(columns); });
    applyColumnWidths();
  }
  void setLook(const gui::ListViewLook& look) override {
    const bool styleChanged = look.viewStyle != look_.viewStyle;
    gui::ListViewPeer::setLook(look);
    showLook();
    if (styleChanged && rows_ > 0) model_->rowsChanged(0, rows_ - 1);
  }
  void setImages(gui::ListImages which, const gui::ImageStrip& strip) override {
    gui::ListViewPeer::setImages(which, strip);
    model_->setPictures(which, pixmapsOf(strip));
    showPictureSize();
    if (rows_ > 0) model_->rowsChanged(0, rows_ - 1);
  }

  void setBackground(uint32_t rgb) override {
    ChildPeer::setBackground(rgb);
    for (QAbstractItemView* view : views()) {
      QPalette palette = view->palette();
      palette.setColor(QPalette::Base, qColor(rgb));
      view->setPalette(palette);
    }
  }

 private:
  std::array<QAbstractItemView*, 2> views() const { return {report_, icons_}; }
  QAbstractItemView* currentView() const {
    return look_.viewStyle == gui::kViewReport ? static_cast<QAbstractItemView*>(report_) : icons_;
  }

  void applyColumnWidths() {
    Applying applying(applying_);
    for (size_t i = 0; i < columns_.size(); ++i)
      report_->header()->resizeSection(static_cast<int>(i), std::max(columns_[i].width, 0));
    report_->setColumnHidden(0, columns_.empty());
  }

  void showPictureSize() {
    const QSize size = model_->pictureSize();
    if (look_.viewStyle == gui::kViewReport) report_->setIconSize(size);
    else icons_->setIconSize(size);
    if (look_.viewStyle == gui::kViewIcon) {
      const int line = icons_->fontMetrics().height();
      icons_->setGridSize(QSize(std::max(size.width() + 16, 75), size.height() + 2 * line + 12));
    }
  }

  void showLook() {
    const gui::ListViewLook& look = look_;
    const bool report = look.viewStyle == gui::kViewReport;
    stack_->setCurrentWidget(report ? static_cast<QWidget*>(report_) : icons_);
    switch (look.viewStyle) {
      case gui::kViewIcon:
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWordWrap(true);
        break;
      case gui::kViewSmallIcon:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setGridSize(QSize());
        break;
      default:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::TopToBottom);
        icons_->setGridSize(QSize());
        break;
    }
    icons_->setWrapping(!report);
    icons_->setMovement(QListView::Static);
    const auto mode = look.multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    const auto triggers = look.readOnly ? QAbstractItemView::NoEditTriggers
                                        : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed;
    for (QAbstractItemView* view : views()) {
      view->setSelectionMode(mode);
      view->setEditTriggers(triggers);
      view->viewport()->setAttribute(Qt::WA_Hover, look.hotTrack);
      static_cast<QFrame*>(view)->setFrameShape(look.border ? QFrame::StyledPanel : QFrame::NoFrame);
    }
    report_->setHeaderHidden(!look.showColumnHeaders);
    report_->header()->setSectionsClickable(look.columnClick);
    report_->setAllColumnsShowFocus(look.rowSelect);
    showPictureSize();
    currentView()->viewport()->update();
  }

  // Rows whose caption cell changed its selection.
  void userSelected(const QItemSelection& selected, const QItemSelection& deselected) {
    if (applying_) return;
    gui::ListViewOwner* owner = viewOwner(*this);
    if (owner == nullptr) return;
    QItemSelectionModel* model = report_->selectionModel();
    auto rowsOf = [&](const QItemSelection& ranges, bool nowSelected) {
      std::vector<int32_t> rows;
      for (const QItemSelectionRange& r : ranges)
        for (int row = r.top(); row <= r.bottom(); ++row)
          if (model->isSelected(model_->index(row, 0)) == nowSelected &&
              (rows.empty() || rows.back() != row))
            rows.push_back(row);
      std::sort(rows.begin(), rows.end());
      rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
      return rows;
    };
    owner->userSelected(rowsOf(deselected, false), rowsOf(selected, true));
  }

  ListViewModel* model_;
  ReportView* report_;
  IconView* icons_;
  QStackedLayout* stack_;
  bool applying_ = false;
};

}  // namespace

std::unique_ptr<gui::ListViewPeer> makeListViewPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtListViewPeer>(&owner);
}

}  // namespace kestrel::qt
