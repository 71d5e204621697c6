#include "debug/profile.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "asm/kasm.h"
#include "core/machine.h"

namespace kestrel::debug {

namespace {
constexpr int32_t kMainCode = -1;
}

Profile::Profile(std::FILE* out, size_t rows) : out_(out), rows_(rows) {
  clock_ = std::thread([this] {
    while (!stopping_.load(std::memory_order_relaxed)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ticks_.fetch_add(1, std::memory_order_relaxed);
    }
  });
}

Profile::~Profile() { stop(); }

void Profile::stop() {
  stopping_ = true;
  if (clock_.joinable()) clock_.join();
}

void Profile::prepare(Machine& m) {
  const size_t size = static_cast<size_t>(m.size) + 1;
  counts_.assign(size, 0);
  blockCounts_.assign(size, 0);
  blockSizes_.assign(size, 0);
  time_.assign(size, 0);
  blockTime_.assign(size, 0);
}

// Charges the ticks since the last look to what was running, and to the
// procedures on the call stack (each once, however often it recurs).
void Profile::enter(Machine& m, int32_t position, int statements) {
  if (counts_.empty()) prepare(m);
  const uint32_t now = ticks_.load(std::memory_order_relaxed);
  if (now != seen_ && current_ >= 0) {
    const double elapsed = static_cast<double>(now - seen_);
    (currentSize_ > 0 ? blockTime_ : time_)[static_cast<size_t>(current_)] += elapsed;
    ++samples_;
    const int32_t depth = m.frames.depth;
    const int32_t innermost = depth > 0 ? m.ctl.callEntries[static_cast<size_t>(depth) - 1] : kMainCode;
    procedures_[innermost].self += elapsed;
    Procedure& main = procedures_[kMainCode];
    main.total += elapsed;
    main.stamp = samples_;
    for (int32_t d = 0; d < depth; ++d) {
      Procedure& p = procedures_[m.ctl.callEntries[static_cast<size_t>(d)]];
      if (p.stamp == samples_) continue;
      p.stamp = samples_;
      p.total += elapsed;
    }
  }
  if (m.frames.depth != lastDepth_) {  // the procedures that ran, with time or without
    lastDepth_ = m.frames.depth;
    if (lastDepth_ > 0) procedures_.try_emplace(m.ctl.callEntries[static_cast<size_t>(lastDepth_) - 1]);
  }
  seen_ = now;
  current_ = position;
  currentSize_ = statements;
}

void Profile::statement(Machine& m, int32_t position) {
  enter(m, position, 0);
  ++counts_[static_cast<size_t>(position)];
}

void Profile::block(Machine& m, int32_t position, int statements) {
  enter(m, position, statements);
  ++blockCounts_[static_cast<size_t>(position)];
  blockSizes_[static_cast<size_t>(position)] = static_cast<uint8_t>(statements);
}

void Profile::end(Machine& m, const char* /*error*/) {
  if (counts_.empty()) prepare(m);
  procedures_.try_emplace(kMainCode);
  enter(m, -1, 0);
  stop();
  report(m);
}

void Profile::report(Machine& m) {
  kasm::StatementReader reader(m.image.bytes, m.size, m.image.dataStart, m.image.codeStart, m.options.source.get());
  // A block ran each of its statements once per entry.
  for (size_t p = 0; p < blockCounts_.size(); ++p) {
    if (blockCounts_[p] == 0 && blockTime_[p] == 0) continue;
    const int n = std::max<int>(blockSizes_[p], 1);
    int32_t at = static_cast<int32_t>(p);
    for (int i = 0; i < n && at < m.size; ++i) {
      counts_[static_cast<size_t>(at)] += blockCounts_[p];
      time_[static_cast<size_t>(at)] += blockTime_[p] / n;
      at += reader.length(at);
    }
  }
  uint64_t statements = 0;
  double total = 0;
  std::vector<int32_t> ran;
  for (size_t p = 0; p < counts_.size(); ++p) {
    statements += counts_[p];
    total += time_[p];
    if (counts_[p] > 0 || time_[p] > 0) ran.push_back(static_cast<int32_t>(p));
  }
  std::sort(ran.begin(), ran.end(), [&](int32_t a, int32_t b) {
    if (time_[static_cast<size_t>(a)] != time_[static_cast<size_t>(b)])
      return time_[static_cast<size_t>(a)] > time_[static_cast<size_t>(b)];
    if (counts_[static_cast<size_t>(a)] != counts_[static_cast<size_t>(b)])
      return counts_[static_cast<size_t>(a)] > counts_[static_cast<size_t>(b)];
    return a < b;
  });
  const SourceMap* source = m.options.source.get();
  auto share = [&](double t) { return total > 0 ? 100.0 * t / total : 0.0; };
  std::fprintf(out_, "profile: %llu statements run, %.0f ms measured\n", static_cast<unsigned long long>(statements),
               total);
  std::fprintf(out_, "statements that took the most time:\n  %6s %10s %12s %8s %5s  %s\n", "time", "ms", "count",
               "position", "line", "statement");
  for (size_t i = 0; i < ran.size() && i < rows_; ++i) {
    const size_t p = static_cast<size_t>(ran[i]);
    const int line = source ? source->lineAt(ran[i]) : 0;
    std::fprintf(out_, "  %5.1f%% %10.1f %12llu %8d %5s  %s\n", share(time_[p]), time_[p],
                 static_cast<unsigned long long>(counts_[p]), ran[i], line > 0 ? std::to_string(line).c_str() : "",
                 reader.text(ran[i]).c_str());
  }
  // Calls: how often each body's first statement ran.
  std::vector<std::pair<int32_t, Procedure>> ranked(procedures_.begin(), procedures_.end());
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    return a.second.total != b.second.total ? a.second.total > b.second.total : a.first < b.first;
  });
  std::fprintf(out_, "procedures that took the most time (with what they call):\n  %6s %6s %12s %8s  %s\n", "time",
               "self", "calls", "entry", "procedure");
  for (size_t i = 0; i < ranked.size() && i < rows_; ++i) {
    const auto& [entry, p] = ranked[i];
    const bool main = entry == kMainCode;
    const size_t body = static_cast<size_t>(entry) + 4;
    const std::string calls = main || body >= counts_.size() ? "" : std::to_string(counts_[body]);
    std::fprintf(out_, "  %5.1f%% %5.1f%% %12s %8s  %s\n", share(p.total), share(p.self), calls.c_str(),
                 main ? "" : std::to_string(entry).c_str(),
                 main ? "(main code)" : (source ? source->procedureName(entry) : "procedure at " + std::to_string(entry)).c_str());
  }
  std::fflush(out_);
}

}  // namespace kestrel::debug
