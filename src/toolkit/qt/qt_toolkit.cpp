// The toolkit on Qt 6 Widgets. The application object is created only when
// a program first needs the window system, so console programs never touch
// a display.
#include "toolkit/qt/qt_toolkit.h"

#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdlib>

#include "platform/end_requests.h"
#include "state/errors.h"
#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_gui.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/toolkit.h"

namespace kestrel {

namespace qt {

namespace {
QApplication* app = nullptr;

// Qt's notes about the desktop session (no runtime folder, no sound server,
// a platform without window hints) are noise for a console program;
// everything else is passed on.
QtMessageHandler defaultHandler = nullptr;
void filterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  static const char* const kNoise[] = {"QStandardPaths: XDG_RUNTIME_DIR", "This plugin does not support propagateSizeHints",
                                       "PulseAudioService: pa_context_connect"};
  if (type == QtWarningMsg || type == QtDebugMsg || type == QtInfoMsg)
    for (const char* noise : kNoise)
      if (text.startsWith(QLatin1String(noise))) return;
  if (defaultHandler != nullptr) defaultHandler(type, context, text);
}
}  // namespace

bool displayConfigured() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
}

QApplication& application(bool needDisplay) {
  if (needDisplay && !displayConfigured())
    raise("No display available for windows: set DISPLAY, or QT_QPA_PLATFORM=offscreen to run without one");
  if (app == nullptr) {
    // Qt's media back-end is always the GStreamer one: the other crashes on
    // machines without an audio device.
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    static int argc = 1;
    static char name[] = "kestrel";
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platformOption, offscreen, nullptr};
    if (!displayConfigured()) argc = 3;  // printing and sound need no screen
    defaultHandler = qInstallMessageHandler(filterMessages);
    app = new QApplication(argc, argv);
  }
  return *app;
}

bool headlessPlatform() {
  return app != nullptr && (QGuiApplication::platformName() == "offscreen" || QGuiApplication::platformName() == "minimal");
}

}  // namespace qt

namespace {

class QtToolkit : public Toolkit {
 public:
  // The Qt peer of each peer family; a family not listed gets its storing
  // base peer, which shows nothing.
  QtToolkit() {
    addPeers({
        peer<gui::WindowPeer, qt::makePlainPeer>(),
        peer<gui::FormPeer, qt::makeFormPeer>(),
        peer<gui::PicturePeer, qt::makePicturePeer>(),
        peer<gui::PanelPeer, qt::makePanelPeer>(),
        peer<gui::ButtonPeer, qt::makeButtonPeer>(),
        peer<gui::EditPeer, qt::makeEditPeer>(),
        peer<gui::MenuItemPeer, qt::makeMenuItemPeer>(),
        peer<gui::MenuBarPeer, qt::makeMenuBarPeer>(),
        peer<gui::PopupMenuPeer, qt::makePopupMenuPeer>(),
        peer<gui::RichEditPeer, qt::makeRichEditPeer>(),
        peer<gui::TrackBarPeer, qt::makeTrackBarPeer>(),
        peer<gui::HeaderPeer, qt::makeHeaderPeer>(),
        peer<gui::ListViewPeer, qt::makeListViewPeer>(),
        peer<gui::ContainerPeer, qt::makeContainerPeer>(),
        peer<gui::CheckBoxPeer, qt::makeCheckBoxPeer>(),
        peer<gui::RadioButtonPeer, qt::makeRadioButtonPeer>(),
        peer<gui::PaintBoxPeer, qt::makePaintBoxPeer>(),
        peer<gui::GameScreenPeer, qt::makeGameScreenPeer>(),
        peer<gui::ListPeer, qt::makeListPeer>(),
        peer<gui::FileListPeer, qt::makeFileListPeer>(),
        peer<gui::ComboPeer, qt::makeComboPeer>(),
        peer<gui::DirTreePeer, qt::makeDirTreePeer>(),
        peer<gui::TabPeer, qt::makeTabPeer>(),
        peer<gui::ScrollBarPeer, qt::makeScrollBarPeer>(),
        peer<gui::ImagePeer, qt::makeImagePeer>(),
        peer<gui::TreeViewPeer, qt::makeTreeViewPeer>(),
        peer<gui::OutlinePeer, qt::makeOutlinePeer>(),
        peer<gui::StringGridPeer, qt::makeStringGridPeer>(),
        peer<gui::GroupBoxPeer, qt::makeGroupBoxPeer>(),
        peer<gui::ScrollBoxPeer, qt::makeScrollBoxPeer>(),
        peer<gui::GlassFramePeer, qt::makeGlassFramePeer>(),
    });
  }
  // The toolkit goes away while the process exits, when Qt's own globals may
  // be gone already: the application object is left to the system then.
  ~QtToolkit() override { sound_.reset(); }

  bool windowSystemAvailable() override { return qt::displayConfigured(); }
  bool windowsUnseen() override {
    if (!qt::displayConfigured()) return false;
    qt::application(true);
    return qt::headlessPlatform();
  }

  void processPendingEvents() override {
    runPostedTasks();
    if (qt::app != nullptr) QApplication::processEvents();
  }

