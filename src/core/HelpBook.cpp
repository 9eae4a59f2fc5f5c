#include "core/HelpBook.h"

namespace core {

void HelpBook::Add(std::span<const NamedHelp> table) {
    for (const NamedHelp& named : table)
        entries.push_back(&named);
}

const HelpEntry* HelpBook::Find(std::string_view callbackName) const {
    for (const NamedHelp* named : entries) {
        if (named->callbackName == callbackName) return &named->entry;
    }
    return nullptr;
}

std::vector<std::string_view> HelpBook::Names() const {
    std::vector<std::string_view> names;
    names.reserve(entries.size());
    for (const NamedHelp* named : entries)
        names.push_back(named->callbackName);
    return names;
}

} // namespace core
