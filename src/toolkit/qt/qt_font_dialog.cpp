// The font dialog on QFontDialog (Qt's own dialog, so that it behaves the
// same on every desktop). Sizes are points; the colour is not shown and
// stays as it was.
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "toolkit/qt/qt_fonts.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

using namespace gui::fontdlg;

// How long a dialog waits on a platform without a screen before it is
// cancelled (tests answer it sooner).
constexpr int kHeadlessAnswerMs = 1000;

bool has(const gui::FontDialogRequest& r, int option) { return (r.options & bit(option)) != 0; }

QFont toQFont(const gui::FontDesc& desc) {
  QFont font(fromProgramText(desc.name));
  font.setPointSize(std::max(1, std::abs(desc.size)));
  applyStyles(font, desc.styles);
  return font;
}

// The chosen font over the one shown first: face, size and styles change;
// colour, character set and pitch stay.
gui::FontDesc fromQFont(const QFont& font, gui::FontDesc desc, const gui::FontDialogRequest& r) {
  desc.name = toProgramText(font.family());
  int size = font.pointSize() > 0 ? font.pointSize() : static_cast<int>(font.pointSizeF() + 0.5);
  if (has(r, kLimitSize)) {
    if (r.minSize > 0) size = std::max(size, r.minSize);
    if (r.maxSize > 0) size = std::min(size, r.maxSize);
  }
  desc.size = size;
  desc.styles = stylesOf(font);
  return desc;
}

}  // namespace

bool showFontDialog(gui::FontDialogRequest& request) {
  if (!displayConfigured()) return false;
  application(true);
  QFontDialog dialog;
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (has(request, kFixedPitchOnly)) dialog.setOption(QFontDialog::MonospacedFonts);
  if (has(request, kScalableOnly) || has(request, kTrueTypeOnly)) dialog.setOption(QFontDialog::ScalableFonts);
  dialog.setCurrentFont(toQFont(request.font));
  if (has(request, kApplyButton) && request.apply) {
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
      QPushButton* apply = buttons->addButton(QDialogButtonBox::Apply);
      QObject::connect(apply, &QPushButton::clicked, &dialog, [&] {
        request.apply(fromQFont(dialog.currentFont(), request.font, request));
      });
    }
  }
  if (headlessPlatform()) QTimer::singleShot(kHeadlessAnswerMs, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  request.font = fromQFont(dialog.selectedFont(), request.font, request);
  return true;
}

}  // namespace kestrel::qt
