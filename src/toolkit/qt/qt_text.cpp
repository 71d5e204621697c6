#include "toolkit/qt/qt_text.h"

#include <QStringDecoder>

namespace kestrel::qt {

QString fromProgramText(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return s;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toProgramText(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0xFF) return text.toStdString();
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace kestrel::qt
