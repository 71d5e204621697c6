#pragma once
// The run-time's string: a reference-counted byte string that is copied
// only when a shared one is changed. Reading a variable into an expression,
// passing it to a procedure or storing it elsewhere shares the bytes, so a
// function that looks at a long string does not copy it.
//
// The count is not atomic: strings belong to the one thread that runs the
// program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

class Str {
 public:
  Str() = default;
  Str(std::string_view s) { assign(s); }  // NOLINT: implicit on purpose
  Str(const char* s) : Str(std::string_view(s)) {}  // NOLINT
  Str(const std::string& s) : Str(std::string_view(s)) {}  // NOLINT
  Str(size_t count, char c) {
    if (count == 0) return;
    rep_ = allocate(count);
    std::memset(rep_->data, c, count);
    setSize(count);
  }
  Str(const Str& o) : rep_(o.rep_) {
    if (rep_) ++rep_->refs;
  }
  Str(Str&& o) noexcept : rep_(std::exchange(o.rep_, nullptr)) {}
  Str& operator=(const Str& o) {
    if (o.rep_) ++o.rep_->refs;
    release();
    rep_ = o.rep_;
    return *this;
  }
  Str& operator=(Str&& o) noexcept {
    if (this != &o) {
      release();
      rep_ = std::exchange(o.rep_, nullptr);
    }
    return *this;
  }
  Str& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  Str& operator=(const std::string& s) {
    assign(s);
    return *this;
  }
  Str& operator=(const char* s) {
    assign(s);
    return *this;
  }
  ~Str() { release(); }

  size_t size() const { return rep_ ? rep_->size : 0; }
  bool empty() const { return size() == 0; }
  const char* data() const { return rep_ ? rep_->data : ""; }
  // Always zero-terminated.
  const char* c_str() const { return data(); }
  std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  char operator[](size_t i) const { return rep_->data[i]; }
  char back() const { return rep_->data[rep_->size - 1]; }
  bool shared() const { return rep_ && rep_->refs > 1; }
  // True when this and `o` are the only two holders of the same bytes.
  bool sharedOnlyWith(const Str& o) const { return rep_ && rep_ == o.rep_ && rep_->refs == 2; }

  void clear() {
    if (rep_ && rep_->refs == 1) setSize(0);
    else release();
  }
  void assign(std::string_view s) {
    if (s.empty()) {
      clear();
      return;
    }
    // The source may live inside this string's own bytes.
    if (rep_ && rep_->refs == 1 && rep_->capacity >= s.size()) {
      std::memmove(rep_->data, s.data(), s.size());
      setSize(s.size());
      return;
    }
    Rep* r = allocate(s.size());
    std::memcpy(r->data, s.data(), s.size());
    release();
    rep_ = r;
    setSize(s.size());
  }
  Str& append(std::string_view s) {
    if (s.empty()) return *this;
    const size_t old = size();
    if (rep_ && rep_->refs == 1 && rep_->capacity >= old + s.size()) {
      std::memmove(rep_->data + old, s.data(), s.size());
      setSize(old + s.size());
      return *this;
    }
    // Grow by half again so repeated appends stay linear.
    size_t want = old + s.size();
    if (rep_ && rep_->refs == 1) want += want / 2;
    Rep* r = allocate(want);
    std::memcpy(r->data, data(), old);
    std::memcpy(r->data + old, s.data(), s.size());
    release();
    rep_ = r;
    setSize(old + s.size());
    return *this;
  }
  Str& operator+=(std::string_view s) { return append(s); }
  Str& operator+=(char c) { return append(std::string_view(&c, 1)); }
  void push_back(char c) { append(std::string_view(&c, 1)); }
  // Writable bytes; unshares first.
  char* mutableData() {
    if (rep_ && rep_->refs > 1) assign(std::string_view(*this));
    return rep_ ? rep_->data : nullptr;
  }
  void resize(size_t n, char fill = '\0') {
    size_t old = size();
    if (n <= old) {
      if (n == 0) clear();
      else assign(view().substr(0, n));
      return;
    }
    std::string tail(n - old, fill);
    append(tail);
  }

  int compare(std::string_view o) const { return view().compare(o); }
  friend bool operator==(const Str& a, const Str& b) { return a.rep_ == b.rep_ || a.view() == b.view(); }
  friend bool operator==(const Str& a, std::string_view b) { return a.view() == b; }
  friend auto operator<=>(const Str& a, const Str& b) { return a.view() <=> b.view(); }
  friend auto operator<=>(const Str& a, std::string_view b) { return a.view() <=> b; }
  void swap(Str& o) noexcept { std::swap(rep_, o.rep_); }

 private:
  struct Rep {
    uint32_t refs;
    uint32_t size;
    uint32_t capacity;
    char data[1];  // capacity + 1 bytes, zero-terminated
  };
  static Rep* allocate(size_t capacity) {
    if (capacity > 0xFFFFFFF0u) tooLong();
    Rep* r = static_cast<Rep*>(std::malloc(offsetof(Rep, data) + capacity + 1));
    if (!r) tooLong();
    r->refs = 1;
    r->size = 0;
    r->capacity = static_cast<uint32_t>(capacity);
    r->data[0] = 0;
    return r;
  }
  void setSize(size_t n) {
    rep_->size = static_cast<uint32_t>(n);
    rep_->data[n] = 0;
  }
  void release() {
    if (rep_ && --rep_->refs == 0) std::free(rep_);
    rep_ = nullptr;
  }
  [[noreturn]] static void tooLong();

  Rep* rep_ = nullptr;
};

}  // namespace kestrel
