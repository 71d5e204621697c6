// Sound output on Qt Multimedia. The audio device is driven from a thread
// of its own, so a sound goes on while the program computes or sleeps.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QThread>
#include <QCoreApplication>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "toolkit/qt/qt_services.h"

namespace kestrel::qt {

namespace {

QAudioFormat formatOf(const platform::PcmSound& sound) {
  QAudioFormat f;
  f.setSampleRate(sound.sampleRate);
  f.setChannelCount(sound.channels);
  if (sound.isFloat) f.setSampleFormat(QAudioFormat::Float);
  else if (sound.bitsPerSample == 8) f.setSampleFormat(QAudioFormat::UInt8);
  else if (sound.bitsPerSample == 16) f.setSampleFormat(QAudioFormat::Int16);
  else f.setSampleFormat(QAudioFormat::Int32);
  return f;
}

class QtSoundPlayer : public SoundPlayer {
 public:
  QtSoundPlayer() {
    application(false);
    thread_.start();
    context_.moveToThread(&thread_);
    // Ask once whether there is a device at all.
    QMetaObject::invokeMethod(
        &context_, [this] { haveDevice_ = !QMediaDevices::defaultAudioOutput().isNull(); },
        Qt::BlockingQueuedConnection);
    live = this;
    static const bool registered = std::atexit([] {
      if (live != nullptr) live->shutdown();
    }) == 0;
    (void)registered;
  }

  ~QtSoundPlayer() override {
    shutdown();
    if (live == this) live = nullptr;
  }

  // Stops the sound and the thread. Runs at the latest when the process
  // exits, before Qt's own sound globals go away.
  void shutdown() {
    if (!thread_.isRunning()) return;
    QMetaObject::invokeMethod(
        &context_,
        [this] {
          stopHere();
          QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }

  static inline QtSoundPlayer* live = nullptr;

  void play(platform::PcmSound sound, bool wait, bool loop) override {
    if (!haveDevice_ || !thread_.isRunning() || sound.samples.empty()) return;
    uint64_t ticket = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ticket = ++started_;
    }
    QMetaObject::invokeMethod(
        &context_, [this, s = std::move(sound), loop, ticket]() mutable { startHere(std::move(s), loop, ticket); },
        Qt::QueuedConnection);
    if (!wait) return;
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return finished_ >= ticket; });
  }

  void stop() override {
    if (!haveDevice_ || !thread_.isRunning()) return;
    QMetaObject::invokeMethod(&context_, [this] { stopHere(); }, Qt::BlockingQueuedConnection);
  }

  bool playing() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_ < started_;
  }

 private:
  // On the sound thread.
  void startHere(platform::PcmSound sound, bool loop, uint64_t ticket) {
    stopHere();
    data_ = QByteArray(reinterpret_cast<const char*>(sound.samples.data()), static_cast<qsizetype>(sound.samples.size()));
    buffer_ = new QBuffer(&data_, &context_);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(QMediaDevices::defaultAudioOutput(), formatOf(sound), &context_);
    current_ = ticket;
    QObject::connect(sink_, &QAudioSink::stateChanged, &context_, [this, loop](QAudio::State state) {
      if (sink_ == nullptr) return;
      if (state == QAudio::IdleState && loop) {
        buffer_->seek(0);
        sink_->start(buffer_);
      } else if (state == QAudio::IdleState || state == QAudio::StoppedState) {
        if (sink_->error() != QAudio::NoError || state == QAudio::IdleState) stopHere();
      }
    });
    sink_->start(buffer_);
    if (sink_->error() != QAudio::NoError) stopHere();
  }

  void stopHere() {
    if (sink_ != nullptr) {
      QAudioSink* sink = sink_;
      sink_ = nullptr;
      sink->stop();
      sink->deleteLater();
    }
    if (buffer_ != nullptr) {
      buffer_->deleteLater();
      buffer_ = nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_ > finished_) finished_ = current_;
    done_.notify_all();
  }

  QThread thread_;
  QObject context_;
  bool haveDevice_ = false;
  QAudioSink* sink_ = nullptr;
  QBuffer* buffer_ = nullptr;
  QByteArray data_;
  uint64_t current_ = 0;

  std::mutex mutex_;
  std::condition_variable done_;
  uint64_t started_ = 0;
  uint64_t finished_ = 0;
};

}  // namespace

std::unique_ptr<SoundPlayer> makeSoundPlayer() { return std::make_unique<QtSoundPlayer>(); }

}  // namespace kestrel::qt
