#pragma once
// The password that unlocks the hidden service page. It is fixed in the program.
#include <string>

namespace access_ {

// The field of the password popup takes no more characters than this.
inline constexpr int kPasswordMaxLength = 20;

// True when `typed` is the password: the whole text, letter case counted.
bool PasswordMatches(const std::string& typed);

} // namespace access_
