#include "access/Password.h"

#include <string_view>

namespace access_ {

namespace {
constexpr std::string_view kPassword = "vorpal";
static_assert(kPassword.size() <= std::size_t(kPasswordMaxLength));
} // namespace

bool PasswordMatches(const std::string& typed) {
    return typed == kPassword;
}

} // namespace access_
