#include "toolkit/rich_text.h"

#include <algorithm>

namespace kestrel::gui {

namespace {
constexpr int32_t kBreak = 2;  // CR LF
}

std::string RichParagraph::text() const {
  std::string out;
  for (const RichRun& r : runs) out += r.text;
  return out;
}

int32_t RichParagraph::length() const {
  size_t n = 0;
  for (const RichRun& r : runs) n += r.text.size();
  return static_cast<int32_t>(n);
}

void FormatChange::applyTo(FontDesc& format) const {
  if (name) format.name = *name;
  if (size) format.size = *size;
  if (color) format.color = *color;
  if (charset) format.charset = *charset;
  if (pitch) format.pitch = *pitch;
  format.styles = static_cast<uint8_t>((format.styles | addStyles) & ~removeStyles);
}

FormatChange FormatChange::allOf(const FontDesc& font) {
  FormatChange c;
  c.name = font.name;
  c.size = font.size;
  c.color = font.color;
  c.charset = font.charset;
  c.pitch = font.pitch;
  c.addStyles = font.styles;
  c.removeStyles = static_cast<uint8_t>(~font.styles & 0x0F);
  return c;
}

RichText::RichText(std::vector<RichParagraph> paragraphs) : paragraphs_(std::move(paragraphs)) {
  if (paragraphs_.empty()) paragraphs_.resize(1);
  for (RichParagraph& p : paragraphs_) tidy(p);
}

std::string RichText::text() const {
  std::string out;
  for (size_t i = 0; i < paragraphs_.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += paragraphs_[i].text();
  }
  return out;
}

int32_t RichText::length() const {
  int32_t n = 0;
  for (const RichParagraph& p : paragraphs_) n += p.length() + kBreak;
  return n - kBreak;
}

// A position inside a CR LF pair is the end of its paragraph.
RichText::Place RichText::placeOf(int32_t position) const {
  position = std::max(position, 0);
  for (size_t i = 0; i < paragraphs_.size(); ++i) {
    const int32_t length = paragraphs_[i].length();
    if (position <= length || i + 1 == paragraphs_.size()) return {i, std::min(position, length)};
    position -= length + kBreak;
    if (position < 0) return {i, length};
  }
  return {};
}

int32_t RichText::paragraphAt(int32_t position) const { return static_cast<int32_t>(placeOf(position).paragraph); }

int32_t RichText::paragraphStart(int32_t paragraph) const {
  int32_t at = 0;
  for (int32_t i = 0; i < paragraph && i < static_cast<int32_t>(paragraphs_.size()); ++i)
    at += paragraphs_[static_cast<size_t>(i)].length() + kBreak;
  return at;
}

size_t RichText::splitAt(size_t p, int32_t offset) {
  std::vector<RichRun>& runs = paragraphs_[p].runs;
  int32_t at = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const auto length = static_cast<int32_t>(runs[i].text.size());
    if (offset == at) return i;
    if (offset < at + length) {
      RichRun tail{runs[i].text.substr(static_cast<size_t>(offset - at)), runs[i].format};
      runs[i].text.resize(static_cast<size_t>(offset - at));
      runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    at += length;
  }
  return runs.size();
}

void RichText::tidy(RichParagraph& p) {
  std::vector<RichRun> runs;
  for (RichRun& r : p.runs) {
    if (r.text.empty()) continue;
    if (!runs.empty() && runs.back().format == r.format) runs.back().text += r.text;
    else runs.push_back(std::move(r));
  }
  p.runs = std::move(runs);
}

void RichText::insert(int32_t position, std::string_view text, const FontDesc& format) {
  Place at = placeOf(position);
  size_t i = 0;
  while (i <= text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    if (end > i) {
      const size_t run = splitAt(at.paragraph, at.offset);
      auto& runs = paragraphs_[at.paragraph].runs;
      runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(run), RichRun{std::string(text.substr(i, end - i)), format});
      at.offset += static_cast<int32_t>(end - i);
    }
    if (end == text.size()) break;
    // A line break: the rest of the paragraph moves to a new one.
    const size_t run = splitAt(at.paragraph, at.offset);
    RichParagraph& split = paragraphs_[at.paragraph];
    RichParagraph rest{split.alignment, {split.runs.begin() + static_cast<std::ptrdiff_t>(run), split.runs.end()}};
    split.runs.erase(split.runs.begin() + static_cast<std::ptrdiff_t>(run), split.runs.end());
    tidy(split);
    paragraphs_.insert(paragraphs_.begin() + static_cast<std::ptrdiff_t>(at.paragraph) + 1, std::move(rest));
    at = {at.paragraph + 1, 0};
    i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  tidy(paragraphs_[at.paragraph]);
}

void RichText::erase(int32_t from, int32_t to) {
  if (to <= from) return;
  const Place a = placeOf(from);
  const Place b = placeOf(to);
  if (a.paragraph == b.paragraph) {
    if (b.offset <= a.offset) return;
    const size_t first = splitAt(a.paragraph, a.offset);
    const size_t last = splitAt(a.paragraph, b.offset);
    auto& runs = paragraphs_[a.paragraph].runs;
    runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(first), runs.begin() + static_cast<std::ptrdiff_t>(last));
    tidy(paragraphs_[a.paragraph]);
    return;
  }
  // The start of a's paragraph joins the end of b's.
  // (Splitting may move the runs: the index first.)
  const size_t cut = splitAt(a.paragraph, a.offset);
  auto& head = paragraphs_[a.paragraph].runs;
  head.erase(head.begin() + static_cast<std::ptrdiff_t>(cut), head.end());
  auto& tail = paragraphs_[b.paragraph].runs;
  const size_t keep = splitAt(b.paragraph, b.offset);
  head.insert(head.end(), tail.begin() + static_cast<std::ptrdiff_t>(keep), tail.end());
  paragraphs_.erase(paragraphs_.begin() + static_cast<std::ptrdiff_t>(a.paragraph) + 1,
                    paragraphs_.begin() + static_cast<std::ptrdiff_t>(b.paragraph) + 1);
  tidy(paragraphs_[a.paragraph]);
}

