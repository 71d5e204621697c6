// Rich edits on Qt: a QTextEdit showing the peer's document. The peer's
// document stays the model: what the program changes is shown anew, and
// what the user types is read back into it. Each character format carries
// the index of the run-time format it shows, so that reading back keeps
// what Qt cannot say (system colours, character sets, pitches).
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <vector>

#include "toolkit/colors.h"
#include "toolkit/peers/rich_edit.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

constexpr int kFormatIndex = QTextFormat::UserProperty + 1;

Qt::Alignment qtAlignment(int alignment) {
  return alignment == gui::kAlignRightText    ? Qt::AlignRight
         : alignment == gui::kAlignCentreText ? Qt::AlignHCenter
                                              : Qt::AlignLeft;
}

int alignmentOf(Qt::Alignment a) {
  if (a.testFlag(Qt::AlignRight)) return gui::kAlignRightText;
  if (a.testFlag(Qt::AlignHCenter)) return gui::kAlignCentreText;
  return gui::kAlignLeftText;
}

class QtRichEditPeer : public ChildPeer<gui::RichEditPeer> {
 public:
  explicit QtRichEditPeer(gui::WindowOwner* owner) : ChildPeer<gui::RichEditPeer>(owner, new QTextEdit) {
    edit()->setAcceptRichText(false);
    edit()->setTabChangesFocus(true);
    edit()->viewport()->setMouseTracking(true);
    // Mouse events go to the viewport.
    new EventBridge(edit()->viewport(), this);
    connections_ = {
        QObject::connect(edit()->document(), &QTextDocument::contentsChanged, edit(),
                         [this] {
                           if (!quiet_) userEdited();
                         }),
        QObject::connect(edit(), &QTextEdit::cursorPositionChanged, edit(),
                         [this] {
                           if (!quiet_) pullSelection();
                         }),
        QObject::connect(edit(), &QTextEdit::selectionChanged, edit(),
                         [this] {
                           if (!quiet_) pullSelection();
                         }),
    };
    pushDocument();
    auto* flusher = new InputFlusher(this);
    edit()->installEventFilter(flusher);
    edit()->viewport()->installEventFilter(flusher);
  }
  // The widget outlives this part of the peer: its last signals find no one.
  ~QtRichEditPeer() override {
    for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
  }

  QTextEdit* edit() const { return static_cast<QTextEdit*>(widget_.data()); }

