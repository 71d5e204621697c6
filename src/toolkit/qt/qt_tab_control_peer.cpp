// Tab controls on Qt: a QTabBar along one side of a framed page area that
// holds the control's children. The row draws its tabs itself, so that no
// tab need be selected (QTabBar always has a current tab), unselected tabs
// can have a colour and a font of their own, and tabs can look like
// buttons. The user choosing a tab is reported to the owner, which decides
// what is selected.
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"
#include "toolkit/peers/tab_control.h"

namespace kestrel::qt {

namespace {

constexpr int kFrame = 2;  // the page area's frame, as the null peer has it

class QtTabPeer;

// The row of tabs.
class TabRow : public QTabBar {
 public:
  explicit TabRow(QtTabPeer* peer, QWidget* parent) : QTabBar(parent), peer_(peer) {
    setDrawBase(false);
    setExpanding(false);
  }

 protected:
  QSize tabSizeHint(int index) const override;
  void paintEvent(QPaintEvent*) override;

 private:
  QtTabPeer* peer_;
};

// The control: the page frame, with the row and the children inside.
class TabArea : public QWidget {
 public:
  explicit TabArea(QtTabPeer* peer) : peer_(peer) {}

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtTabPeer* peer_;
};

class QtTabPeer : public ChildPeer<gui::TabPeer>, public QtContainer {
 public:
  explicit QtTabPeer(gui::WindowOwner* owner) : ChildPeer<gui::TabPeer>(owner, new TabArea(this)) {
    row_ = new TabRow(this, widget_);
    row_->hide();
    QObject::connect(row_, &QTabBar::tabBarClicked, row_, [this](int index) { chosen(index); });
    QObject::connect(row_, &QTabBar::currentChanged, row_, [this](int index) { chosen(index); });
  }

  QWidget* clientWidget() override { return widget_; }

  void setTabs(const std::vector<std::string>& texts) override {
    gui::TabPeer::setTabs(texts);
    if (!widget_) return;
    quiet_ = true;
    while (row_->count() > 0) row_->removeTab(row_->count() - 1);
    for (const std::string& t : texts) row_->addTab(fromProgramText(t));
    quiet_ = false;
    placeRow();
  }
  void setCurrent(int32_t index) override {
    gui::TabPeer::setCurrent(index);
    if (!widget_) return;
    quiet_ = true;
    if (index >= 0 && index < row_->count()) row_->setCurrentIndex(index);
    quiet_ = false;
    row_->update();
  }
  void setLook(const gui::TabLook& look) override {
    gui::TabPeer::setLook(look);
    if (!widget_) return;
    static constexpr QTabBar::Shape kShapes[] = {QTabBar::RoundedNorth, QTabBar::RoundedSouth, QTabBar::RoundedWest,
                                                QTabBar::RoundedEast};
    row_->setShape(kShapes[std::clamp(look.position, 0, 3)]);
    // One row: tabs that do not fit scroll, or (multi-line) are squeezed.
    row_->setUsesScrollButtons(!look.multiLine);
    row_->setElideMode(look.multiLine ? Qt::ElideRight : Qt::ElideNone);
    row_->setAttribute(Qt::WA_Hover, look.hotTrack);
    placeRow();
  }
  void setFont(const gui::FontDesc& font, uint32_t rgb) override {
    ChildPeer<gui::TabPeer>::setFont(font, rgb);
    if (widget_) placeRow();
  }

  gui::Rect displayArea() const override {
    const gui::Size client = clientSize();
    QRect r = pageRect(QRect(0, 0, client.width, client.height));
    r.adjust(kFrame, kFrame, -kFrame, -kFrame);
    return {r.left(), r.top(), std::max(r.left(), r.right() + 1), std::max(r.top(), r.bottom() + 1)};
  }

  // The area under (or beside) the row, its frame included.
  QRect pageRect(const QRect& whole) const {
    const int depth = rowDepth();
    switch (look_.position) {
      case 1: return whole.adjusted(0, 0, 0, -depth);
      case 2: return whole.adjusted(depth, 0, 0, 0);
      case 3: return whole.adjusted(0, 0, -depth, 0);
      default: return whole.adjusted(0, depth, 0, 0);
    }
  }

