#pragma once
// The texts of the errors that automation objects raise.
#include "state/errors.h"

namespace kestrel::ole {

inline constexpr const char* kInvalidClassString = "Invalid class string";
inline constexpr const char* kUnknownName = "Unknown name.";
inline constexpr const char* kTypeMismatch = "Type mismatch";
inline constexpr const char* kNoObject = "Variant does not reference an automation object";
inline constexpr const char* kTooManyArguments = "Too many arguments";
inline constexpr const char* kNoRemoteCreation = "DCOM not installed";
inline constexpr const char* kNotRunning = "Operation unavailable";
inline constexpr const char* kMemberNotFound = "Member not found.";
inline constexpr const char* kBadArgumentCount = "Invalid number of parameters.";
inline constexpr const char* kNoBus = "No D-Bus session bus is available for automation objects";

}  // namespace kestrel::ole
