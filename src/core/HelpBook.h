#pragma once
// The operator's on-line help: a right click on a control shows its entry as a message popup.
// Each subsystem keeps the entries of its own controls and adds them to the book when it is
// composed; the entry of a control is keyed by its handler name, "CBF_" + the control's role.
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace core {

struct HelpEntry {
    const char* title;
    const char* text;
};

struct NamedHelp {
    std::string_view callbackName;
    HelpEntry entry;
};

// Most controls show their help under this title.
inline constexpr const char* kHelpTitle = "INFO!";

class HelpBook {
public:
    void Add(std::span<const NamedHelp> entries);

    // The entry of the control with this callback name, or nullptr when it has none (the panels
    // themselves and the few controls whose right click does something else).
    const HelpEntry* Find(std::string_view callbackName) const;
    // Callback names of all entries, in the order they were added.
    std::vector<std::string_view> Names() const;

private:
    std::vector<const NamedHelp*> entries;
};

} // namespace core
