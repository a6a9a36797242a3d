#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>

namespace pelorin {

// The state of a menu item before its menu shows. `checked` is empty for an
// item that never carries a check mark.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;
};

// The commands one object handles: command id -> what to do.
class CommandHandlers {
public:
    void on(int id, std::function<void()> handler) { handlers_[id] = std::move(handler); }
    bool handles(int id) const { return handlers_.contains(id); }
    void run(int id) const { handlers_.at(id)(); }

private:
    std::map<int, std::function<void()>> handlers_;
};

// Sends each command to the view, then the document, then the main frame, then
// the application: the first that handles the id takes it. Menu states are
// asked of the view alone; every other item is enabled.
class CommandRouter {
public:
    enum class Level { View = 0, Document = 1, Frame = 2, Application = 3 };
    using StateProvider = std::function<std::optional<CommandState>(int id)>;

    void setTarget(Level level, const CommandHandlers* handlers) { targets_[static_cast<int>(level)] = handlers; }
    void setStateProvider(StateProvider provider) { stateProvider_ = std::move(provider); }

    // Which level takes the id, if any.
    std::optional<Level> handlerOf(int id) const;
    // Runs the command; false when nobody handles it.
    bool dispatch(int id) const;
    CommandState stateOf(int id) const;

private:
    std::array<const CommandHandlers*, 4> targets_{};
    StateProvider stateProvider_;
};

}  // namespace pelorin
