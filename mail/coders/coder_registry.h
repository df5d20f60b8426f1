#pragma once
// An ordered list of (name, factory) looked up case-insensitively.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/text/ascii.h"

namespace ziromail {

template <typename Factory>
class CoderRegistry {
public:
    // A name registered again replaces every earlier entry of that name.
    void Register(std::string name, Factory factory) {
        std::erase_if(entries_, [&](const auto& entry) { return EqualsIgnoreCase(entry.first, name); });
        entries_.emplace_back(std::move(name), factory);
    }

    // The factory of `name`, or null when none is registered under it.
    Factory Find(std::string_view name) const {
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const auto& entry) { return EqualsIgnoreCase(entry.first, name); });
        return it == entries_.end() ? nullptr : it->second;
    }

private:
    std::vector<std::pair<std::string, Factory>> entries_;
};

}  // namespace ziromail
