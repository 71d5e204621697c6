#include "gui_support.h"

#include <QApplication>
#include <QMouseEvent>

#include "asm/kasm.h"
#include "image/program_image.h"
#include "objects/controls/form.h"
#include "state/store_kinds.h"
#include "toolkit/qt/qt_form.h"
#include "toolkit/qt/qt_widget_peer.h"

namespace kestrel::guitest {

Program::Program(const std::string& source, MachineOptions options)
    : m_(std::make_unique<Machine>(parseImage(kasm::assemble(source)), std::move(options))) {}

Program::~Program() = default;

std::string Program::run() {
  try {
    m_->run();
  } catch (const RuntimeError& e) {
    return e.what();
  } catch (const ProgramEnd&) {
    return "end";
  }
  m_->out.flush();
  return "";
}

double Program::number(int kind, int index) { return loadNumber(kind, m_->vars.scalarAt(kind, index)); }

std::string Program::text(int index) { return m_->vars.stringAt(index).str(); }

QWidget* Program::form(int index) {
  auto& f = objects::world(*m_).as<objects::Form>(objects::kFormType, index);
  auto* peer = dynamic_cast<qt::QtFormPeer*>(&f.peer());
  return peer != nullptr ? peer->widget() : nullptr;
}

QWidget* Program::widget(int type, int index) {
  auto* c = dynamic_cast<objects::Control*>(&objects::world(*m_).at(type, index));
  auto* holder = c != nullptr ? dynamic_cast<qt::QtWidgetHolder*>(&c->peer()) : nullptr;
  return holder != nullptr ? holder->heldWidget() : nullptr;
}

QImage Program::grab(int index) { return form(index)->grab().toImage().convertToFormat(QImage::Format_RGB32); }

uint32_t Program::bgr(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return static_cast<uint32_t>(qRed(p)) | static_cast<uint32_t>(qGreen(p)) << 8 | static_cast<uint32_t>(qBlue(p)) << 16;
}

void mouse(QWidget* w, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, {});
  QApplication::sendEvent(w, &e);
}

void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace kestrel::guitest
