#pragma once
// German descriptions of operating-system errors, for messages to the user.

#include <string>

namespace tellurio {

// A short German reason for an errno value, such as "Der Datenträger ist voll".
std::string GermanErrorText(int errnoValue);

}  // namespace tellurio