  void setReadOnly(bool readOnly) override {
    gui::RichEditPeer::setReadOnly(readOnly);
    if (widget_) edit()->setReadOnly(readOnly);
  }
  void setWordWrap(bool wrap) override {
    gui::RichEditPeer::setWordWrap(wrap);
    if (widget_) edit()->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  }
  void setScrollBars(int bars, bool hideWhenUnneeded) override {
    gui::RichEditPeer::setScrollBars(bars, hideWhenUnneeded);
    if (!widget_) return;
    const Qt::ScrollBarPolicy on = hideWhenUnneeded ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    edit()->setHorizontalScrollBarPolicy((bars & 1) != 0 ? on : Qt::ScrollBarAlwaysOff);
    edit()->setVerticalScrollBarPolicy((bars & 2) != 0 ? on : Qt::ScrollBarAlwaysOff);
  }
  void setWantTabs(bool want) override {
    gui::RichEditPeer::setWantTabs(want);
    if (widget_) edit()->setTabChangesFocus(!want);
  }
  void setBorder(bool border) override {
    gui::RichEditPeer::setBorder(border);
    if (widget_) edit()->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
  }
  void setHideSelection(bool hide) override {
    gui::RichEditPeer::setHideSelection(hide);
    if (!widget_) return;
    // Without the focus the selection shows in the inactive highlight, or
    // not at all.
    QPalette palette = widget_->palette();
    const QPalette standard = widget_->style()->standardPalette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     hide ? QColor(Qt::transparent) : standard.color(QPalette::Inactive, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     hide ? palette.color(QPalette::Active, QPalette::Text)
                          : standard.color(QPalette::Inactive, QPalette::HighlightedText));
    widget_->setPalette(palette);
  }
  // (ChildPeer's would set the window text only.)
  void setText(std::string_view text) override { gui::RichEditPeer::setText(text); }
  // Empty lines and what typing gives take the control's font.
  void setFont(const gui::FontDesc& font, uint32_t rgb) override {
    ChildPeer<gui::RichEditPeer>::setFont(font, rgb);
    if (!widget_) return;
    edit()->document()->setDefaultFont(makeFont(font));
    repush_ = true;  // empty lines take the new font
    updateView();
  }
  // An edit's background is the palette's base.
  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::RichEditPeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Base, qColor(rgb));
    widget_->setPalette(palette);
  }

 protected:
  // Shown once the program pauses (a loop of AddLine shows the text once),
  // and before the widget takes any input.
  void updateView() override {
    if (skipUpdate_) {
      skipUpdate_ = false;
      return;
    }
    if (!widget_ || pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(edit(), [this] { flush(); }, Qt::QueuedConnection);
  }

 private:
  // Brings the widget up to date before it handles the user's input.
  class InputFlusher : public QObject {
   public:
    explicit InputFlusher(QtRichEditPeer* peer) : QObject(peer->edit()), peer_(peer) {}
    bool eventFilter(QObject*, QEvent* e) override {
      switch (e->type()) {
        case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::ShortcutOverride: case QEvent::InputMethod:
        case QEvent::MouseButtonPress: case QEvent::MouseButtonDblClick: case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: case QEvent::FocusIn: case QEvent::DragEnter: case QEvent::Drop:
          peer_->flush();
          break;
        default: break;
      }
      return false;
    }

   private:
    QtRichEditPeer* peer_;
  };

  void flush() {
    if (!pending_ || !widget_) return;
    pending_ = false;
    if (repush_ || !(doc_ == shown_)) pushDocument();
    repush_ = false;
    pushSelection();
  }

  QTextCharFormat charFormat(const gui::FontDesc& f) {
    auto it = std::find(formats_.begin(), formats_.end(), f);
    if (it == formats_.end()) it = formats_.insert(formats_.end(), f);
    QTextCharFormat c;
    c.setFont(makeFont(f));
    c.setForeground(qColor(gui::colorToRgb(f.color)));
    c.setProperty(kFormatIndex, static_cast<int>(it - formats_.begin()));
    return c;
  }

  gui::FontDesc formatOf(const QTextCharFormat& c) const {
    if (c.hasProperty(kFormatIndex)) {
      const int i = c.intProperty(kFormatIndex);
      if (i >= 0 && static_cast<size_t>(i) < formats_.size()) return formats_[static_cast<size_t>(i)];
    }
    // Text from outside the program's formats (dropped or pasted by Qt).
    gui::FontDesc f = font_;
    const QFont font = c.font();
    f.name = toProgramText(font.family());
    if (font.pointSize() > 0) f.size = font.pointSize();
    f.styles = stylesOf(font);
    return f;
  }

  void pushDocument() {
    quiet_ = true;
    QTextDocument* d = edit()->document();
    d->clear();
    QTextCursor c(d);
    bool first = true;
    for (const gui::RichParagraph& p : doc_.paragraphs()) {
      if (!first) c.insertBlock();
      first = false;
      QTextBlockFormat block;
      block.setAlignment(qtAlignment(p.alignment));
      c.setBlockFormat(block);
      if (p.runs.empty()) c.setBlockCharFormat(charFormat(font_));
      for (const gui::RichRun& r : p.runs) c.insertText(fromProgramText(r.text), charFormat(r.format));
    }
    shown_ = doc_;
    quiet_ = false;
  }

  // A position of the document in Qt's terms (a paragraph break counts
  // one there) and back.
  int qtPosition(int32_t position) const {
    const int32_t p = doc_.paragraphAt(position);
    const std::string para = doc_.paragraphs()[static_cast<size_t>(p)].text();
    const auto offset = static_cast<size_t>(std::clamp(position - doc_.paragraphStart(p), 0, static_cast<int32_t>(para.size())));
    const QTextBlock block = edit()->document()->findBlockByNumber(p);
    return block.position() + static_cast<int>(fromProgramText(std::string_view(para).substr(0, offset)).size());
  }
  int32_t programPosition(int qtPos) const {
    const QTextBlock block = edit()->document()->findBlock(qtPos);
    if (!block.isValid()) return doc_.length();
    const QString head = block.text().left(qtPos - block.position());
    return doc_.paragraphStart(block.blockNumber()) + static_cast<int32_t>(toProgramText(head).size());
  }

  void pushSelection() {
    quiet_ = true;
    QTextCursor c = edit()->textCursor();
    c.setPosition(qtPosition(selection_.start));
    if (selection_.length > 0) c.setPosition(qtPosition(selection_.start + selection_.length), QTextCursor::KeepAnchor);
    edit()->setTextCursor(c);
    // (With a selection this would format the selected text.)
    if (selection_.length == 0) edit()->setCurrentCharFormat(charFormat(selectionFormat()));
    quiet_ = false;
  }

  void pullSelection() {
    const QTextCursor c = edit()->textCursor();
    const int32_t start = programPosition(c.selectionStart());
    const gui::TextSelection now{start, programPosition(c.selectionEnd()) - start};
    if (now == selection_) return;
    selection_ = now;
    typingFormatSet_ = false;
  }

  void userEdited() {
    std::vector<gui::RichParagraph> paragraphs;
    for (QTextBlock b = edit()->document()->begin(); b.isValid(); b = b.next()) {
      gui::RichParagraph p;
      p.alignment = alignmentOf(b.blockFormat().alignment());
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.isValid()) p.runs.push_back({toProgramText(f.text()), formatOf(f.charFormat())});
      }
      paragraphs.push_back(std::move(p));
    }
    doc_ = gui::RichText(std::move(paragraphs));
    shown_ = doc_;
    modified_ = true;
    pullSelection();
    // The widget shows it already.
    skipUpdate_ = true;
    changed();
    skipUpdate_ = false;
  }

  std::vector<QMetaObject::Connection> connections_;
  std::vector<gui::FontDesc> formats_;
  gui::RichText shown_;
  bool quiet_ = false;
  bool skipUpdate_ = false;
  bool pending_ = false;
  bool repush_ = false;
};

}  // namespace

std::unique_ptr<gui::RichEditPeer> makeRichEditPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtRichEditPeer>(&owner);
}

}  // namespace kestrel::qt
