// Message boxes, screen size and the application-wide cursor on Qt.
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

QMessageBox::Icon iconOf(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::Warning: return QMessageBox::Warning;
    case DialogIcon::Error: return QMessageBox::Critical;
    case DialogIcon::Information: return QMessageBox::Information;
    case DialogIcon::Question: return QMessageBox::Question;
    case DialogIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QAbstractButton* addButton(QMessageBox& box, DialogButton button) {
  switch (button) {
    case DialogButton::Ok: return box.addButton(QMessageBox::Ok);
    case DialogButton::Cancel: return box.addButton(QMessageBox::Cancel);
    case DialogButton::Abort: return box.addButton(QMessageBox::Abort);
    case DialogButton::Retry: return box.addButton(QMessageBox::Retry);
    case DialogButton::Ignore: return box.addButton(QMessageBox::Ignore);
    case DialogButton::Yes: return box.addButton(QMessageBox::Yes);
    case DialogButton::No: return box.addButton(QMessageBox::No);
    case DialogButton::Help: return box.addButton(QMessageBox::Help);
    case DialogButton::All: return box.addButton(QStringLiteral("All"), QMessageBox::AcceptRole);
    case DialogButton::TryAgain: return box.addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    case DialogButton::Continue: return box.addButton(QStringLiteral("Continue"), QMessageBox::AcceptRole);
  }
  return nullptr;
}

}  // namespace

int showMessageBox(const MessageBoxRequest& request) {
  if (!displayConfigured()) return -1;
  application(true);
  QMessageBox box;
  box.setIcon(iconOf(request.icon));
  box.setWindowTitle(fromProgramText(request.caption));
  box.setText(fromProgramText(request.text));
  std::vector<QAbstractButton*> buttons;
  for (DialogButton b : request.buttons) buttons.push_back(addButton(box, b));
  if (request.defaultButton >= 0 && request.defaultButton < static_cast<int>(buttons.size()))
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons[static_cast<size_t>(request.defaultButton)]));
  if (request.escapeButton >= 0 && request.escapeButton < static_cast<int>(buttons.size()))
    box.setEscapeButton(buttons[static_cast<size_t>(request.escapeButton)]);
  for (;;) {
    // Nobody can answer on a platform without a screen: the default button
    // answers for them.
    if (headlessPlatform()) {
      QTimer::singleShot(20, &box, [&box] {
        if (QPushButton* d = box.defaultButton()) d->click();
        else box.reject();
      });
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i] != clicked) continue;
      if (request.buttons[i] == DialogButton::Help) break;  // help keeps the box open
      return static_cast<int>(i);
    }
    if (clicked == nullptr || (headlessPlatform() && box.defaultButton() == nullptr))
      return request.escapeButton >= 0 ? request.escapeButton : request.defaultButton;
  }
}

bool screenSize(int& width, int& height) {
  if (!displayConfigured()) return false;
  application(true);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return false;
  width = screen->geometry().width();
  height = screen->geometry().height();
  return true;
}

void setScreenCursor(int shape) {
  // Only an application that exists shows a cursor; a console program's
  // cursor number is kept by the run-time alone.
  if (!displayConfigured() || QCoreApplication::instance() == nullptr) return;
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  if (shape != 0) QGuiApplication::setOverrideCursor(QCursor(cursorShape(shape)));
}

}  // namespace kestrel::qt
