// String grids on Qt: a QAbstractScrollArea whose viewport shows the
// picture the engine paints. The scroll bars step whole columns and rows;
// clicks, arrow keys and the editing keys go to the engine, which moves
// the current cell (asking the program) and opens the in-place editor: a
// line edit, with an ellipsis button beside it, or an editable combo box
// for a pick list.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <functional>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_surface.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

gui::StringGridOwner* gridOwner(const gui::WindowPeer& peer) {
  return dynamic_cast<gui::StringGridOwner*>(peer.owner());
}

class GridArea : public QAbstractScrollArea {
 public:
  std::function<gui::StringGridOwner*()> owner;

 protected:
  void paintEvent(QPaintEvent*) override {
    gui::StringGridOwner* o = owner();
    const QSize size = viewport()->size();
    if (o == nullptr || size.isEmpty()) return;
    QtSurface picture(size.width(), size.height(), gui::kWhite);
    picture.quiet = true;
    o->paintGrid(picture);
    QPainter p(viewport());
    p.drawImage(0, 0, picture.image());
  }
  void mousePressEvent(QMouseEvent* e) override {
    setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton) return;
    if (gui::StringGridOwner* o = owner()) o->userClicked(e->position().toPoint().x(), e->position().toPoint().y());
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    if (gui::StringGridOwner* o = owner()) o->userStartsEditing();
  }
  void keyPressEvent(QKeyEvent* e) override {
    gui::StringGridOwner* o = owner();
    if (o == nullptr) return;
    const bool control = (e->modifiers() & Qt::ControlModifier) != 0;
    switch (e->key()) {
      case Qt::Key_Left: o->userMoved(-1, 0, false, false); return;
      case Qt::Key_Right: o->userMoved(1, 0, false, false); return;
      case Qt::Key_Up: o->userMoved(0, -1, false, false); return;
      case Qt::Key_Down: o->userMoved(0, 1, false, false); return;
      case Qt::Key_PageUp: o->userMoved(0, -1, true, false); return;
      case Qt::Key_PageDown: o->userMoved(0, 1, true, false); return;
      case Qt::Key_Home: o->userMoved(-1, control ? -1 : 0, false, true); return;
      case Qt::Key_End: o->userMoved(1, control ? 1 : 0, false, true); return;
      case Qt::Key_F2:
      case Qt::Key_Return:
      case Qt::Key_Enter: o->userStartsEditing(); return;
      default: break;
    }
    const QString typed = e->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !control) {
      typedText = typed;
      o->userStartsEditing();
      typedText.clear();
      return;
    }
    QAbstractScrollArea::keyPressEvent(e);
  }
  void scrollContentsBy(int, int) override { viewport()->update(); }

 public:
  // The character that opened the editor: it replaces the cell's text.
  QString typedText;
};

// An editable combo box that tells the engine before its list drops down.
class PickListCombo : public QComboBox {
 public:
  std::function<void()> dropping;

  void showPopup() override {
    if (dropping) dropping();
    QComboBox::showPopup();
  }
};

class QtStringGridPeer : public ChildPeer<gui::StringGridPeer> {
 public:
  explicit QtStringGridPeer(gui::WindowOwner* owner) : ChildPeer<gui::StringGridPeer>(owner, new GridArea) {
    GridArea* a = area();
    a->owner = [this] { return gridOwner(*this); };
    a->setFocusPolicy(Qt::StrongFocus);
    a->setFrameShape(QFrame::Box);
    a->setLineWidth(1);
    // The program's mouse events come from the viewport, where the cells are.
    new EventBridge(a->viewport(), this);
    QObject::connect(a->horizontalScrollBar(), &QScrollBar::valueChanged, widget_, [this](int) { userScrolled(); });
    QObject::connect(a->verticalScrollBar(), &QScrollBar::valueChanged, widget_, [this](int) { userScrolled(); });
  }
  ~QtStringGridPeer() override {
    if (widget_) area()->owner = [] { return static_cast<gui::StringGridOwner*>(nullptr); };
  }

  GridArea* area() const { return static_cast<GridArea*>(widget_.data()); }

  gui::Size clientSize() const override {
    if (!widget_) return gui::StringGridPeer::clientSize();
    const QSize size = area()->viewport()->size();
    return {size.width(), size.height()};
  }

  void repaintGrid() override {
    if (widget_) area()->viewport()->update();
  }

