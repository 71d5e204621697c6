// The open and save dialogs on QFileDialog, always Qt's own widget (never
// the desktop's), so that it behaves the same everywhere and tests can
// answer it. Names go in and come out as this system's paths.
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

#include "toolkit/file_dialog.h"
#include "toolkit/qt/qt_services.h"
#include "toolkit/qt/qt_text.h"

namespace kestrel::qt {

namespace {

// How long a dialog waits on a platform without a screen before it is
// cancelled (tests answer it sooner).
constexpr int kHeadlessAnswerMs = 500;

QString hostName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string hostBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

void propose(QFileDialog& dialog, const gui::FileDialogRequest& r) {
  if (!r.directory.empty()) dialog.setDirectory(hostName(r.directory));
  if (r.fileName.empty()) return;
  const QString name = hostName(r.fileName);
  if (name.contains('/')) {
    const QFileInfo info(name);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  } else {
    dialog.selectFile(name);
  }
}

}  // namespace

bool showFileDialog(gui::FileDialogRequest& request) {
  if (!displayConfigured()) return false;
  application(true);
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (request.multiSelect && !request.save) dialog.setFileMode(QFileDialog::ExistingFiles);
  else if (request.fileMustExist && !request.save) dialog.setFileMode(QFileDialog::ExistingFile);
  else dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  if (!request.title.empty()) dialog.setWindowTitle(fromProgramText(request.title));
  QStringList filters;
  for (const std::string& f : request.filters) filters << fromProgramText(f);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[std::clamp(request.filterIndex, 1, static_cast<int>(filters.size())) - 1]);
  }
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(fromProgramText(request.defaultExtension));
  propose(dialog, request);
  if (headlessPlatform()) QTimer::singleShot(kHeadlessAnswerMs, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  request.files.clear();
  for (const QString& f : chosen) request.files.push_back(hostBytes(QFileInfo(f).absoluteFilePath()));
  request.fileName = request.files.front();
  const int filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  request.filterIndex = filter >= 0 ? filter + 1 : 1;
  return true;
}

}  // namespace kestrel::qt
