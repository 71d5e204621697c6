#pragma once
// Installs the Qt implementation of the toolkit.
#include <memory>

namespace kestrel {

class Toolkit;

void installQtToolkit();
// The Qt toolkit itself, for hosts that wrap it (tests).
std::unique_ptr<Toolkit> makeQtToolkit();

}  // namespace kestrel
