#include "app/command_router.h"

namespace pelorin {

std::optional<CommandRouter::Level> CommandRouter::handlerOf(int id) const {
    for (std::size_t i = 0; i < targets_.size(); ++i)
        if (targets_[i] != nullptr && targets_[i]->handles(id)) return static_cast<Level>(i);
    return std::nullopt;
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
    if (const auto level = handlerOf(id)) {
        if (auto state = targets_[static_cast<std::size_t>(*level)]->stateOf(id)) return *state;
    }
    return {};
}

}  // namespace pelorin