  // The row along its side of the control.
  void placeRow() {
    if (!widget_) return;
    const QRect whole = widget_->rect();
    const int depth = rowDepth();
    row_->setVisible(!tabs_.empty());
    switch (look_.position) {
      case 1: row_->setGeometry(0, whole.height() - depth, whole.width(), depth); break;
      case 2: row_->setGeometry(0, 0, depth, whole.height()); break;
      case 3: row_->setGeometry(whole.width() - depth, 0, depth, whole.height()); break;
      default: row_->setGeometry(0, 0, whole.width(), depth); break;
    }
    row_->lower();
    widget_->update();
  }

  int rowDepth() const {
    if (tabs_.empty() || row_ == nullptr) return 0;
    const QSize hint = row_->sizeHint();
    return look_.position >= 2 ? hint.width() : hint.height();
  }

  const gui::TabLook& look() const { return look_; }
  int32_t current() const { return current_; }

 private:
  void chosen(int index) {
    if (quiet_ || index < 0) return;
    gui::InputEvent e{gui::EventKind::Change};
    e.key = index;
    if (gui::WindowOwner* o = owner()) o->event(e);
    // The owner may have kept another tab: the row shows its choice.
    setCurrent(current_);
  }

  TabRow* row_ = nullptr;
  bool quiet_ = false;
};

QSize TabRow::tabSizeHint(int index) const {
  QSize size = QTabBar::tabSizeHint(index);
  const gui::TabLook& look = peer_->look();
  const bool sideways = look.position >= 2;
  // The tab's height runs across the row, its width along it.
  int& across = sideways ? size.rwidth() : size.rheight();
  int& along = sideways ? size.rheight() : size.rwidth();
  if (look.tabHeight > 0) across = look.tabHeight;
  if (look.tabWidth > 0) along = look.tabWidth;
  return size;
}

void TabRow::paintEvent(QPaintEvent*) {
  const gui::TabLook& look = peer_->look();
  const int selected = peer_->current();
  QStylePainter p(this);
  for (int i = 0; i < count(); ++i) {
    QStyleOptionTab tab;
    initStyleOption(&tab, i);
    if (i == selected) tab.state |= QStyle::State_Selected;
    else tab.state &= ~QStyle::State_Selected;
    if (!look.hotTrack) tab.state &= ~QStyle::State_MouseOver;
    const bool inactive = i != selected;
    if (inactive && look.inactiveColorSet) {
      tab.palette.setColor(QPalette::Button, qColor(look.inactiveColor));
      tab.palette.setColor(QPalette::Window, qColor(look.inactiveColor));
    }
    if (inactive && look.inactiveFontSet) tab.palette.setColor(QPalette::WindowText, qColor(look.inactiveFontColor));
    p.setFont(inactive && look.inactiveFontSet ? makeFont(look.inactiveFont) : font());
    if (look.buttons) {
      QStyleOptionButton button;
      button.initFrom(this);
      button.rect = tab.rect.adjusted(1, 1, -1, -1);
      button.palette = tab.palette;
      button.text = tab.text;
      button.state = tab.state & ~QStyle::State_Selected;
      if (i == selected) button.state |= QStyle::State_Sunken | QStyle::State_On;
      if (look.flatButtons) button.features |= QStyleOptionButton::Flat;
      if (!look.flatButtons || i == selected || (tab.state & QStyle::State_MouseOver))
        p.drawControl(QStyle::CE_PushButtonBevel, button);
      if (look.flatButtons && look.flatSeparators && i + 1 < count()) {
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(tab.rect.topRight(), tab.rect.bottomRight());
      }
      p.drawItemText(button.rect, Qt::AlignCenter | Qt::TextShowMnemonic, button.palette, isEnabled(), button.text,
                     QPalette::ButtonText);
      continue;
    }
    p.drawControl(QStyle::CE_TabBarTabShape, tab);
    p.drawControl(QStyle::CE_TabBarTabLabel, tab);
  }
}

void TabArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = peer_->pageRect(rect());
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &p, this);
}

void TabArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  peer_->placeRow();
}

}  // namespace

std::unique_ptr<gui::TabPeer> makeTabPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtTabPeer>(&owner);
}

}  // namespace kestrel::qt
