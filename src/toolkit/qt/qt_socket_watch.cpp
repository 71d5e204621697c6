// Sockets watched by Qt's event loop: one QSocketNotifier per condition.
#include <QSocketNotifier>

#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

// Watch callbacks running now (they may drop their own watch).
int dispatching = 0;

class QtSocketWatch : public SocketWatch {
 public:
  QtSocketWatch(int socket, const std::function<void(SocketCondition)>& ready) {
    application(false);  // notifiers need the application's event dispatcher
    readable_ = makeNotifier(socket, QSocketNotifier::Read, SocketCondition::Readable, ready);
    writable_ = makeNotifier(socket, QSocketNotifier::Write, SocketCondition::Writable, ready);
  }
  // The owner may drop a watch from inside `ready`, that is from a
  // notifier's own signal: then the notifiers are only switched off and go
  // when control is back in the event loop.
  ~QtSocketWatch() override {
    for (QSocketNotifier* n : {readable_, writable_}) {
      n->setEnabled(false);
      if (dispatching > 0) n->deleteLater();
      else delete n;
    }
  }

  void arm(SocketCondition condition, bool on) override {
    (condition == SocketCondition::Readable ? readable_ : writable_)->setEnabled(on);
  }

 private:
  static QSocketNotifier* makeNotifier(int socket, QSocketNotifier::Type type, SocketCondition condition,
                                       const std::function<void(SocketCondition)>& ready) {
    auto* n = new QSocketNotifier(socket, type);
    n->setEnabled(false);
    QObject::connect(n, &QSocketNotifier::activated, n, [ready, condition] {
      ++dispatching;
      ready(condition);
      --dispatching;
    });
    return n;
  }

  QSocketNotifier* readable_;
  QSocketNotifier* writable_;
};

}  // namespace

std::unique_ptr<SocketWatch> makeSocketWatch(int socket, std::function<void(SocketCondition)> ready) {
  return std::make_unique<QtSocketWatch>(socket, ready);
}

}  // namespace kestrel::qt
