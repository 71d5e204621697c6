// Header controls on Qt: a horizontal QHeaderView over a model with one
// column per section. Clicks reach the program only for sections that
// allow them; a drag of a section's edge is tracked while it lasts and
// reported as a resize when the mouse is released; widths the user gives
// stay inside the section's MinWidth..MaxWidth. What the program draws on
// the header's canvas is shown over the sections.
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <algorithm>
#include <functional>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

class SectionHeader : public QHeaderView {
 public:
  SectionHeader() : QHeaderView(Qt::Horizontal) {}

  const QImage* overlay = nullptr;
  std::function<void()> released;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QHeaderView::paintEvent(e);
    if (overlay == nullptr || overlay->isNull()) return;
    QPainter p(viewport());
    p.drawImage(0, 0, *overlay);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QHeaderView::mouseReleaseEvent(e);
    if (released) released();
  }
};

Qt::Alignment sectionAlignment(int32_t alignment) {
  const Qt::Alignment horizontal = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

class QtHeaderPeer : public ChildPeer<gui::HeaderPeer> {
 public:
  explicit QtHeaderPeer(gui::WindowOwner* owner)
      : ChildPeer<gui::HeaderPeer>(owner, new SectionHeader), model_(new QStandardItemModel(0, 0, widget_)) {
    SectionHeader* h = header();
    h->setModel(model_);
    h->setSectionsClickable(true);
    h->setHighlightSections(false);
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(0);
    h->setSectionResizeMode(QHeaderView::Interactive);
    // The sections take the mouse in the viewport: the program's mouse
    // events come from there.
    new EventBridge(h->viewport(), this);
    auto surface = std::make_unique<QtSurface>(0, 0, background());
    surface->changed = [this] {
      if (widget_) header()->viewport()->update();
    };
    overlay_ = surface.get();
    h->overlay = &surface->image();
    canvas_ = std::move(surface);
    h->released = [this] { dragEnded(); };
    QObject::connect(h, &QHeaderView::sectionClicked, widget_, [this](int index) { clicked(index); });
    QObject::connect(h, &QHeaderView::sectionResized, widget_,
                     [this](int index, int, int width) { resizedByUser(index, width); });
  }
  ~QtHeaderPeer() override {
    overlay_->changed = nullptr;
    if (widget_) header()->overlay = nullptr;
  }

  SectionHeader* header() const { return static_cast<SectionHeader*>(widget_.data()); }

  void setSections(const std::vector<gui::HeaderSection>& sections) override {
    gui::HeaderPeer::setSections(sections);
    if (!widget_) return;
    settingSections_ = true;
    const int count = static_cast<int>(sections.size());
    if (model_->columnCount() != count) model_->setColumnCount(count);
    for (int i = 0; i < count; ++i) {
      const gui::HeaderSection& s = sections[static_cast<size_t>(i)];
      // The program draws the caption of an owner-drawn section itself.
      const QString caption = s.style == 1 ? QString() : fromProgramText(s.text);
      model_->setHeaderData(i, Qt::Horizontal, caption, Qt::DisplayRole);
      model_->setHeaderData(i, Qt::Horizontal, QVariant::fromValue(sectionAlignment(s.alignment)),
                            Qt::TextAlignmentRole);
      header()->resizeSection(i, s.width);
    }
    settingSections_ = false;
    header()->viewport()->update();
  }
  void setHotTrack(bool on) override {
    gui::HeaderPeer::setHotTrack(on);
    if (widget_) header()->viewport()->setAttribute(Qt::WA_Hover, on);
  }
  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::HeaderPeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Button, qColor(rgb));
    widget_->setPalette(palette);
  }

 private:
  void deliver(gui::EventKind kind, int index, int width) {
    gui::InputEvent e{kind};
    e.x = index;
    e.y = width;
    if (gui::WindowOwner* o = owner()) o->event(e);
  }

  void clicked(int index) {
    if (index < 0 || index >= static_cast<int>(sections_.size())) return;
    if (!sections_[static_cast<size_t>(index)].allowClick) return;
    deliver(gui::EventKind::SectionClick, index, sections_[static_cast<size_t>(index)].width);
  }

  void resizedByUser(int index, int width) {
    if (settingSections_ || index < 0 || index >= static_cast<int>(sections_.size())) return;
    gui::HeaderSection& s = sections_[static_cast<size_t>(index)];
    const int kept = std::max(std::min(width, s.maxWidth), s.minWidth);
    if (kept != width) {
      settingSections_ = true;
      header()->resizeSection(index, kept);
      settingSections_ = false;
    }
    if (kept == s.width) return;
    s.width = kept;
    tracking_ = index;
    deliver(gui::EventKind::SectionTrack, index, kept);
  }

  void dragEnded() {
    if (tracking_ < 0) return;
    const int index = tracking_;
    tracking_ = -1;
    if (index < static_cast<int>(sections_.size()))
      deliver(gui::EventKind::SectionResize, index, sections_[static_cast<size_t>(index)].width);
  }

  QStandardItemModel* model_;
  QtSurface* overlay_ = nullptr;
  bool settingSections_ = false;
  int tracking_ = -1;
};

}  // namespace

std::unique_ptr<gui::HeaderPeer> makeHeaderPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtHeaderPeer>(&owner);
}

}  // namespace kestrel::qt
