// Masked edits on Qt: a QLineEdit with the edit mask as its input mask.
// A validator makes typed text upper or lower case and keeps it within the
// longest length; the password character is the style's.
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QValidator>
#include <map>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::qt {

namespace {

// The mask in Qt's input-mask language (the position characters differ).
QString qtInputMask(const gui::EditMask& mask) {
  if (mask.empty()) return {};
  static const QString kSpecial = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\");
  QString out;
  gui::CaseConversion conversion = gui::CaseConversion::AsTyped;
  for (const gui::MaskPosition& p : mask.positions) {
    if (p.kind == 0) {
      const QString literal = fromProgramText(std::string(1, p.literal));
      if (kSpecial.contains(literal)) out += QLatin1Char('\\');
      out += literal;
      continue;
    }
    if (p.conversion != conversion) {
      conversion = p.conversion;
      out += conversion == gui::CaseConversion::Upper ? QLatin1Char('>')
             : conversion == gui::CaseConversion::Lower ? QLatin1Char('<') : QLatin1Char('!');
    }
    // Qt's optional forms even for required positions: Qt drops a blank
    // set into a required position and moves the rest of the text up,
    // while the engine keeps every character in its place (and decides
    // itself what a missing required character means).
    switch (p.kind) {
      case 'L': case 'l': out += QLatin1Char('a'); break;
      case 'A': case 'a': out += QLatin1Char('n'); break;
      case 'C': case 'c': out += QLatin1Char('x'); break;
      case '0': case '9': out += QLatin1Char('0'); break;
      default: out += QLatin1Char('#'); break;
    }
  }
  return out + QLatin1Char(';') + fromProgramText(std::string(1, mask.blank));
}

// The same style as the application's, with its own password character;
// one for each character, for the life of the application.
QStyle* passwordStyle(QChar c) {
  class PasswordStyle : public QProxyStyle {
   public:
    explicit PasswordStyle(QChar c) : c_(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
      if (hint == SH_LineEdit_PasswordCharacter) return c_.unicode();
      return QProxyStyle::styleHint(hint, option, widget, data);
    }

   private:
    QChar c_;
  };
  static std::map<char16_t, QPointer<QStyle>> styles;
  QPointer<QStyle>& style = styles[c.unicode()];
  if (!style) {
    style = new PasswordStyle(c);
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

// Typed text in the edit's case, and no longer than the longest length
// (a text the program set longer may still get shorter).
class EditValidator : public QValidator {
 public:
  EditValidator(QLineEdit* edit, const int32_t& maxLength, const gui::CaseConversion& conversion)
      : QValidator(edit), edit_(edit), maxLength_(maxLength), conversion_(conversion) {}

  State validate(QString& input, int&) const override {
    if (conversion_ == gui::CaseConversion::Upper) input = input.toUpper();
    if (conversion_ == gui::CaseConversion::Lower) input = input.toLower();
    if (maxLength_ > 0 && edit_->inputMask().isEmpty() && input.size() > maxLength_ && input.size() > edit_->text().size())
      return Invalid;
    return Acceptable;
  }

 private:
  QLineEdit* edit_;
  const int32_t& maxLength_;
  const gui::CaseConversion& conversion_;
};

class QtEditPeer : public ChildPeer<gui::EditPeer> {
 public:
  explicit QtEditPeer(gui::WindowOwner* owner) : ChildPeer<gui::EditPeer>(owner, new QLineEdit) {
    edit()->setValidator(new EditValidator(edit(), maxLength_, charCase_));
    QObject::connect(edit(), &QLineEdit::textChanged, edit(), [this] {
      if (!quiet_) changed();
    });
  }

  QLineEdit* edit() const { return static_cast<QLineEdit*>(widget_.data()); }

  void setText(std::string_view text) override {
    gui::WindowPeer::setText(text);
    if (!widget_) return;
    // The blank stands in its positions as it is: Qt takes the mask's blank
    // character in an optional position as an empty one.
    edit()->setText(fromProgramText(text));
    edit()->setCursorPosition(0);
    edit()->setModified(false);
  }
  std::string text() const override {
    if (!widget_) return text_;
    const bool shown = !mask_.empty() && edit()->echoMode() == QLineEdit::Normal;
    return toProgramText(shown ? edit()->displayText() : edit()->text());
  }
  void setMask(const gui::EditMask& mask) override {
    gui::EditPeer::setMask(mask);
    if (!widget_) return;
    quiet_ = true;  // the engine sets the text in the new mask next
    edit()->setInputMask(qtInputMask(mask));
    quiet_ = false;
  }
  void setPasswordChar(char c) override {
    gui::EditPeer::setPasswordChar(c);
    if (!widget_) return;
    if (c == 0) {
      edit()->setEchoMode(QLineEdit::Normal);
      edit()->setStyle(nullptr);
      return;
    }
    edit()->setStyle(passwordStyle(fromProgramText(std::string(1, c)).at(0)));
    edit()->setEchoMode(QLineEdit::Password);
  }
  void setReadOnly(bool readOnly) override {
    gui::EditPeer::setReadOnly(readOnly);
    if (widget_) edit()->setReadOnly(readOnly);
  }
  void setBorder(bool border) override {
    gui::EditPeer::setBorder(border);
    if (widget_) edit()->setFrame(border);
  }
  gui::TextSelection selection() const override {
    if (!widget_) return selection_;
    if (!edit()->hasSelectedText()) return {static_cast<int32_t>(edit()->cursorPosition()), 0};
    return {static_cast<int32_t>(edit()->selectionStart()), static_cast<int32_t>(edit()->selectionLength())};
  }
  void setSelection(gui::TextSelection selection) override {
    gui::EditPeer::setSelection(selection);
    if (!widget_) return;
    const int size = static_cast<int>(edit()->text().size() > edit()->displayText().size() ? edit()->text().size()
                                                                                           : edit()->displayText().size());
    const int start = std::clamp(selection.start, 0, size);
    const int length = std::clamp(selection.length, 0, size - start);
    if (length > 0) edit()->setSelection(start, length);
    else edit()->setCursorPosition(start);
  }
  bool modified() const override { return widget_ ? edit()->isModified() : modified_; }
  void setModified(bool modified) override {
    gui::EditPeer::setModified(modified);
    if (widget_) edit()->setModified(modified);
  }
  // An edit's background is the palette's base.
  void setBackground(uint32_t rgb) override {
    ChildPeer<gui::EditPeer>::setBackground(rgb);
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Base, qColor(rgb));
    widget_->setPalette(palette);
  }

 private:
  bool quiet_ = false;
};

}  // namespace

std::unique_ptr<gui::EditPeer> makeEditPeer(gui::WindowOwner& owner) {
  watchApplication();
  return std::make_unique<QtEditPeer>(&owner);
}

}  // namespace kestrel::qt