  int showMessageBox(const MessageBoxRequest& request) override { return qt::showMessageBox(request); }
  bool screenSize(int& width, int& height) override { return qt::screenSize(width, height); }
  void setScreenCursor(int shape) override { qt::setScreenCursor(shape); }
  std::unique_ptr<TextPrintJob> startTextPrintJob(const std::string& title) override {
    return qt::startTextPrintJob(title);
  }
  void playSound(platform::PcmSound sound, bool wait, bool loop) override {
    player().play(std::move(sound), wait, loop);
  }
  void stopSound() override {
    if (sound_) sound_->stop();
  }
  bool soundPlaying() override { return sound_ && sound_->playing(); }
  std::unique_ptr<SocketWatch> watchSocket(int socket, std::function<void(SocketCondition)> ready) override {
    return qt::makeSocketWatch(socket, std::move(ready));
  }
  bus::Bus* automationBus() override { return qt::automationBus(); }

  std::unique_ptr<gui::Surface> createSurface(int32_t width, int32_t height, uint32_t fill) override {
    return qt::makeSurface(width, height, fill);
  }
  std::unique_ptr<gui::TimerPeer> createTimer(std::function<void()> tick) override {
    return qt::makeTimerPeer(std::move(tick));
  }
  uint32_t systemColor(int index) override { return qt::paletteColor(index); }
  std::vector<std::string> screenFonts() override { return qt::screenFontFamilies(); }

  // Posted messages wait in Qt's queue, behind the events already there.
  void post(std::function<void()> task) override {
    if (qt::app == nullptr) {
      Toolkit::post(std::move(task));
      return;
    }
    QMetaObject::invokeMethod(qt::app, std::move(task), Qt::QueuedConnection);
  }
  bool waitForEvents() override {
    if (qt::app == nullptr) return Toolkit::waitForEvents();
    wakeOnEndRequests();
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return true;
  }
  void minimizeApplication() override { qt::minimizeAllWindows(); }

  // A signal asking the program to end wakes the wait, so that a modal
  // loop can give way to the end.
  static void wakeOnEndRequests() {
    static QSocketNotifier* notifier = nullptr;
    const int fd = platform::endRequestDescriptor();
    if (notifier != nullptr || fd < 0) return;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qt::app);
    QObject::connect(notifier, &QSocketNotifier::activated, [fd] {
      char bytes[64];
      while (::read(fd, bytes, sizeof bytes) > 0) {
      }
    });
  }
  void setHintListener(std::function<void(const std::string&)> listener) override {
    qt::setHintListener(std::move(listener));
  }
  int keyState(int virtualKey) override { return qt::keyState(virtualKey); }
  bool applicationActive() override { return qt::applicationActive(); }

  bool showFontDialog(gui::FontDialogRequest& request) override { return qt::showFontDialog(request); }
  bool showFileDialog(gui::FileDialogRequest& request) override { return qt::showFileDialog(request); }
  std::vector<std::string> printerNames() override { return qt::printerNames(); }
  int defaultPrinter() override { return qt::defaultPrinter(); }
  gui::PrinterCapabilities printerCapabilities(int printer) override { return qt::printerCapabilities(printer); }
  gui::Size printerPageSize(const gui::PrintSettings& settings) override { return qt::printerPageSize(settings); }
  std::unique_ptr<gui::PrintDocument> beginPrintDocument(const gui::PrintSettings& settings) override {
    return qt::beginPrintDocument(settings);
  }
  std::unique_ptr<gui::Surface> createPrinterCanvas(const gui::PrintSettings& settings) override {
    return qt::createPrinterCanvas(settings);
  }
  bool clipboardHasText() override { return qt::clipboardHasText(); }
  std::string clipboardText() override { return qt::clipboardText(); }
  void setClipboardText(const std::string& text) override { qt::setClipboardText(text); }
  bool clipboardHasPicture() override { return qt::clipboardHasPicture(); }
  std::unique_ptr<gui::Surface> clipboardPicture() override { return qt::clipboardPicture(); }
  void setClipboardPicture(const gui::Surface& picture) override { qt::setClipboardPicture(picture); }
  void clearClipboard() override { qt::clearClipboard(); }
  void setApplicationIcon(const gui::Surface* icon) override { qt::setApplicationIcon(icon); }
  void setApplicationHints(bool show, uint32_t color, int pauseMs, int hidePauseMs) override {
    qt::setApplicationHints(show, color, pauseMs, hidePauseMs);
  }

 private:
  qt::SoundPlayer& player() {
    if (!sound_) sound_ = qt::makeSoundPlayer();
    return *sound_;
  }
  std::unique_ptr<qt::SoundPlayer> sound_;
};

}  // namespace

std::unique_ptr<Toolkit> makeQtToolkit() { return std::make_unique<QtToolkit>(); }

void installQtToolkit() { installToolkit(makeQtToolkit()); }

}  // namespace kestrel

// The plug-in's entry point (see useToolkitPlugin).
extern "C" __attribute__((visibility("default"))) kestrel::Toolkit* kestrelMakeToolkit() {
  return kestrel::makeQtToolkit().release();
}
