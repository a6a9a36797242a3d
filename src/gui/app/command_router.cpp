#include "app/command_router.h"

namespace pelorin {

const CommandRouter::Resolved& CommandRouter::resolve(int id) const {
    bool current = resolvedTargets_ == targets_;
    for (std::size_t i = 0; current && i < targets_.size(); ++i)
        current = targets_[i] == nullptr || targets_[i]->generation() == resolvedGenerations_[i];
    if (!current) {
        resolved_.clear();
        resolvedTargets_ = targets_;
        for (std::size_t i = 0; i < targets_.size(); ++i)
            resolvedGenerations_[i] = targets_[i] != nullptr ? targets_[i]->generation() : 0;
    }
    const auto [found, added] = resolved_.try_emplace(id);
    if (added) {
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            if (targets_[i] == nullptr) continue;
            if (const auto* entry = targets_[i]->find(id)) {
                found->second = Resolved{static_cast<int>(i), entry};
                break;
            }
        }
    }
    return found->second;
}

std::optional<CommandRouter::Level> CommandRouter::handlerOf(int id) const {
    const Resolved& taken = resolve(id);
    if (taken.level < 0) return std::nullopt;
    return static_cast<Level>(taken.level);
}

bool CommandRouter::dispatch(int id) const {
    const auto level = handlerOf(id);
    if (!level) return false;
    targets_[static_cast<std::size_t>(*level)]->run(id);
    return true;
}

CommandState CommandRouter::stateOf(int id) const {
    if (stateProvider_) {
        if (auto state = stateProvider_(id)) return *state;
    }
    const Resolved& taken = resolve(id);
    if (taken.entry != nullptr && taken.entry->state) return taken.entry->state();
    return {};
}

}  // namespace pelorin
