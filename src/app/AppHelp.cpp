#include "app/AppHelp.h"

namespace app {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kAppHelpTable[] = {
    {"CBF_TabMain1", {kHelpTitle, "Select TAB-window."}},
};

} // namespace

std::span<const NamedHelp> AppHelp() {
    return kAppHelpTable;
}

} // namespace app
