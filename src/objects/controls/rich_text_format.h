#pragma once
// Rich edits' files: the rich text format (a reader and a writer of the
// run-time's own that know font and colour tables, bold, italic,
// underline, strike-out, sizes, colours and paragraph alignment, and pass
// over the rest) and plain text (lines ended by CR LF, LF or CR).
#include <string>
#include <string_view>

#include "toolkit/rich_text.h"

namespace kestrel::objects {

// Whether bytes are rich text: they start with "{\rtf".
bool isRichTextFormat(std::string_view bytes);

// Text the file gives no format for takes `base` (its colour is the one
// the file's automatic colour stands for).
gui::RichText readRichText(std::string_view rtf, const gui::FontDesc& base);
// The window-text system colour is written as the automatic colour.
std::string writeRichText(const gui::RichText& text);

// One paragraph a line, in `format`; a line break at the end starts no
// further line.
gui::RichText readPlainText(std::string_view text, const gui::FontDesc& format);
// Every line followed by CR LF (nothing for an empty text).
std::string writePlainText(const gui::RichText& text);

}  // namespace kestrel::objects
