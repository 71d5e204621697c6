#pragma once
// Program text to Qt text: UTF-8 when the bytes are valid UTF-8, else the
// Windows Latin-1 code page the programs were written for.
#include <QString>
#include <string>
#include <string_view>

namespace kestrel::qt {

QString fromProgramText(std::string_view text);
// Qt text to program text: one byte a character when every character has
// one, else UTF-8.
std::string toProgramText(const QString& text);

}  // namespace kestrel::qt