std::string RichText::textBetween(int32_t from, int32_t to) const {
  const std::string all = text();
  from = std::clamp(from, 0, static_cast<int32_t>(all.size()));
  to = std::clamp(to, from, static_cast<int32_t>(all.size()));
  return all.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

FontDesc RichText::formatAt(int32_t position, const FontDesc& fallback) const {
  const Place at = placeOf(position);
  const RichParagraph& p = paragraphs_[at.paragraph];
  int32_t offset = 0;
  for (const RichRun& r : p.runs) {
    offset += static_cast<int32_t>(r.text.size());
    if (at.offset < offset) return r.format;
  }
  return p.runs.empty() ? fallback : p.runs.back().format;
}

void RichText::changeFormat(int32_t from, int32_t to, const FormatChange& change) {
  if (to <= from) return;
  const Place a = placeOf(from);
  const Place b = placeOf(to);
  for (size_t p = a.paragraph; p <= b.paragraph; ++p) {
    const int32_t start = p == a.paragraph ? a.offset : 0;
    const int32_t end = p == b.paragraph ? b.offset : paragraphs_[p].length();
    if (end <= start) continue;
    const size_t first = splitAt(p, start);
    const size_t last = splitAt(p, end);
    for (size_t r = first; r < last; ++r) change.applyTo(paragraphs_[p].runs[r].format);
    tidy(paragraphs_[p]);
  }
}

void RichText::setAlignment(int32_t fromParagraph, int32_t toParagraph, int alignment) {
  const auto last = static_cast<int32_t>(paragraphs_.size()) - 1;
  for (int32_t p = std::clamp(fromParagraph, 0, last); p <= std::clamp(toParagraph, 0, last); ++p)
    paragraphs_[static_cast<size_t>(p)].alignment = alignment;
}

}  // namespace kestrel::gui
