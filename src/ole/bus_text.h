#pragma once
// Text between the program and the bus. Programs hold 8-bit text; the bus
// carries UTF-8. As everywhere else in the toolkit, program text that is
// valid UTF-8 passes as it is, any other is read as Latin-1; text coming
// back becomes one byte a character when every character has one, and
// stays UTF-8 otherwise.
#include <string>
#include <string_view>

namespace kestrel::ole {

std::string programToUtf8(std::string_view text);
std::string utf8ToProgram(std::string_view text);

}  // namespace kestrel::ole
