// Timers on Qt: a QTimer whose timeouts run the tick.
#include <QTimer>

#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

class QtTimerPeer : public gui::TimerPeer {
 public:
  explicit QtTimerPeer(std::function<void()> tick) : gui::TimerPeer(std::move(tick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick_(); });
  }
  void start(int32_t milliseconds) override {
    gui::TimerPeer::start(milliseconds);
    timer_.start(milliseconds);
  }
  void stop() override {
    gui::TimerPeer::stop();
    timer_.stop();
  }

 private:
  QTimer timer_;
};

}  // namespace

std::unique_ptr<gui::TimerPeer> makeTimerPeer(std::function<void()> tick) {
  application(false);  // the event loop the timer runs in
  return std::make_unique<QtTimerPeer>(std::move(tick));
}

}  // namespace kestrel::qt
