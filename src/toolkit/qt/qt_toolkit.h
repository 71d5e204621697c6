#pragma once
// Installs the Qt implementation of the toolkit.
namespace kestrel {

void installQtToolkit();

}  // namespace kestrel