  void setScroll(const gui::GridScroll& s) override {
    gui::StringGridPeer::setScroll(s);
    if (!widget_) return;
    applying_ = true;
    GridArea* a = area();
    a->setHorizontalScrollBarPolicy(s.horizontal && s.columnMax > s.columnMin ? Qt::ScrollBarAlwaysOn
                                                                               : Qt::ScrollBarAlwaysOff);
    a->setVerticalScrollBarPolicy(s.vertical && s.rowMax > s.rowMin ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    a->horizontalScrollBar()->setRange(s.columnMin, s.columnMax);
    a->horizontalScrollBar()->setValue(s.column);
    a->verticalScrollBar()->setRange(s.rowMin, s.rowMax);
    a->verticalScrollBar()->setValue(s.row);
    applying_ = false;
  }

  void setBorder(bool on) override {
    gui::StringGridPeer::setBorder(on);
    if (widget_) area()->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
  }

  void openEditor(const gui::GridEditor& e) override {
    const bool sameCell = editing_ && editor_.column == e.column && editor_.row == e.row && editor_.style == e.style;
    gui::StringGridPeer::openEditor(e);
    if (!widget_) return;
    if (sameCell && combo_ != nullptr) {
      // The pick list changed (often from the drop-down handler): the
      // combo box stays, its items change.
      const QString text = combo_->currentText();
      combo_->clear();
      for (const std::string& line : e.pickList) combo_->addItem(fromProgramText(line));
      combo_->setEditText(text);
      return;
    }
    removeEditor();
    const QString typed = area()->typedText;
    const QString text = typed.isEmpty() ? fromProgramText(e.text) : typed;
    if (e.style == gui::kGridButtonPickList) {
      auto* combo = new PickListCombo;
      combo->setEditable(true);
      for (const std::string& line : e.pickList) combo->addItem(fromProgramText(line));
      combo->setEditText(text);
      combo->dropping = [this, column = e.column, row = e.row] {
        if (gui::StringGridOwner* o = gridOwner(*this)) o->userDroppedPickList(column, row);
      };
      QObject::connect(combo, &QComboBox::editTextChanged, combo, [this](const QString& t) { edited(t); });
      combo_ = combo;
      place(combo, combo->lineEdit());
    } else {
      auto* holder = new QWidget;
      auto* layout = new QHBoxLayout(holder);
      layout->setContentsMargins(0, 0, 0, 0);
      layout->setSpacing(0);
      auto* line = new QLineEdit(text);
      line->setFrame(false);
      layout->addWidget(line);
      if (e.style == gui::kGridButtonEllipsis) {
        auto* button = new QToolButton;
        button->setText(QStringLiteral("..."));
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, button, [this, column = e.column, row = e.row] {
          if (gui::StringGridOwner* o = gridOwner(*this)) o->userClickedEllipsis(column, row);
        });
      }
      QObject::connect(line, &QLineEdit::textEdited, line, [this](const QString& t) { edited(t); });
      line_ = line;
      place(holder, line);
    }
    if (!typed.isEmpty()) edited(typed);
  }

  void closeEditor() override {
    gui::StringGridPeer::closeEditor();
    if (!widget_) return;
    const bool hadFocus = editorWidget_ != nullptr && editorWidget_->isAncestorOf(QApplication::focusWidget());
    removeEditor();
    if (hadFocus) area()->setFocus();
  }

 private:
  void place(QWidget* editor, QWidget* focus) {
    editorWidget_ = editor;
    editor->setParent(area()->viewport());
    const gui::Rect& r = editor_.rect;
    editor->setGeometry(r.left, r.top, std::max(r.width(), 16), std::max(r.height(), 8));
    editor->show();
    focus->setFocus(Qt::OtherFocusReason);
    new ClosingKeys(focus, [this] { finish(); });
  }

  void removeEditor() {
    if (editorWidget_) {
      editorWidget_->hide();
      editorWidget_->deleteLater();
    }
    editorWidget_ = nullptr;
    combo_ = nullptr;
    line_ = nullptr;
  }

  void edited(const QString& text) {
    if (!editing_) return;
    editor_.text = toProgramText(text);
    if (gui::StringGridOwner* o = gridOwner(*this)) o->userEdited(editor_.column, editor_.row, editor_.text);
  }

  void finish() {
    if (gui::StringGridOwner* o = gridOwner(*this)) o->userClosedEditor();
  }

  void userScrolled() {
    if (applying_ || !widget_) return;
    if (gui::StringGridOwner* o = gridOwner(*this))
      o->userScrolled(area()->horizontalScrollBar()->value(), area()->verticalScrollBar()->value());
  }

  // Enter and Escape close the editor (the text typed so far stays). They
  // are taken here: a line edit passes Enter on to its parents, and the
  // grid would open the editor again at once.
  class ClosingKeys : public QObject {
   public:
    ClosingKeys(QWidget* watched, std::function<void()> close) : QObject(watched), close_(std::move(close)) {
      watched->installEventFilter(this);
    }

   protected:
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() != QEvent::KeyPress) return false;
      const int key = static_cast<QKeyEvent*>(e)->key();
      if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
      close_();
      return true;
    }

   private:
    std::function<void()> close_;
  };

  QPointer<QWidget> editorWidget_;
  PickListCombo* combo_ = nullptr;
  QLineEdit* line_ = nullptr;
  bool applying_ = false;
};

}  // namespace

std::unique_ptr<gui::StringGridPeer> makeStringGridPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtStringGridPeer>(&owner);
}

}  // namespace kestrel::qt
