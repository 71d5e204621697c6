#pragma once
// A program in Kestrel assembly run on the null toolkit, for unit tests:
// run() gives the run-time error's text ("" when there was none), and
// integer and string variables read back.
#include <string>

#include "asm/kasm.h"
#include "core/machine.h"
#include "image/program_image.h"
#include "objects/object_model.h"
#include "state/store_kinds.h"

namespace kestrel::testsupport {

struct UnitProgram {
  explicit UnitProgram(const std::string& source) : m(parseImage(kasm::assemble(source))) {}
  std::string run() {
    try {
      m.run();
    } catch (const RuntimeError& e) {
      return e.what();
    }
    return "";
  }
  double number(int index) { return loadNumber(3, m.vars.scalarAt(3, index)); }  // int:N
  std::string text(int index) { return m.vars.stringAt(index).str(); }          // str:N
  template <class T>
  T& object(int type, int index = 0) {
    return objects::world(m).as<T>(type, index);
  }
  Machine m;
};

}  // namespace kestrel::testsupport
