#pragma once
// Values as the trace and the post-mortem show them: numbers in the general
// format, strings quoted (and cut when long), variants by what they hold.
#include <string>
#include <string_view>

namespace kestrel {
struct VariantCell;
}

namespace kestrel::debug {

std::string numberText(double v);
std::string stringText(std::string_view s);
std::string variantText(const VariantCell& cell);

}  // namespace kestrel::debug
