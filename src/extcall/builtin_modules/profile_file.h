#pragma once
// INI files as the private-profile functions read and write them: sections
// in brackets, key=value lines, names compared without regard to case,
// every other line (comments, blank lines) kept as it was. Files are written
// with CR LF line ends, through a temporary file and a rename.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::extcall::win {

class ProfileFile {
 public:
  // Reads the file; a missing file reads as empty.
  explicit ProfileFile(std::string path);

  std::vector<std::string> sections() const;
  std::vector<std::string> keys(std::string_view section) const;
  // The value with surrounding blanks and one pair of matching quotes removed.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  void set(std::string_view section, std::string_view key, std::string_view value);
  void removeKey(std::string_view section, std::string_view key);
  void removeSection(std::string_view section);
  bool save() const;

 private:
  struct Line {
    std::string text;
    std::string section;  // for section heads: the name; else empty
    std::string key;      // for key lines: the key as written; else empty
    bool isSection = false;
    bool isKey = false;
  };
  static Line parse(const std::string& text);
  // Index of the section head, or -1.
  long sectionAt(std::string_view section) const;
  // One past the section's last line.
  size_t sectionEnd(size_t head) const;
  long keyAt(std::string_view section, std::string_view key) const;

  std::string path_;
  std::vector<Line> lines_;
};

// Where an INI file named by a program lives: a name without a folder is in
// the Windows directory.
std::string profilePath(std::string_view fileName);

}  // namespace kestrel::extcall::win
