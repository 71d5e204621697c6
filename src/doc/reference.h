#pragma once
// The reference of everything a program can use (docs/reference.md), made
// from the run-time's own tables: the statement codes, the built-in
// functions and their format codes, every object type with every member,
// and the events.
#include <string>

namespace kestrel::doc {

// The whole reference as Markdown.
std::string referenceText();

}  // namespace kestrel::doc
