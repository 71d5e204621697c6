#pragma once
// Running programs on the Qt toolkit under the offscreen platform, finding
// their windows, grabbing pictures and delivering events.
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <string>

#include "core/machine.h"

namespace kestrel::guitest {

class Program {
 public:
  explicit Program(const std::string& source, MachineOptions options = {});
  ~Program();
  // Runs the program from its start (to its end); returns the run-time
  // error's text, or "" when there was none.
  std::string run();
  Machine& machine() { return *m_; }

  double number(int kind, int index);  // a numeric variable
  int32_t integer(int index) { return static_cast<int32_t>(number(3, index)); }
  std::string text(int index);         // a string variable

  // The widget of form N, and its picture as the screen would show it.
  QWidget* form(int index);
  QImage grab(int index);
  // The widget of control `index` of `type` (nullptr when it has none).
  QWidget* widget(int type, int index);
  // The colour of a pixel of a grabbed picture as 0x00BBGGRR.
  static uint32_t bgr(const QImage& image, int x, int y);

 private:
  std::unique_ptr<Machine> m_;
};

// Lets Qt deliver what is waiting.
void settle();

// Sends a left-button press, move or release at `at` inside `w`.
void mouse(QWidget* w, QEvent::Type type, QPoint at);

}  // namespace kestrel::guitest
