#include "debug/post_mortem.h"

#include <string>

#include "asm/names.h"
#include "core/machine.h"
#include "debug/value_text.h"

namespace kestrel::debug {

namespace {

// More scalars of one kind than this are cut short.
constexpr size_t kMostScalars = 200;

const char* const kKindNames[10] = {"str", "byte", "short", "int", "word", "long", "single", "double", "fix", "var"};

std::string named(const std::string& operand, const std::string& name) {
  return name.empty() ? operand : name + " (" + operand + ")";
}

// Where the code at `position` stands in the source, or its position.
std::string place(const SourceMap* source, int32_t position) {
  const int line = source ? source->lineAt(position) : 0;
  if (line > 0 && !source->file.empty()) return source->file + ":" + std::to_string(line);
  return "byte-code position " + std::to_string(position);
}

// The parameter slots of frame `frame` that the procedure at `entry` uses:
// the named ones, or else every slot that holds something.
void writeParameters(Machine& m, std::FILE* out, int32_t entry, int32_t frame) {
  const SourceMap* source = m.options.source.get();
  Frames& frames = m.frames;
  bool any = false;
  if (source) {
    for (const OperandName& n : source->names) {
      if (!n.parameter || n.procedure != entry) continue;
      std::string value;
      const ByRefSlot ref = frames.byRef(frame, n.index);
      if (n.array) value = "the array " + std::string(kKindNames[n.kind]) + "[" + std::to_string(ref.index) + "]";
      else if (n.kind == kString) value = stringText(frames.text(frame, n.index).view());
      else if (isNumericKind(n.kind)) value = numberText(frames.number(frame, n.index));
      else value = "reference " + std::to_string(ref.index);
      std::fprintf(out, "      %s = %s\n", named(kasm::namedOperandText(n), n.name).c_str(), value.c_str());
      any = true;
    }
  }
  if (any) return;
  for (int slot = 0; slot < kSlotsPerFrame; ++slot) {
    const double number = frames.number(frame, slot);
    const Str& text = frames.text(frame, slot);
    const ByRefSlot ref = frames.byRef(frame, slot);
    if (number != 0) std::fprintf(out, "      slot %d: %s\n", slot, numberText(number).c_str());
    if (!text.empty()) std::fprintf(out, "      slot %d: %s\n", slot, stringText(text.view()).c_str());
    if (ref.kind != 0) std::fprintf(out, "      slot %d: reference (kind %d, number %d)\n", slot, ref.kind, ref.index);
  }
}

void writeCalls(Machine& m, std::FILE* out) {
  const SourceMap* source = m.options.source.get();
  std::fprintf(out, "  calls (innermost first):\n");
  int32_t at = m.statementStart;
  for (int32_t depth = m.frames.depth; depth >= 0; --depth) {
    if (depth == 0) {
      std::fprintf(out, "    main code, at %s\n", place(source, at).c_str());
      break;
    }
    const size_t level = static_cast<size_t>(depth) - 1;
    const int32_t entry = level < m.ctl.callEntries.size() ? m.ctl.callEntries[level] : -1;
    const std::string name = source ? source->procedureName(entry) : "procedure at " + std::to_string(entry);
    std::fprintf(out, "    #%d %s, at %s\n", depth, name.c_str(), place(source, at).c_str());
    writeParameters(m, out, entry, depth - 1);
    // The caller stands in the statement just before its resume position.
    at = level < m.ctl.returnPositions.size() ? m.ctl.returnPositions[level] - 1 : -1;
  }
}

void writeLoops(Machine& m, std::FILE* out) {
  if (m.ctl.loopTop == 0) return;
  const SourceMap* source = m.options.source.get();
  std::fprintf(out, "  counted loops (innermost first):\n");
  Machine& machine = m;
  for (size_t i = m.ctl.loopTop; i-- > 0;) {
    const LoopRecord& r = m.ctl.loops[i];
    if (!isNumericKind(r.kind)) continue;
    const std::string operand = std::string(kKindNames[r.kind]) + ":" + std::to_string(r.index);
    std::string value = "?";
    try {
      value = numberText(loadNumber(r.kind, machine.vars.scalarAt(r.kind, r.index)));
    } catch (const RuntimeError&) {
    }
    std::fprintf(out, "    %s = %s, to %s step %s\n",
                 named(operand, source ? source->variableName(r.kind, r.index, false) : "").c_str(), value.c_str(),
                 numberText(r.limit).c_str(), numberText(r.step).c_str());
  }
}

void writeScalars(Machine& m, std::FILE* out) {
  const SourceMap* source = m.options.source.get();
  Machine& machine = m;
  VariableStores& v = machine.vars;
  std::fprintf(out, "  variables:\n");
  auto write = [&](int kind, size_t count, auto valueOf, bool skipEmpty) {
    size_t shown = 0;
    for (size_t i = 0; i < count; ++i) {
      const std::string name = source ? source->variableName(kind, static_cast<int>(i), false) : "";
      const std::string value = valueOf(static_cast<int32_t>(i));
      if (skipEmpty && name.empty() && (value == "0" || value == "\"\"")) continue;
      if (shown++ == kMostScalars) {
        std::fprintf(out, "    ... (%zu %s variables in all)\n", count, kKindNames[kind]);
        return;
      }
      const std::string operand = std::string(kKindNames[kind]) + ":" + std::to_string(i);
      std::fprintf(out, "    %s = %s\n", named(operand, name).c_str(), value.c_str());
    }
  };
  write(kString, v.strings.size(), [&](int32_t i) { return stringText(v.strings[static_cast<size_t>(i)].view()); }, false);
  for (int kind = 1; kind <= 7; ++kind) {
    const size_t count = v.scalars[kind]->size() / static_cast<size_t>(kElementWidth[kind]);
    write(kind, count, [&](int32_t i) { return numberText(loadNumber(kind, v.scalarAt(kind, i))); }, false);
  }
  write(kFixString, v.fixStrings.size(),
        [&](int32_t i) { return stringText(v.fixStrings[static_cast<size_t>(i)].padded().view()); }, false);
  // Variant cells 0 to 100 always exist: the empty ones are left out.
  write(kVariant, std::min<size_t>(v.variants.size(), kScalarVariants),
        [&](int32_t i) { return variantText(v.variants[static_cast<size_t>(i)]); }, true);
}

}  // namespace

void writePostMortem(Machine& m, std::FILE* out) {
  std::fprintf(out, "post-mortem:\n");
  writeCalls(m, out);
  writeLoops(m, out);
  writeScalars(m, out);
  std::fflush(out);
}

void postMortemToStderr(Machine& m) { writePostMortem(m, stderr); }

}  // namespace kestrel::debug
