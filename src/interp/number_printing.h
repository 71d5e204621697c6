#pragma once
// How the print statements write numbers.
#include <string>

namespace kestrel {

// Console and printer: whole numbers as integers, others in fixed notation
// with 9 decimals; whole numbers beyond 32 bits with one decimal.
std::string consoleNumberText(double v, char separator);
// Standard output and console pages: whole numbers as integers, others in
// the shortest general form.
std::string plainNumberText(double v, char separator);

}  // namespace kestrel
